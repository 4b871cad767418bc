#include "core/record/run_reader.h"

#include "core/record/run_schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace mv {

namespace {

constexpr const char* kNoMoment = "no moment";

class Reader {
  public:
    explicit Reader(sqlite3* db) : db_(db) {}

    RunReadResult Read(const std::string& name) {
        RunReadResult result;
        int appId = 0, version = 0;
        if (!Pragma("application_id", appId) || !Pragma("user_version", version)) {
            result.Error = sqlite3_errcode(db_) == SQLITE_CORRUPT
                               ? name + " is damaged and cannot be replayed: " + Why()
                               : name + " is not a Marovane run record: " + Why();
            return result;
        }
        if (appId != kRunApplicationId) {
            result.Error = name + " is not a Marovane run record: another program wrote it.";
            return result;
        }
        if (version > kRunFormatVersion) {
            result.Error = name + " was recorded by a newer Marovane (record format " +
                           std::to_string(version) + "); this one reads up to format " +
                           std::to_string(kRunFormatVersion) + ".";
            return result;
        }
        if (version < 1) {
            result.Error = name + " is not a Marovane run record: it has no format number.";
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

    bool Pragma(const char* name, int& value) {
        sqlite3_stmt* s = nullptr;
        const std::string sql = std::string("PRAGMA ") + name;
        bool ok = sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) == SQLITE_OK &&
                  sqlite3_step(s) == SQLITE_ROW;
        if (ok) value = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
        return ok;
    }

    // Runs a query, calling `row` for every row; false when the query or a row fails.
    template <class Row> bool Query(const std::string& sql, Row row) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr) != SQLITE_OK) return false;
        int rc = SQLITE_ROW;
        bool ok = true;
        while (ok && (rc = sqlite3_step(s)) == SQLITE_ROW)
            ok = row(s);
        sqlite3_finalize(s);
        return ok && rc == SQLITE_DONE;
    }

    static std::string Text(sqlite3_stmt* s, int col) {
        const auto* t = sqlite3_column_text(s, col);
        return t ? std::string(reinterpret_cast<const char*>(t),
                               static_cast<std::size_t>(sqlite3_column_bytes(s, col)))
                 : std::string();
    }
    // A figure that the program can draw: finite and within the largest a scenario may give.
    bool Figure(sqlite3_stmt* s, int col, double& out) {
        out = sqlite3_column_double(s, col);
        if (!std::isfinite(out) || std::fabs(out) > kLargestFigure)
            return Bad("a figure is out of bounds.");
        return true;
    }
    bool Small(sqlite3_stmt* s, int col, int lo, int hi, int& out) {
        const sqlite3_int64 v = sqlite3_column_int64(s, col);
        if (v < lo || v > hi) return Bad("a setting is out of its range.");
        out = static_cast<int>(v);
        return true;
    }
    bool Flag(sqlite3_stmt* s, int col, bool& out) {
        out = sqlite3_column_int64(s, col) != 0;
        return true;
    }
    bool Single(sqlite3_stmt* s, int col, float& out) {
        double d = 0;
        if (!Figure(s, col, d)) return false;
        out = static_cast<float>(d);
        return true;
    }

    bool ReadAll(RunRecord& r) {
        int runs = 0;
        if (!Query("SELECT title, scenario_file, started, program_version FROM run",
                   [&](sqlite3_stmt* s) {
                       r.Info = {Text(s, 0), Text(s, 1), Text(s, 2), Text(s, 3)};
                       return ++runs == 1 || Bad("it holds more than one run.");
                   }))
            return false;
        if (runs != 1) return Bad("it holds no run.");
        if (!Query("SELECT slot, name, size FROM vessels ORDER BY slot", [&](sqlite3_stmt* s) {
                RunVessel v;
                if (!Small(s, 0, 0, kMaxVessels - 1, v.Slot)) return false;
                if (v.Slot != static_cast<int>(r.Vessels.size()))
                    return Bad("its vessel slots have a gap.");
                v.Name = Text(s, 1);
                if (!Figure(s, 2, v.Size)) return false;
                r.Vessels.push_back(std::move(v));
                return true;
            }))
            return false;
        if (r.Vessels.size() < 1) return Bad("it has no vessels.");
        const int n = static_cast<int>(r.Vessels.size());
        std::map<int64_t, std::size_t> byIndex;
        if (!Query(std::string("SELECT ") + runschema::kTickColumns + " FROM ticks ORDER BY tick",
                   [&](sqlite3_stmt* s) { return TickRow(s, n, r, byIndex); }))
            return false;
        if (r.Ticks.empty()) return Bad(kNoMoment);
        if (!Query("SELECT tick, vessel, x, y, heading, speed, new_heading, new_speed FROM "
                   "positions ORDER BY tick, vessel",
                   [&](sqlite3_stmt* s) {
                       const auto at = byIndex.find(sqlite3_column_int64(s, 0));
                       if (at == byIndex.end()) return Bad("a position has no moment.");
                       RunTick& t = r.Ticks[at->second];
                       int vessel = 0;
                       if (!Small(s, 1, 0, n - 1, vessel)) return false;
                       if (vessel != static_cast<int>(t.Vessels.size()))
                           return Bad("a moment's vessels are out of order.");
                       RunVesselState p;
                       if (!Figure(s, 2, p.Pos.X) || !Figure(s, 3, p.Pos.Y) ||
                           !Single(s, 4, p.Heading) || !Single(s, 5, p.Speed) ||
                           !Small(s, 6, 0, 359, p.NewHeading) || !Single(s, 7, p.NewSpeed))
                           return false;
                       t.Vessels.push_back(p);
                       return true;
                   }))
            return false;
        // A moment written without all its vessels would be a half-written transaction, which
        // SQLite never leaves behind; a file edited by hand may.
        for (const RunTick& t : r.Ticks)
            if (static_cast<int>(t.Vessels.size()) != n)
                return Bad("a moment lacks some of its vessels.");
        return Query("SELECT tick, sim_time, kind, vessel, text FROM events ORDER BY id",
                     [&](sqlite3_stmt* s) {
                         RunEvent e;
                         e.Tick = sqlite3_column_int64(s, 0);
                         if (!Figure(s, 1, e.SimTime)) return false;
                         e.Kind = Text(s, 2);
                         if (!Small(s, 3, -1, n - 1, e.Vessel)) return false;
                         e.Text = Text(s, 4);
                         r.Events.push_back(std::move(e));
                         return true;
                     });
    }

    bool TickRow(sqlite3_stmt* s, int n, RunRecord& r, std::map<int64_t, std::size_t>& byIndex) {
        RunTick t;
        RunDisplay& d = t.Display;
        t.Index = sqlite3_column_int64(s, 0);
        int c = 1;
        std::string picked;
        const bool ok =
            Figure(s, c++, t.SimTime) && Small(s, c++, 1, 1000, t.TimeFactor) &&
            Small(s, c++, 0, n - 1, t.OwnVessel) && Figure(s, c++, d.Range) &&
            Small(s, c++, 0, 9, d.RangeIndex) && Flag(s, c++, d.NorthUp) &&
            Flag(s, c++, d.CourseUp) && Small(s, c++, 0, 1, d.Bearings) &&
            Flag(s, c++, d.RingsOn) && Flag(s, c++, d.HeadingLine) && Flag(s, c++, d.EBLOn) &&
            Single(s, c++, d.EBLBearing) && Flag(s, c++, d.VRMOn) && Figure(s, c++, d.VRMRange) &&
            Figure(s, c++, d.CursorEast) && Figure(s, c++, d.CursorNorth) &&
            Flag(s, c++, d.PlotOn) && Small(s, c++, 0, 3, d.PlotFreqIndex) &&
            Flag(s, c++, d.TrueViewOn) && Flag(s, c++, d.TrueTrails) &&
            Small(s, c++, 0, 2, d.Vectors) && Small(s, c++, 0, 4, d.VectorIndex) &&
            Flag(s, c++, d.CpaAlarmOn) && Flag(s, c++, d.GuardOn) && Figure(s, c++, d.GuardRange) &&
            Single(s, c++, d.CpaLimit) && Single(s, c++, d.TcpaLimit);
        if (!ok) return false;
        if (d.Range <= 0) return Bad("a moment has no range scale.");
        picked = Text(s, c);
        std::size_t from = 0;
        while (from < picked.size()) {
            const std::size_t comma = std::min(picked.find(',', from), picked.size());
            const std::string item = picked.substr(from, comma - from);
            if (item.size() != 1 || item[0] < '0' || item[0] >= '0' + n || d.Picked.size() >= 6)
                return Bad("a moment's picked targets are not vessels of the run.");
            d.Picked.push_back(item[0] - '0');
            from = comma + 1;
        }
        byIndex[t.Index] = r.Ticks.size();
        r.Ticks.push_back(std::move(t));
        return true;
    }

    sqlite3* db_;
    std::string problem_;
};

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
    if (!std::filesystem::is_regular_file(path, ec))
        return {std::nullopt, "The run record " + path.string() + " cannot be found."};
    sqlite3* db = nullptr;
    // Read-only: opening a record never changes it, whatever it holds.
    if (sqlite3_open_v2(path.string().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        RunReadResult r{std::nullopt,
                        name + " cannot be opened: " + (db ? sqlite3_errmsg(db) : "out of memory")};
        sqlite3_close(db);
        return r;
    }
    RunReadResult result = Reader(db).Read(name);
    sqlite3_close(db);
    return result;
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
    RunReadResult result;
    if (sqlite3_deserialize(db, "main", copy, static_cast<sqlite3_int64>(bytes.size()),
                            static_cast<sqlite3_int64>(bytes.size()),
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) !=
        SQLITE_OK)
        result.Error = "The record cannot be read.";
    else
        result = Reader(db).Read("The record");
    sqlite3_close(db);
    return result;
}

} // namespace mv
