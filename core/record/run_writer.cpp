#include "core/record/run_writer.h"

#include "core/record/run_schema.h"

#include <sqlite3.h>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

namespace mv {

namespace {

using namespace runschema;

void Bind(sqlite3_stmt* s, int col, int64_t v) {
    sqlite3_bind_int64(s, col, v);
}
void Bind(sqlite3_stmt* s, int col, double v) {
    sqlite3_bind_double(s, col, v);
}
void Bind(sqlite3_stmt* s, int col, const std::string& v) {
    sqlite3_bind_text(s, col, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
}
void Bind(sqlite3_stmt* s, int col, bool v) {
    Bind(s, col, int64_t{v});
}
void Bind(sqlite3_stmt* s, int col, int v) {
    Bind(s, col, int64_t{v});
}
void Bind(sqlite3_stmt* s, int col, float v) {
    Bind(s, col, double{v});
}
void Bind(sqlite3_stmt* s, int col, Figure v) {
    Bind(s, col, std::string(FigureName(v)));
}
void Bind(sqlite3_stmt* s, int col, const std::vector<int>& picked) {
    std::string text;
    for (const int slot : picked)
        text += (text.empty() ? "" : ",") + std::to_string(slot);
    Bind(s, col, text);
}

} // namespace

std::unique_ptr<RunWriter> RunWriter::Create(const std::filesystem::path& path,
                                             const RunOpening& opening, std::string& error) {
    std::unique_ptr<RunWriter> w(new RunWriter);
    w->path_ = path;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        error = "The run record " + path.string() + " exists already.";
        return nullptr;
    }
    // The tables, the run and its start are made under a name of their own and renamed into
    // place whole, so a kill while the record is begun never leaves a record that cannot be
    // replayed: what has the record's name holds at least the start the student saw.
    const std::filesystem::path part = std::filesystem::path(path).concat(".part");
    std::filesystem::remove(part, ec);
    if (sqlite3_open_v2(part.string().c_str(), &w->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        error = "The run record " + path.string() +
                " could not be made: " + (w->db_ ? sqlite3_errmsg(w->db_) : "out of memory");
        return nullptr;
    }
    // No rollback journal for the part file: it is thrown away whole if making it fails, so a
    // journal would only add a file, its syncs and its deletion to every start. The commit
    // syncs (synchronous is FULL here), so the exercise opened is on the disk with the rest.
    const std::string pragmas =
        "PRAGMA journal_mode=OFF; PRAGMA application_id=" + std::to_string(kRunApplicationId) +
        "; PRAGMA user_version=" + std::to_string(kRunFormatVersion) + ";";
    bool ok = w->Exec(pragmas.c_str()) && w->Exec("BEGIN") && w->Exec(CreateAll().c_str()) &&
              (w->Insert(kRun, opening.Info) || w->Fail("writing the run"));
    for (const RunVessel& v : opening.Vessels)
        ok = ok && (w->Insert(kVessels, v) || w->Fail("writing the vessels"));
    ok = ok && w->WriteTick(opening.First) &&
         (!opening.Exercise || w->Insert(kExercise, *opening.Exercise) ||
          w->Fail("writing the exercise")) &&
         w->Exec("COMMIT");
    // The log mode is kept in the file, so the record opens in it below without another
    // journal of its own to make, sync and delete.
    ok = ok && w->JournalMode("PRAGMA journal_mode=WAL") == "wal";
    w->Finalize();
    sqlite3_close(w->db_);
    w->db_ = nullptr;
    if (ok) std::filesystem::rename(part, path, ec);
    ok = ok && !ec &&
         sqlite3_open_v2(path.string().c_str(), &w->db_, SQLITE_OPEN_READWRITE, nullptr) ==
             SQLITE_OK;
    // NORMAL sync in log mode: a commit is one append to the log, and a kill never damages
    // what was committed before it. The wait is for a reader of the record (a replay opened
    // on the run in progress) as the record is folded back into one file.
    ok = ok && w->Exec("PRAGMA synchronous=NORMAL") &&
         sqlite3_busy_timeout(w->db_, 250) == SQLITE_OK;
    if (!ok) {
        error = "The run record " + path.string() + " could not be made: " +
                (!w->error_.empty() ? w->error_
                 : w->db_           ? std::string(sqlite3_errmsg(w->db_))
                                    : ec.message());
        w->error_ = error; // nothing more is written
        w.reset();
        std::filesystem::remove(part, ec);
        std::filesystem::remove(path, ec);
        return nullptr;
    }
    return w;
}

RunWriter::~RunWriter() {
    // A record that ends is one file again; a reader needs nothing beside it.
    if (!failed()) Fold();
    Finalize();
    sqlite3_close(db_);
}

bool RunWriter::Exec(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) == SQLITE_OK) return true;
    error_ = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    return false;
}

bool RunWriter::Fail(const char* what) {
    if (db_) error_ = std::string(what) + ": " + sqlite3_errmsg(db_);
    // A statement that failed inside a transaction leaves it open; what it began is undone.
    if (db_ && !sqlite3_get_autocommit(db_))
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

std::string RunWriter::JournalMode(const char* pragma) {
    sqlite3_stmt* s = nullptr;
    std::string mode;
    if (sqlite3_prepare_v2(db_, pragma, -1, &s, nullptr) == SQLITE_OK &&
        sqlite3_step(s) == SQLITE_ROW)
        if (const auto* text = sqlite3_column_text(s, 0))
            mode = reinterpret_cast<const char*>(text);
    sqlite3_finalize(s);
    return mode;
}

bool RunWriter::Logged() {
    if (failed()) return false;
    if (logged_) return true;
    logged_ = JournalMode("PRAGMA journal_mode=WAL") == "wal";
    return logged_ || Fail("returning to the log");
}

bool RunWriter::Fold() {
    // Back out of log mode only with every committed page in the file itself; a reader still
    // in the record keeps it in log mode until the next fold. One sync of the file in all,
    // where the steps would sync four times or more on the way out of the program (the log
    // before the copy, the file after it, then the rollback journal and the file again for
    // the header's mode): the copy runs unsynced and leaves the log whole, the file is synced
    // with every page in it, and only then is the log deleted. A crash before the sync finds
    // the log beside the file as every commit left it; one after it finds every page in the
    // file, and the header's mode written or not changes no row.
    if (!logged_) return true;
    bool ok = Exec("PRAGMA synchronous=OFF") && Exec("PRAGMA wal_checkpoint(FULL)");
    sqlite3_file* file = nullptr;
    ok = ok && sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) == SQLITE_OK &&
         file && file->pMethods && file->pMethods->xSync(file, SQLITE_SYNC_NORMAL) == SQLITE_OK;
    if (ok) logged_ = JournalMode("PRAGMA journal_mode=DELETE") != "delete";
    // Back to the sync the record's own commits take, for whatever is written after.
    ok = Exec("PRAGMA synchronous=NORMAL") && ok;
    return ok && !logged_;
}

void RunWriter::Finalize() {
    for (auto& [table, statement] : inserts_)
        sqlite3_finalize(statement);
    inserts_.clear();
}

template <class Table, class Row> bool RunWriter::Insert(const Table& table, const Row& row) {
    sqlite3_stmt*& s = inserts_[&table];
    if (!s && sqlite3_prepare_v3(db_, InsertSql(table).c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s,
                                 nullptr) != SQLITE_OK)
        return false;
    int col = 1;
    for (const auto& field : table.Fields)
        std::visit([&](const auto& member) { Bind(s, col++, member.Get(row)); }, field.Of);
    const bool done = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    return done;
}

bool RunWriter::WriteTick(const RunTick& t) {
    if (!Insert(kTicks, t)) return Fail("writing a moment");
    PositionRow p{t.Index, 0, {}};
    for (const RunVesselState& state : t.Vessels) {
        p.State = state;
        if (!Insert(kPositions, p)) return Fail("writing a position");
        ++p.Vessel;
    }
    for (const RunTrack& track : t.Tracks)
        if (!Insert(kTrackStates, TrackStateRow{t.Index, track})) return Fail("writing a track");
    return true;
}

bool RunWriter::AddTick(const RunTick& t) {
    // A moment and its vessels are one commit: a kill never leaves half a moment.
    return Logged() && Exec("BEGIN") && WriteTick(t) && Exec("COMMIT");
}

bool RunWriter::AddEvent(const RunEvent& e) {
    return Logged() && (Insert(kEvents, e) || Fail("writing an event"));
}

bool RunWriter::AddTrackEvent(const RunTrackEvent& e) {
    return Logged() && (Insert(kTrackEvents, e) || Fail("writing a track event"));
}

bool RunWriter::AddVideoSetting(const RunVideoSetting& s) {
    return Logged() && (Insert(kVideoSettings, s) || Fail("writing the video's controls"));
}

bool RunWriter::AddVideoSea(const RunVideoSea& s) {
    return Logged() && (Insert(kVideoSeas, s) || Fail("writing the video's sea state"));
}

template <class Write> bool RunWriter::Synced(const char* what, Write write) {
    if (!Logged() || !Exec("PRAGMA synchronous=FULL")) return false;
    const bool ok = (Exec("BEGIN") && write()) || Fail(what);
    const bool committed = ok && Exec("COMMIT");
    return Exec("PRAGMA synchronous=NORMAL") && committed;
}

bool RunWriter::AddAnswer(const RunAnswer& a) {
    return Synced("writing an answer", [&] { return Insert(kAnswers, a); });
}

bool RunWriter::AddOrder(const RunOrder& o) {
    return Synced("writing an order", [&] { return Insert(kOrders, o); });
}

bool RunWriter::SetEnding(const RunEnding& e) {
    return Synced("writing the ending",
                  [&] { return Exec("DELETE FROM ending") && Insert(kEnding, e); });
}

namespace {

// A file's or a folder's contents forced to the disk. Where the system has no such call the
// rename below still replaces nothing, so a copy cut short is only a part file.
bool SyncToDisk(const std::filesystem::path& path) {
#ifdef _WIN32
    static_cast<void>(path);
    return true;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
#endif
}

} // namespace

std::string RunWriter::SaveCopy(const std::filesystem::path& to) {
    if (failed()) return error_;
    // Folded first, so the copy, like the record, is one file with a rollback journal.
    Fold();
    std::filesystem::path part = to;
    part += ".part";
    std::error_code ec;
    std::filesystem::remove(part, ec);
    sqlite3_stmt* vacuum = nullptr;
    std::string error;
    if (sqlite3_prepare_v2(db_, "VACUUM INTO ?", -1, &vacuum, nullptr) != SQLITE_OK ||
        sqlite3_bind_text(vacuum, 1, part.string().c_str(), -1, SQLITE_TRANSIENT) != SQLITE_OK ||
        sqlite3_step(vacuum) != SQLITE_DONE)
        error = to.filename().string() + ": " + sqlite3_errmsg(db_);
    sqlite3_finalize(vacuum);
    // The copy is the exercise's evidence: on the disk before it takes its name, and the name
    // on the disk once the folder is.
    if (error.empty() && !SyncToDisk(part)) error = to.filename().string() + ": cannot be synced";
    if (error.empty()) {
        std::filesystem::rename(part, to, ec);
        if (ec)
            error = to.filename().string() + ": " + ec.message();
        else
            SyncToDisk(to.has_parent_path() ? to.parent_path() : std::filesystem::path("."));
    }
    if (!error.empty()) std::filesystem::remove(part, ec);
    return error;
}

void RemoveLeftoverParts(const std::filesystem::path& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        bool left = name.ends_with(".part");
        for (const char* beside : {".part-journal", ".part-wal", ".part-shm"})
            left = left || name.ends_with(beside);
        std::error_code ignored;
        if (left && it->is_regular_file(ignored)) std::filesystem::remove(it->path(), ignored);
    }
}

} // namespace mv
