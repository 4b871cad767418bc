#pragma once
// The tables of a run record, as the help page "Debrief" documents them for readers with the
// sqlite3 shell. Figures are REAL (exact doubles: a float heading or speed is kept exactly),
// flags INTEGER 0 or 1.

namespace mv::runschema {

inline constexpr const char* kCreate = R"sql(
CREATE TABLE run(title TEXT NOT NULL, scenario_file TEXT NOT NULL, started TEXT NOT NULL,
  program_version TEXT NOT NULL);
CREATE TABLE vessels(slot INTEGER PRIMARY KEY, name TEXT NOT NULL, size REAL NOT NULL);
CREATE TABLE ticks(tick INTEGER PRIMARY KEY, sim_time REAL NOT NULL,
  time_factor INTEGER NOT NULL, own_vessel INTEGER NOT NULL,
  range REAL NOT NULL, range_index INTEGER NOT NULL, north_up INTEGER NOT NULL,
  course_up INTEGER NOT NULL, bearing_mode INTEGER NOT NULL, rings INTEGER NOT NULL,
  heading_line INTEGER NOT NULL, ebl_on INTEGER NOT NULL, ebl_bearing REAL NOT NULL,
  vrm_on INTEGER NOT NULL, vrm_range REAL NOT NULL, cursor_east REAL NOT NULL,
  cursor_north REAL NOT NULL, plot_on INTEGER NOT NULL, plot_interval INTEGER NOT NULL,
  true_view INTEGER NOT NULL, true_trails INTEGER NOT NULL, vectors INTEGER NOT NULL,
  vector_index INTEGER NOT NULL, cpa_alarm INTEGER NOT NULL, guard_on INTEGER NOT NULL,
  guard_range REAL NOT NULL, cpa_limit REAL NOT NULL, tcpa_limit REAL NOT NULL,
  picked TEXT NOT NULL);
CREATE TABLE positions(tick INTEGER NOT NULL, vessel INTEGER NOT NULL, x REAL NOT NULL,
  y REAL NOT NULL, heading REAL NOT NULL, speed REAL NOT NULL, new_heading INTEGER NOT NULL,
  new_speed REAL NOT NULL, PRIMARY KEY(tick, vessel)) WITHOUT ROWID;
CREATE TABLE events(id INTEGER PRIMARY KEY, tick INTEGER NOT NULL, sim_time REAL NOT NULL,
  kind TEXT NOT NULL, vessel INTEGER NOT NULL, text TEXT NOT NULL);
)sql";

inline constexpr const char* kTickColumns =
    "tick, sim_time, time_factor, own_vessel, range, range_index, north_up, course_up, "
    "bearing_mode, rings, heading_line, ebl_on, ebl_bearing, vrm_on, vrm_range, cursor_east, "
    "cursor_north, plot_on, plot_interval, true_view, true_trails, vectors, vector_index, "
    "cpa_alarm, guard_on, guard_range, cpa_limit, tcpa_limit, picked";
inline constexpr int kTickColumnCount = 29;

} // namespace mv::runschema
