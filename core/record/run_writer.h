#pragma once
// Writes a run record as the run goes: one SQLite file per run. Moments and events are kept in
// an open transaction that is committed once it is a second old (or on Commit()), so a kill or
// a power loss loses at most the last second, and the file always opens.

#include "core/record/run_record.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace mv {

class RunWriter {
  public:
    // A new record at `path` (which must not exist yet). Null with the reason in `error`.
    static std::unique_ptr<RunWriter> Create(const std::filesystem::path& path, const RunInfo& info,
                                             const std::vector<RunVessel>& vessels,
                                             std::string& error);
    ~RunWriter();
    RunWriter(const RunWriter&) = delete;
    RunWriter& operator=(const RunWriter&) = delete;

    // False once a write failed (disk full, file gone); every later call does nothing then.
    bool AddTick(const RunTick& tick);
    bool AddEvent(const RunEvent& event);
    // Everything written so far made durable now.
    bool Commit();
    // A whole, compact copy of the record as it stands at `to`, which must not exist yet: one
    // file that opens alone, made under a temporary name and renamed. An error text, empty on
    // success; the record being written is not changed either way.
    std::string SaveCopy(const std::filesystem::path& to);
    // How old the open transaction may grow before the next write commits it.
    void SetCommitInterval(std::chrono::milliseconds interval) { interval_ = interval; }
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    RunWriter() = default;
    bool Exec(const char* sql);
    bool Fail(const char* what);
    bool Begin();
    bool CommitIfDue();

    sqlite3* db_ = nullptr;
    sqlite3_stmt* tick_ = nullptr;
    sqlite3_stmt* position_ = nullptr;
    sqlite3_stmt* event_ = nullptr;
    std::filesystem::path path_;
    std::string error_;
    bool open_ = false; // a transaction is open
    std::chrono::steady_clock::time_point openedAt_;
    std::chrono::milliseconds interval_{1000};
};

} // namespace mv
