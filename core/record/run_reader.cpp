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

    RunReadResult Read(const std::string& name) {
        RunReadResult result;
        if (!Pragma("application_id", appId_) || !Pragma("user_version", version_)) {
            // A header SQLite refuses is not corrupt in its sense but no record either.
            if (sqlite3_errcode(db_) == SQLITE_NOTADB) {
                result.Error = name + " is not a Marovane run record: " + Why();
                return result;
            }
            result.Error = sqlite3_errcode(db_) == SQLITE_CORRUPT
                               ? name + " is damaged and cannot be replayed: " + Why()
                               : name + " is not a Marovane run record: " + Why();
            return result;
        }
        if (appId_ != kRunApplicationId) {
            result.Error = name + " is not a Marovane run record: another program wrote it.";
            return result;
        }
        if (version_ > kRunFormatVersion) {
            result.Error = name + " was recorded by a newer Marovane (record format " +
                           std::to_string(version_) + "); this one reads up to format " +
                           std::to_string(kRunFormatVersion) + ".";
            return result;
        }
        if (version_ < 1) {
            result.Error = name + " is not a Marovane run record: it has no format number.";
            return result;
        }
        if (!SchemaIsPlain()) {
            result.Error = name + " is damaged and cannot be replayed: " + Why();
            return result;
        }
        RunRecord r;
        const bool whole = ReadAll(r);
        if (!whole && problem_ == kNoMoment) {
            result.Error = name + " holds no moment: the run ended before its first tick.";
            return result;
        }
        if (!whole) {
            result.Error = name + " is damaged and cannot be replayed: " + Why();
            return result;
        }
        UpgradeRecord(r, version_);
        result.Record = std::move(r);
        return result;
    }

  private:
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
    template <class Row, class Each> bool Rows(const Table<Row>& table, Each each) {
        if (version_ < table.Since) return true;
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, SelectSql(table).c_str(), -1, &s, nullptr) != SQLITE_OK)
            return false;
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

    bool ReadAll(RunRecord& r) {
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
        std::map<int64_t, std::size_t> byIndex;
        if (!Rows(kTicks, [&](RunTick& t) {
                byIndex[t.Index] = r.Ticks.size();
                r.Ticks.push_back(std::move(t));
                return true;
            }))
            return false;
        if (r.Ticks.empty()) return Bad(kNoMoment);
        if (!Rows(kPositions, [&](PositionRow& p) {
                const auto at = byIndex.find(p.Tick);
                if (at == byIndex.end()) return Bad("a position has no moment.");
                RunTick& t = r.Ticks[at->second];
                if (p.Vessel != static_cast<int>(t.Vessels.size()))
                    return Bad("a moment's vessels are out of order.");
                t.Vessels.push_back(p.State);
                return true;
            }))
            return false;
        // A moment written without all its vessels would be a half-written transaction, which
        // SQLite never leaves behind; a file edited by hand may.
        for (const RunTick& t : r.Ticks)
            if (static_cast<int>(t.Vessels.size()) != vessels_)
                return Bad("a moment lacks some of its vessels.");
        if (!Rows(kTrackStates, [&](TrackStateRow& row) {
                const auto at = byIndex.find(row.Tick);
                if (at == byIndex.end()) return Bad("a track has no moment.");
                r.Ticks[at->second].Tracks.push_back(row.Track);
                return true;
            }))
            return false;
        return All(kEvents, r.Events) && All(kTrackEvents, r.TrackEvents) &&
               All(kVideoSettings, r.VideoSettings) && Single(kExercise, r.Exercise) &&
               All(kAnswers, r.Answers) && All(kOrders, r.Orders) && Single(kEnding, r.Ending);
    }

    sqlite3* db_;
    int appId_ = 0, version_ = 0;
    int vessels_ = 0;
    std::string problem_;
};

RunReadResult ReadOpen(sqlite3* db, const std::string& name) {
    std::int64_t calls = 0;
    if (!Harden(db, calls)) {
        RunReadResult failed{std::nullopt, name + " cannot be opened: " + sqlite3_errmsg(db)};
        sqlite3_close(db);
        return failed;
    }
    RunReadResult result = Reader(db).Read(name);
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

RunReadResult OpenFailed(sqlite3* db, const std::string& name) {
    RunReadResult r{std::nullopt,
                    name + " cannot be opened: " + (db ? sqlite3_errmsg(db) : "out of memory")};
    sqlite3_close(db);
    return r;
}

// A record killed while it was being written and then moved without its shared-memory file:
// read from a copy of it and its log in a folder of its own, which is removed after, so that
// nothing is made beside the record.
RunReadResult ReadCopy(const std::filesystem::path& path, const std::string& name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir =
        fs::temp_directory_path(ec) / ("marovane-read-" + std::to_string(std::random_device{}()));
    const fs::path copy = dir / "record.mvrun";
    fs::create_directory(dir, ec);
    if (!ec) fs::copy_file(path, copy, ec);
    if (!ec) fs::copy_file(fs::path(path).concat("-wal"), fs::path(copy).concat("-wal"), ec);
    RunReadResult result;
    sqlite3* db = nullptr;
    if (ec)
        result.Error = name + " cannot be opened: " + ec.message();
    else if (sqlite3_open_v2(copy.string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
             SQLITE_OK)
        result = OpenFailed(db, name);
    else
        result = ReadOpen(db, name);
    fs::remove_all(dir, ec);
    return result;
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
    if (log && !shared) return ReadCopy(path, name);
    const std::string uri = FileUri(path, !log && LogModeFile(path) ? "immutable=1" : "mode=ro");
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(uri.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) !=
        SQLITE_OK)
        return OpenFailed(db, name);
    return ReadOpen(db, name);
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
    return ReadOpen(db, "The record");
}

} // namespace mv
