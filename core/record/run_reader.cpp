#include "core/record/run_reader.h"

#include "core/record/run_schema.h"
#include "core/record/run_upgrade.h"
#include "core/regular_file.h"
#include "core/vessel.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <map>
#include <random>

namespace mv {

namespace {

using namespace runschema;

constexpr const char* kNoMoment = "no moment";

// The most rows of a table read. A run of 24 hours ticking every second has 86,400 moments of
// six vessels; anything far beyond is no run, and reading it would hold the reader for minutes
// and its memory for gigabytes.
std::int64_t MostRows(std::string_view table) {
    if (table == "ticks") return kMostRecordMoments;
    if (table == "positions") return kMostRecordMoments * kMaxVessels;
    if (table == "vessels") return kMaxVessels;
    if (table == "events" || table == "orders") return kMostRecordEvents;
    if (table == "answers") return kMostRecordAnswers;
    if (table == "track_events" || table == "video_settings") return kMostRecordEvents;
    // The tracker's forty tracks at every moment.
    if (table == "track_states") return kMostRecordMoments * 40;
    return 1'000'000;
}

// SQLite's virtual machine steps between calls of the progress handler, and the calls a read
// may take: about 10^10 steps, a minute or so, far beyond the largest real record (a few
// hundred million), and the end of a read that would never finish.
constexpr int kStepsPerCall = 10'000;
constexpr std::int64_t kMostCalls = 1'000'000;

int StopRunaway(void* calls) {
    return ++*static_cast<std::int64_t*>(calls) > kMostCalls ? 1 : 0;
}

// Guards a connection to a record before anything is read from it: the file is untrusted
// data, and none of its schema may run code or grow without bound.
bool Harden(sqlite3* db, std::int64_t& calls) {
    int on = 0;
    const bool ok = sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, &on) == SQLITE_OK &&
                    sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, &on) == SQLITE_OK &&
                    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, &on) == SQLITE_OK &&
                    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, &on) == SQLITE_OK;
    // The longest value is the exercise's text (1 MB at most); the longest statement ours.
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 4 * 1024 * 1024);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 64 * 1024);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    // Sorting spills to memory, not to a temporary file beside the record or in /tmp, and the
    // progress handler bounds how much of it a read may do.
    // A damaged file fails these when its schema is first read; the read after says why.
    sqlite3_exec(db, "PRAGMA temp_store=MEMORY; PRAGMA cache_size=-65536;", nullptr, nullptr,
                 nullptr);
    sqlite3_progress_handler(db, kStepsPerCall, StopRunaway, &calls);
    return ok;
}

class Reader {
  public:
    explicit Reader(sqlite3* db) : db_(db) {}

    // Whole: every table and every moment. Outline: every table but the moments, which are
    // counted, and of them only the one shown at sea time `at` (when given).
    RunReadResult Read(const std::string& name) {
        RunReadResult result;
        RunRecord r;
        if (!Opened(name, result.Error)) return result;
        if (!Finish(name, ReadAll(r), r, result.Error)) return result;
        result.Record = std::move(r);
        return result;
    }

    RunOutlineResult Outline(const std::string& name, std::optional<double> at) {
        RunOutlineResult result;
        RunOutline o;
        if (!Opened(name, result.Error)) return result;
        if (!Finish(name, ReadOutline(o, at), o.Record, result.Error)) return result;
        result.Outline = std::move(o);
        return result;
    }

  private:
    // The header, the format and the schema checked before any row is read.
    bool Opened(const std::string& name, std::string& error) {
        if (!Pragma("application_id", appId_) || !Pragma("user_version", version_)) {
            // A header SQLite refuses is not corrupt in its sense but no record either.
            if (sqlite3_errcode(db_) == SQLITE_NOTADB) {
                error = name + " is not a Marovane run record: " + Why();
                return false;
            }
            error = sqlite3_errcode(db_) == SQLITE_CORRUPT
                        ? name + " is damaged and cannot be replayed: " + Why()
                        : name + " is not a Marovane run record: " + Why();
            return false;
        }
        if (appId_ != kRunApplicationId) {
            error = name + " is not a Marovane run record: another program wrote it.";
            return false;
        }
        if (version_ > kRunFormatVersion) {
            error = name + " was recorded by a newer Marovane (record format " +
                    std::to_string(version_) + "); this one reads up to format " +
                    std::to_string(kRunFormatVersion) + ".";
            return false;
        }
        if (version_ < 1) {
            error = name + " is not a Marovane run record: it has no format number.";
            return false;
        }
        if (!SchemaIsPlain() || !ColumnsAsDeclared()) {
            error = name + " is damaged and cannot be replayed: " + Why();
            return false;
        }
        return true;
    }

    bool Finish(const std::string& name, bool whole, RunRecord& r, std::string& error) {
        if (!whole && problem_ == kNoMoment) {
            error = name + " holds no moment: the run ended before its first tick.";
            return false;
        }
        if (!whole) {
            error = name + " is damaged and cannot be replayed: " + Why();
            return false;
        }
        UpgradeRecord(r, version_);
        return true;
    }

    // Every table of the record's format has exactly the columns the field table declares, in
    // its order and of its declared type, so that a file edited by hand is refused here, by
    // its table and column, not by a query failing half way through a read.
    bool ColumnsAsDeclared() {
        return Declared(kRun) && Declared(kVessels) && Declared(kTicks) && Declared(kPositions) &&
               Declared(kEvents) && Declared(kExercise) && Declared(kAnswers) &&
               Declared(kOrders) && Declared(kEnding) && Declared(kTrackStates) &&
               Declared(kTrackEvents) && Declared(kVideoSettings) && Declared(kVideoSeas);
    }

    template <class Row> bool Declared(const Table<Row>& table) {
        if (version_ < table.Since) return true;
        std::vector<std::pair<std::string, std::string>> want; // name, type
        if (*table.Before) {
            // "id INTEGER PRIMARY KEY": a name and a type.
            const std::string before = table.Before;
            const std::size_t blank = before.find(' ');
            const std::size_t end = before.find(' ', blank + 1);
            want.emplace_back(before.substr(0, blank), before.substr(blank + 1, end - blank - 1));
        }
        for (const Field<Row>& f : table.Fields)
            if (f.Since <= version_)
                want.emplace_back(
                    f.Name,
                    std::visit(
                        [](const auto& m) {
                            return SqlType<
                                std::remove_cvref_t<decltype(m.Get(std::declval<const Row&>()))>>();
                        },
                        f.Of));
        sqlite3_stmt* s = nullptr;
        const std::string sql = std::string("PRAGMA table_info(") + table.Name + ")";
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return false;
        const std::string in = std::string("its table ") + table.Name;
        std::size_t at = 0;
        int rc = SQLITE_ROW;
        bool ok = true;
        while (ok && (rc = sqlite3_step(s)) == SQLITE_ROW) {
            const std::string column = Text(s, 1);
            std::string type = Text(s, 2);
            for (char& c : type)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (at >= want.size())
                ok = Bad(in + " has a column " + column + " that no record has.");
            else if (column != want[at].first)
                ok = Bad(in + " has " + column + " where the column " + want[at].first +
                         " belongs.");
            else if (type != want[at].second)
                ok = Bad(in + " declares its column " + column + " " +
                         (type.empty() ? "without a type" : type) + ", not " + want[at].second +
                         ".");
            ++at;
        }
        sqlite3_finalize(s);
        if (!ok) return false;
        if (rc != SQLITE_DONE) return false;
        if (at == 0) return Bad(std::string("it has no table ") + table.Name + ".");
        if (at < want.size()) return Bad(in + " lacks the column " + want[at].first + ".");
        return true;
    }

    std::string Why() const {
        return problem_.empty() ? std::string(sqlite3_errmsg(db_)) + "." : problem_;
    }
    bool Bad(std::string why) {
        problem_ = std::move(why);
        return false;
    }

    // A record is data: only plain tables. A view or a virtual table could make a read of
    // "events" endless, and a trigger never runs on a read but has no business in a record.
    bool SchemaIsPlain() {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_,
                               "SELECT count(*) FROM sqlite_master WHERE type IN ('view', "
                               "'trigger') OR (type = 'table' AND sql LIKE 'CREATE VIRTUAL%')",
                               -1, &s, nullptr) != SQLITE_OK)
            return false;
        const bool read = sqlite3_step(s) == SQLITE_ROW;
        const int strange = read ? sqlite3_column_int(s, 0) : 0;
        sqlite3_finalize(s);
        if (!read) return false;
        if (strange > 0)
            return Bad("it holds views, triggers or virtual tables, which no record has.");
        return true;
    }

    bool Pragma(const char* name, int& value) {
        sqlite3_stmt* s = nullptr;
        const std::string sql = std::string("PRAGMA ") + name;
        bool ok = sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
                  sqlite3_step(s) == SQLITE_ROW;
        if (ok) value = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
        return ok;
    }

    // Every row of `table` in its order, each checked field by field and handed to `each`;
    // false when the query, a value or `each` fails. A table newer than the record's format
    // has no rows.
    // `where` (with the key bound as ?1) takes only some rows.
    template <class Row, class Each>
    bool Rows(const Table<Row>& table, Each each, const char* where = "", int64_t key = 0) {
        if (version_ < table.Since) return true;
        sqlite3_stmt* s = nullptr;
        const std::string sql = "SELECT " + Columns(table, version_) + " FROM " + table.Name + " " +
                                where + " " + table.Order;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return false;
        if (*where) sqlite3_bind_int64(s, 1, key);
        int rc = SQLITE_ROW;
        bool ok = true;
        const std::int64_t most = MostRows(table.Name);
        std::int64_t count = 0;
        while (ok && (rc = sqlite3_step(s)) == SQLITE_ROW) {
            if (++count > most) {
                ok = Bad("its " + std::string(table.Name) + " are more than " +
                         std::to_string(most) + ", more than any run records.");
                break;
            }
            Row row;
            int col = 0;
            for (const Field<Row>& f : table.Fields) {
                if (f.Since > version_) continue; // a column newer than the record
                ok = ok &&
                     std::visit([&](const auto& m) { return Value(s, col, f, m.Set(row)); }, f.Of);
                ++col;
            }
            ok = ok && each(row);
        }
        sqlite3_finalize(s);
        return ok && rc == SQLITE_DONE;
    }

    static std::string Text(sqlite3_stmt* s, int col) {
        const auto* t = sqlite3_column_text(s, col);
        return t ? std::string(reinterpret_cast<const char*>(t),
                               static_cast<std::size_t>(sqlite3_column_bytes(s, col)))
                 : std::string();
    }

    template <class Row> bool Value(sqlite3_stmt* s, int col, const Field<Row>&, bool& out) {
        out = sqlite3_column_int64(s, col) != 0;
        return true;
    }
    template <class Row> bool Value(sqlite3_stmt* s, int col, const Field<Row>& f, int64_t& out) {
        out = sqlite3_column_int64(s, col);
        int64_t lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
        if (f.Checked == Check::Range) lo = f.Lo, hi = f.Hi;
        if (f.Checked == Check::Slot || f.Checked == Check::SlotOrNone)
            lo = f.Checked == Check::Slot ? 0 : -1, hi = vessels_ - 1;
        return (out >= lo && out <= hi) || Bad("a setting is out of its range.");
    }
    template <class Row> bool Value(sqlite3_stmt* s, int col, const Field<Row>& f, int& out) {
        int64_t wide = 0;
        if (!Value(s, col, f, wide)) return false;
        if (wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
            return Bad("a setting is out of its range.");
        out = static_cast<int>(wide);
        return true;
    }
    // A figure that the program can draw: finite and within the largest a scenario may give.
    template <class Row> bool Value(sqlite3_stmt* s, int col, const Field<Row>& f, double& out) {
        out = sqlite3_column_double(s, col);
        if (!std::isfinite(out) || std::fabs(out) > kLargestFigure)
            return Bad("a figure is out of bounds.");
        if (f.Checked == Check::Positive && out <= 0)
            return Bad(std::string("its ") + f.Name + " is not above 0.");
        return true;
    }
    template <class Row> bool Value(sqlite3_stmt* s, int col, const Field<Row>& f, float& out) {
        double d = 0;
        if (!Value(s, col, f, d)) return false;
        out = static_cast<float>(d);
        return true;
    }
    template <class Row> bool Value(sqlite3_stmt* s, int col, const Field<Row>&, std::string& out) {
        out = Text(s, col);
        return true;
    }
    template <class Row> bool Value(sqlite3_stmt* s, int col, const Field<Row>&, Figure& out) {
        const auto figure = FigureFromName(Text(s, col));
        if (!figure) return Bad("an answer's figure is not one an exercise asks for.");
        out = *figure;
        return true;
    }
    // Vessel slots of the run separated by commas, as many as can be picked.
    template <class Row>
    bool Value(sqlite3_stmt* s, int col, const Field<Row>&, std::vector<int>& out) {
        const std::string picked = Text(s, col);
        std::size_t from = 0;
        while (from < picked.size()) {
            const std::size_t comma = std::min(picked.find(',', from), picked.size());
            const std::string item = picked.substr(from, comma - from);
            if (item.size() != 1 || item[0] < '0' || item[0] >= '0' + vessels_ || out.size() >= 6)
                return Bad("a moment's picked targets are not vessels of the run.");
            out.push_back(item[0] - '0');
            from = comma + 1;
        }
        return true;
    }

    // At most one row of `table`, as `out`.
    template <class Row> bool Single(const Table<Row>& table, std::optional<Row>& out) {
        return Rows(table, [&](Row& row) {
            if (out) return Bad(std::string("it holds more than one ") + table.Name + ".");
            out = std::move(row);
            return true;
        });
    }
    template <class Row> bool All(const Table<Row>& table, std::vector<Row>& out) {
        return Rows(table, [&](Row& row) {
            out.push_back(std::move(row));
            return true;
        });
    }

    bool ReadHead(RunRecord& r) {
        std::optional<RunInfo> info;
        if (!Single(kRun, info)) return false;
        if (!info) return Bad("it holds no run.");
        r.Info = std::move(*info);
        if (!Rows(kVessels, [&](RunVessel& v) {
                if (v.Slot != static_cast<int>(r.Vessels.size()))
                    return Bad("its vessel slots have a gap.");
                r.Vessels.push_back(std::move(v));
                return true;
            }))
            return false;
        if (r.Vessels.empty()) return Bad("it has no vessels.");
        vessels_ = static_cast<int>(r.Vessels.size());
        return true;
    }

    bool ReadTail(RunRecord& r) {
        return All(kEvents, r.Events) && All(kTrackEvents, r.TrackEvents) &&
               All(kVideoSettings, r.VideoSettings) && All(kVideoSeas, r.VideoSeas) &&
               Single(kExercise, r.Exercise) && All(kAnswers, r.Answers) &&
               All(kOrders, r.Orders) && Single(kEnding, r.Ending);
    }

    // The vessels and tracks of the moments in r.Ticks from `first` on, which are in the order
    // of their numbers, as the positions and the track states are: one walk through each.
    bool ReadStates(RunRecord& r, std::size_t first, const char* where = "", int64_t key = 0) {
        std::size_t at = first;
        const auto moment = [&](int64_t tick) {
            while (at < r.Ticks.size() && r.Ticks[at].Index < tick)
                ++at;
            return at < r.Ticks.size() && r.Ticks[at].Index == tick;
        };
        if (!Rows(
                kPositions,
                [&](PositionRow& p) {
                    if (!moment(p.Tick)) return Bad("a position has no moment.");
                    RunTick& t = r.Ticks[at];
                    if (p.Vessel != static_cast<int>(t.Vessels.size()))
                        return Bad("a moment's vessels are out of order.");
                    t.Vessels.push_back(p.State);
                    return true;
                },
                where, key))
            return false;
        // A moment written without all its vessels would be a half-written transaction, which
        // SQLite never leaves behind; a file edited by hand may.
        for (std::size_t k = first; k < r.Ticks.size(); ++k)
            if (static_cast<int>(r.Ticks[k].Vessels.size()) != vessels_)
                return Bad("a moment lacks some of its vessels.");
        at = first;
        return Rows(
            kTrackStates,
            [&](TrackStateRow& row) {
                if (!moment(row.Tick)) return Bad("a track has no moment.");
                r.Ticks[at].Tracks.push_back(row.Track);
                return true;
            },
            where, key);
    }

    bool ReadAll(RunRecord& r) {
        if (!ReadHead(r)) return false;
        if (!All(kTicks, r.Ticks)) return false;
        if (r.Ticks.empty()) return Bad(kNoMoment);
        return ReadStates(r, 0) && ReadTail(r);
    }

    // One figure of the first row of `sql`, checked as a figure is.
    bool Figure(const char* sql, double at, double& out) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) return false;
        sqlite3_bind_double(s, 1, at);
        const int rc = sqlite3_step(s);
        const bool row = rc == SQLITE_ROW;
        out = row ? sqlite3_column_double(s, 0) : 0.0;
        sqlite3_finalize(s);
        if (!row) return rc == SQLITE_DONE ? Bad(kNoMoment) : false;
        return (std::isfinite(out) && std::fabs(out) <= kLargestFigure) ||
               Bad("a figure is out of bounds.");
    }

    bool ReadOutline(RunOutline& o, std::optional<double> at) {
        RunRecord& r = o.Record;
        if (!ReadHead(r)) return false;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, "SELECT count(*) FROM ticks", -1, &s, nullptr) != SQLITE_OK)
            return false;
        const bool counted = sqlite3_step(s) == SQLITE_ROW;
        o.Moments = counted ? sqlite3_column_int64(s, 0) : 0;
        sqlite3_finalize(s);
        if (!counted) return false;
        if (o.Moments == 0) return Bad(kNoMoment);
        if (o.Moments > kMostRecordMoments)
            return Bad("its ticks are more than " + std::to_string(kMostRecordMoments) +
                       ", more than any run records.");
        // The first and the last moment by their numbers: two seeks in the table's own order.
        if (!Figure("SELECT sim_time FROM ticks ORDER BY tick LIMIT 1", 0, o.First) ||
            !Figure("SELECT sim_time FROM ticks ORDER BY tick DESC LIMIT 1", 0, o.Last))
            return false;
        if (at) {
            // TickAt's rule in one pass over the moments' times, which reads none of their
            // vessels; the moment found is then read by its number, and its vessels and tracks
            // by their keys.
            s = nullptr;
            if (sqlite3_prepare_v2(db_,
                                   "SELECT tick FROM ticks WHERE sim_time <= ?1 "
                                   "ORDER BY sim_time DESC, tick DESC LIMIT 1",
                                   -1, &s, nullptr) != SQLITE_OK)
                return false;
            sqlite3_bind_double(s, 1, *at);
            const int rc = sqlite3_step(s);
            const std::optional<int64_t> tick =
                rc == SQLITE_ROW ? std::optional(sqlite3_column_int64(s, 0)) : std::nullopt;
            sqlite3_finalize(s);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE) return false;
            if (tick &&
                (!Rows(
                     kTicks, [&](RunTick& t) { return r.Ticks.push_back(std::move(t)), true; },
                     "WHERE tick = ?1", *tick) ||
                 !ReadStates(r, 0, "WHERE tick = ?1", *tick)))
                return false;
        }
        return ReadTail(r);
    }

    sqlite3* db_;
    int appId_ = 0, version_ = 0;
    int vessels_ = 0;
    std::string problem_;
};

// A read by `read(reader)` of an open record, `db` closed after.
template <class Result, class Read>
Result ReadOpen(sqlite3* db, const std::string& name, Read read) {
    std::int64_t calls = 0;
    if (!Harden(db, calls)) {
        Result failed{std::nullopt, name + " cannot be opened: " + sqlite3_errmsg(db)};
        sqlite3_close(db);
        return failed;
    }
    Reader reader(db);
    Result result = read(reader);
    if (!result.ok() && calls > kMostCalls)
        result.Error = name + " is damaged and cannot be replayed: reading it does not end.";
    sqlite3_close(db);
    return result;
}

// The file named as a URI, which carries how it is opened.
std::string FileUri(const std::filesystem::path& path, const char* query) {
    std::string uri = "file:";
    std::string name = std::filesystem::absolute(path).generic_string();
    if (!name.starts_with('/')) name.insert(0, "/"); // a drive letter
    const char* hex = "0123456789ABCDEF";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || std::strchr("-._~/", c))
            uri += c;
        else
            uri += {'%', hex[u >> 4], hex[u & 15]};
    }
    return uri + "?" + query;
}

// In log mode by its header: the file's format bytes at offsets 18 and 19 are 2.
bool LogModeFile(const std::filesystem::path& path) {
    char header[20] = {};
    std::ifstream in(path, std::ios::binary);
    return in.read(header, sizeof header) && std::memcmp(header, "SQLite format 3", 16) == 0 &&
           header[18] == 2;
}

template <class Result> Result OpenFailed(sqlite3* db, const std::string& name) {
    Result r{std::nullopt,
             name + " cannot be opened: " + (db ? sqlite3_errmsg(db) : "out of memory")};
    sqlite3_close(db);
    return r;
}

// A record killed while it was being written and then moved without its shared-memory file:
// read from a copy of it and its log in a folder of its own, which is removed after, so that
// nothing is made beside the record.
template <class Result, class Read>
Result ReadCopy(const std::filesystem::path& path, const std::string& name, Read read) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir =
        fs::temp_directory_path(ec) / ("marovane-read-" + std::to_string(std::random_device{}()));
    const fs::path copy = dir / "record.mvrun";
    fs::create_directory(dir, ec);
    if (!ec) fs::copy_file(path, copy, ec);
    if (!ec) fs::copy_file(fs::path(path).concat("-wal"), fs::path(copy).concat("-wal"), ec);
    Result result;
    sqlite3* db = nullptr;
    if (ec)
        result.Error = name + " cannot be opened: " + ec.message();
    else if (sqlite3_open_v2(copy.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
             SQLITE_OK)
        result = OpenFailed<Result>(db, name);
    else
        result = ReadOpen<Result>(db, name, read);
    fs::remove_all(dir, ec);
    return result;
}

// A read by `read(reader)` of the record at `path`, checked as a file first.
template <class Result, class Read> Result ReadFile(const std::filesystem::path& path, Read read) {
    const std::string name = path.filename().string();
    std::error_code ec;
    std::string head(16, '\0');
    if (const FileCheck check = CheckRegularFile(path, kLargestRecord, head); !check.ok())
        return {std::nullopt, "The run record " + path.string() + " " +
                                  FileProblemText(check, kLargestRecord) + "."};
    // SQLite is handed only a file that says it is one; any other is named for what it is.
    if (head != std::string_view("SQLite format 3\0", 16))
        return {std::nullopt, name + " is not a Marovane run record: it is not a database."};
    // A log beside it is read with it, so it is held to the same rule.
    if (const auto wal = std::filesystem::path(path).concat("-wal");
        std::filesystem::exists(std::filesystem::symlink_status(wal, ec))) {
        std::string none;
        if (const FileCheck check = CheckRegularFile(wal, kLargestRecord, none); !check.ok())
            return {std::nullopt, "The log " + wal.filename().string() + " beside " + name + " " +
                                      FileProblemText(check, kLargestRecord) + "."};
    }
    // Read-only, and never a file made beside the record, whose folder may be read-only or
    // someone else's. A record being written (or killed while it was) has its log and shared
    // memory beside it, which are read as they are. A closed record has a rollback journal
    // and opens read-only as it is; a record in log mode with no log beside it (copied while
    // it was written) is read as unchanging, where SQLite would otherwise make both files.
    const bool log = std::filesystem::exists(std::filesystem::path(path).concat("-wal"), ec);
    const bool shared = std::filesystem::exists(std::filesystem::path(path).concat("-shm"), ec);
    if (log && !shared) return ReadCopy<Result>(path, name, read);
    const std::string uri = FileUri(path, !log && LogModeFile(path) ? "immutable=1" : "mode=ro");
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK)
        return OpenFailed<Result>(db, name);
    return ReadOpen<Result>(db, name, read);
}

} // namespace

std::optional<std::size_t> RunRecord::TickAt(double days) const {
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < Ticks.size(); ++i) {
        const double t = Ticks[i].SimTime;
        if (t <= days && (!best || t >= Ticks[*best].SimTime)) best = i;
    }
    return best;
}

RunReadResult ReadRunRecord(const std::filesystem::path& path) {
    return ReadFile<RunReadResult>(path,
                                   [&](Reader& r) { return r.Read(path.filename().string()); });
}

RunOutlineResult ReadRunOutline(const std::filesystem::path& path, std::optional<double> at) {
    return ReadFile<RunOutlineResult>(
        path, [&](Reader& r) { return r.Outline(path.filename().string(), at); });
}

RunReadResult ReadRunRecordBytes(std::span<const unsigned char> bytes) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return {std::nullopt, "out of memory"};
    }
    auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size() + 1));
    if (!copy) {
        sqlite3_close(db);
        return {std::nullopt, "out of memory"};
    }
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    if (sqlite3_deserialize(db, "main", copy, static_cast<sqlite3_int64>(bytes.size()),
                            static_cast<sqlite3_int64>(bytes.size()),
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) !=
        SQLITE_OK) {
        sqlite3_close(db);
        return {std::nullopt, "The record cannot be read."};
    }
    return ReadOpen<RunReadResult>(db, "The record",
                                   [](Reader& r) { return r.Read("The record"); });
}

} // namespace mv
