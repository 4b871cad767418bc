#include "core/record/run_writer.h"

#include "core/record/run_schema.h"

#include <sqlite3.h>

#include <filesystem>
#include <string>

namespace mv {

namespace {

std::string PickedText(const std::vector<int>& picked) {
    std::string text;
    for (const int slot : picked) {
        if (!text.empty()) text += ',';
        text += std::to_string(slot);
    }
    return text;
}

} // namespace

std::unique_ptr<RunWriter> RunWriter::Create(const std::filesystem::path& path, const RunInfo& info,
                                             const std::vector<RunVessel>& vessels,
                                             std::string& error) {
    std::unique_ptr<RunWriter> w(new RunWriter);
    w->path_ = path;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        error = "The run record " + path.string() + " exists already.";
        return nullptr;
    }
    // The tables and the run are made under a name of their own and renamed into place whole,
    // so a kill while the record is begun never leaves a record that cannot be opened.
    const std::filesystem::path part = std::filesystem::path(path).concat(".part");
    std::filesystem::remove(part, ec);
    if (sqlite3_open_v2(part.string().c_str(), &w->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        error = "The run record " + path.string() +
                " could not be made: " + (w->db_ ? sqlite3_errmsg(w->db_) : "out of memory");
        return nullptr;
    }
    // No rollback journal for the part file: it is thrown away whole if making it fails, so a
    // journal would only add a file, its syncs and its deletion to every start.
    const std::string pragmas =
        "PRAGMA journal_mode=OFF; PRAGMA application_id=" + std::to_string(kRunApplicationId) +
        "; PRAGMA user_version=" + std::to_string(kRunFormatVersion) + ";";
    bool ok = w->Exec(pragmas.c_str()) && w->Exec("BEGIN") && w->Exec(runschema::kCreate);
    sqlite3_stmt* s = nullptr;
    if (ok && sqlite3_prepare_v2(w->db_, "INSERT INTO run VALUES(?,?,?,?)", -1, &s, nullptr) ==
                  SQLITE_OK) {
        int col = 1;
        for (const std::string* t :
             {&info.Title, &info.ScenarioFile, &info.Started, &info.ProgramVersion})
            sqlite3_bind_text(s, col++, t->c_str(), -1, SQLITE_TRANSIENT);
        ok = sqlite3_step(s) == SQLITE_DONE || w->Fail("writing the run");
    }
    sqlite3_finalize(s);
    s = nullptr;
    if (ok && sqlite3_prepare_v2(w->db_, "INSERT INTO vessels VALUES(?,?,?)", -1, &s, nullptr) ==
                  SQLITE_OK) {
        for (const RunVessel& v : vessels) {
            sqlite3_bind_int(s, 1, v.Slot);
            sqlite3_bind_text(s, 2, v.Name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(s, 3, v.Size);
            ok = ok && (sqlite3_step(s) == SQLITE_DONE || w->Fail("writing the vessels"));
            sqlite3_reset(s);
        }
    }
    sqlite3_finalize(s);
    // The log mode is kept in the file, so the record opens in it below without another
    // journal of its own to make, sync and delete.
    ok = ok && w->Exec("COMMIT") && w->Exec("PRAGMA journal_mode=WAL");
    sqlite3_close(w->db_);
    w->db_ = nullptr;
    std::filesystem::rename(part, path, ec);
    ok = ok && !ec &&
         sqlite3_open_v2(path.string().c_str(), &w->db_, SQLITE_OPEN_READWRITE, nullptr) ==
             SQLITE_OK;
    // WAL with NORMAL sync: a commit is one append to the log, and a kill never damages what
    // was committed before it.
    ok = ok && w->Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    std::string placeholders = "?";
    for (int i = 1; i < runschema::kTickColumnCount; ++i)
        placeholders += ",?";
    const std::string tickInsert = std::string("INSERT INTO ticks(") + runschema::kTickColumns +
                                   ") VALUES(" + placeholders + ")";
    ok = ok &&
         sqlite3_prepare_v2(w->db_, tickInsert.c_str(), -1, &w->tick_, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(w->db_, "INSERT INTO positions VALUES(?,?,?,?,?,?,?,?)", -1,
                            &w->position_, nullptr) == SQLITE_OK &&
         sqlite3_prepare_v2(w->db_,
                            "INSERT INTO events(tick,sim_time,kind,vessel,text) VALUES(?,?,?,?,?)",
                            -1, &w->event_, nullptr) == SQLITE_OK;
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
    if (!failed()) Commit();
    sqlite3_finalize(tick_);
    sqlite3_finalize(position_);
    sqlite3_finalize(event_);
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
    error_ = std::string(what) + ": " + sqlite3_errmsg(db_);
    return false;
}

bool RunWriter::Begin() {
    if (failed()) return false;
    if (open_) return true;
    if (!Exec("BEGIN")) return false;
    open_ = true;
    openedAt_ = std::chrono::steady_clock::now();
    return true;
}

bool RunWriter::CommitIfDue() {
    if (open_ && std::chrono::steady_clock::now() - openedAt_ >= interval_) return Commit();
    return !failed();
}

bool RunWriter::Commit() {
    if (failed()) return false;
    if (!open_) return true;
    open_ = false;
    return Exec("COMMIT");
}

std::string RunWriter::SaveCopy(const std::filesystem::path& to) {
    if (!Commit()) return error_;
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
    if (error.empty()) {
        std::filesystem::rename(part, to, ec);
        if (ec) error = to.filename().string() + ": " + ec.message();
    }
    if (!error.empty()) std::filesystem::remove(part, ec);
    return error;
}

bool RunWriter::AddTick(const RunTick& t) {
    if (!Begin()) return false;
    const RunDisplay& d = t.Display;
    sqlite3_stmt* s = tick_;
    int c = 1;
    const auto i = [&](int64_t v) { sqlite3_bind_int64(s, c++, v); };
    const auto r = [&](double v) { sqlite3_bind_double(s, c++, v); };
    i(t.Index);
    r(t.SimTime);
    i(t.TimeFactor);
    i(t.OwnVessel);
    r(d.Range);
    i(d.RangeIndex);
    i(d.NorthUp);
    i(d.CourseUp);
    i(d.Bearings);
    i(d.RingsOn);
    i(d.HeadingLine);
    i(d.EBLOn);
    r(d.EBLBearing);
    i(d.VRMOn);
    r(d.VRMRange);
    r(d.CursorEast);
    r(d.CursorNorth);
    i(d.PlotOn);
    i(d.PlotFreqIndex);
    i(d.TrueViewOn);
    i(d.TrueTrails);
    i(d.Vectors);
    i(d.VectorIndex);
    i(d.CpaAlarmOn);
    i(d.GuardOn);
    r(d.GuardRange);
    r(d.CpaLimit);
    r(d.TcpaLimit);
    const std::string picked = PickedText(d.Picked);
    sqlite3_bind_text(s, c++, picked.c_str(), -1, SQLITE_TRANSIENT);
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    if (!ok) return Fail("writing a moment");
    s = position_;
    for (std::size_t v = 0; v < t.Vessels.size(); ++v) {
        const RunVesselState& p = t.Vessels[v];
        c = 1;
        i(t.Index);
        i(static_cast<int64_t>(v));
        r(p.Pos.X);
        r(p.Pos.Y);
        r(p.Heading);
        r(p.Speed);
        i(p.NewHeading);
        r(p.NewSpeed);
        const bool done = sqlite3_step(s) == SQLITE_DONE;
        sqlite3_reset(s);
        if (!done) return Fail("writing a position");
    }
    // The first moment at once: a record that has begun can always be replayed.
    if (t.Index == 0) return Commit();
    return CommitIfDue();
}

bool RunWriter::AddEvent(const RunEvent& e) {
    if (!Begin()) return false;
    sqlite3_stmt* s = event_;
    sqlite3_bind_int64(s, 1, e.Tick);
    sqlite3_bind_double(s, 2, e.SimTime);
    sqlite3_bind_text(s, 3, e.Kind.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 4, e.Vessel);
    sqlite3_bind_text(s, 5, e.Text.c_str(), -1, SQLITE_TRANSIENT);
    const bool ok = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    if (!ok) return Fail("writing an event");
    return CommitIfDue();
}

} // namespace mv
