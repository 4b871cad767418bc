#pragma once
// Writes a run record as the run goes: one SQLite file per run, in the tables of run_schema.h.
//
// What survives what: every moment and event is committed as it is written, in write-ahead
// log mode with normal syncing, so a kill of the program loses nothing written; a power loss
// may lose the moments since the log was last copied into the file (SQLite does so every
// thousand pages or so, some minutes of a run). An answer, an order, the exercise opened and
// its ending are committed with a sync to the disk as well, so a power loss keeps them. A
// record that ends (the writer destroyed) or is copied is folded back into one file with a
// rollback journal, so a closed record is a single file that opens from a read-only folder.

#include "core/record/run_record.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace mv {

// What a record begins with: written whole under a temporary name before the file takes its
// own, so a record that exists always holds its start as the student saw it.
struct RunOpening {
    RunInfo Info;
    std::vector<RunVessel> Vessels;
    RunTick First; // the start: the moment numbered 0
    std::optional<RunExercise> Exercise;
};

class RunWriter {
  public:
    // A new record at `path` (which must not exist yet). Null with the reason in `error`.
    static std::unique_ptr<RunWriter> Create(const std::filesystem::path& path,
                                             const RunOpening& opening, std::string& error);
    ~RunWriter();
    RunWriter(const RunWriter&) = delete;
    RunWriter& operator=(const RunWriter&) = delete;

    // False once a write failed (disk full, file gone, the file-size limit reached); every
    // later call does nothing then.
    bool AddTick(const RunTick& tick);
    bool AddEvent(const RunEvent& event);
    bool AddTrackEvent(const RunTrackEvent& event);
    bool AddVideoSetting(const RunVideoSetting& setting);
    bool AddVideoSea(const RunVideoSea& sea);
    // Synced to the disk before they return.
    bool AddAnswer(const RunAnswer& answer);
    bool AddOrder(const RunOrder& order);
    bool SetEnding(const RunEnding& ending); // the one ending; a second replaces the first
    // A whole, compact copy of the record as it stands at `to`, which must not exist yet: one
    // file with a rollback journal that opens alone, made under a temporary name and renamed.
    // An error text, empty on success; the record being written goes on either way.
    std::string SaveCopy(const std::filesystem::path& to);
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    RunWriter() = default;
    bool Exec(const char* sql);
    bool Fail(const char* what);
    std::string JournalMode(const char* pragma);
    bool Logged();
    bool Fold();
    void Finalize();
    bool WriteTick(const RunTick& tick);
    // One row into `table`, by a statement prepared once per table.
    template <class Table, class Row> bool Insert(const Table& table, const Row& row);
    // Statements run inside one transaction, committed with a sync to the disk.
    template <class Write> bool Synced(const char* what, Write write);

    sqlite3* db_ = nullptr;
    std::map<const void*, sqlite3_stmt*> inserts_; // by table
    std::filesystem::path path_;
    std::string error_;
    bool logged_ = true; // in write-ahead log mode; a copy folds the record back out of it
};

// Removes the temporary files that a kill leaves beside records and results being made in
// `folder` ("*.part", "*.part-journal", "*.part-wal", "*.part-shm"): call it as the folder is
// next used, before anything new is made there.
void RemoveLeftoverParts(const std::filesystem::path& folder);

} // namespace mv
