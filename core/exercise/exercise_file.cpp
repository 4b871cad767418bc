#include "core/exercise/exercise_file.h"

#include "core/geometry.h"
#include "core/number_text.h"
#include "core/scenario/field_reader.h"

#include <toml++/toml.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <fstream>
#include <initializer_list>
#include <sstream>

namespace mv {

namespace {

constexpr std::array<std::string_view, 7> kFigureNames{"cpa",    "tcpa", "course", "speed",
                                                       "aspect", "set",  "drift"};

// One mistake in the file: where it is and what is wrong.
struct Mistake {
    int Line = 0;
    std::string Key; // dotted, as the instructor would look for it: "question[2].at"
    std::string Text;
};

int LineOf(const toml::node& node) {
    return static_cast<int>(node.source().begin.line);
}

std::string Join(std::initializer_list<std::string_view> names) {
    std::string out;
    for (std::string_view n : names)
        out += (out.empty() ? "" : ", ") + std::string(n);
    return out;
}

std::string Dotted(std::string_view path, std::string_view key) {
    return path.empty() ? std::string(key) : std::string(path) + "." + std::string(key);
}

// A table's keys: each must be one of `known`, so that a misspelt key is not silently ignored.
void OnlyKeys(const toml::table& table, std::string_view path,
              std::initializer_list<std::string_view> known) {
    for (const auto& [key, node] : table) {
        bool found = false;
        for (std::string_view k : known)
            found = found || key.str() == k;
        if (!found)
            throw Mistake{LineOf(node), Dotted(path, key.str()),
                          "unknown key; this table takes " + Join(known)};
    }
}

const toml::table& TableAt(const toml::node& node, std::string_view key) {
    if (const toml::table* t = node.as_table()) return *t;
    throw Mistake{LineOf(node), std::string(key), "must be a table"};
}

std::string NumberText(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

// A number from min to max (an integer or a decimal), or `fallback` when the key is absent.
double Number(const toml::table& t, std::string_view path, std::string_view key, double min,
              double max, double fallback, std::string_view unit) {
    const toml::node* node = t.get(key);
    if (!node) return fallback;
    std::optional<double> v;
    if (const auto i = node->value_exact<int64_t>())
        v = static_cast<double>(*i);
    else if (const auto d = node->value_exact<double>())
        v = *d;
    if (!v || !std::isfinite(*v) || *v < min || *v > max)
        throw Mistake{LineOf(*node), Dotted(path, key),
                      "must be a number of " + std::string(unit) + " from " + NumberText(min) +
                          " to " + NumberText(max)};
    return *v;
}

std::optional<double> OptionalNumber(const toml::table& t, std::string_view path,
                                     std::string_view key, double min, double max,
                                     std::string_view unit) {
    if (!t.contains(key)) return std::nullopt;
    return Number(t, path, key, min, max, 0, unit);
}

bool Bool(const toml::table& t, std::string_view path, std::string_view key, bool fallback) {
    const toml::node* node = t.get(key);
    if (!node) return fallback;
    if (const auto b = node->value_exact<bool>()) return *b;
    throw Mistake{LineOf(*node), Dotted(path, key), "must be true or false"};
}

std::optional<std::string> String(const toml::table& t, std::string_view path,
                                  std::string_view key) {
    const toml::node* node = t.get(key);
    if (!node) return std::nullopt;
    if (const auto s = node->value_exact<std::string>()) return *s;
    throw Mistake{LineOf(*node), Dotted(path, key), "must be a text in quotes"};
}

// A time of the exercise's clock, which starts at 12:00:00: a TOML time (12:06:00) or the
// same in quotes. Days, as the clock keeps it.
double TimeFromNode(const toml::node& node, const std::string& key) {
    const std::string wrong = "must be a time from 12:00:00 to 23:59:59, such as 12:06:00";
    int h = -1, m = -1;
    double s = 0;
    if (const auto t = node.value_exact<toml::time>()) {
        h = t->hour, m = t->minute;
        s = t->second + t->nanosecond * 1e-9;
    } else if (const auto text = node.value_exact<std::string>()) {
        int sec = 0;
        char tail = 0;
        const int got = std::sscanf(text->c_str(), "%2d:%2d:%2d%c", &h, &m, &sec, &tail);
        if (got == 2 && text->size() == 5) {
            s = 0;
        } else if (got == 3 && text->size() == 8) {
            s = sec;
        } else {
            throw Mistake{LineOf(node), key, wrong};
        }
    } else {
        throw Mistake{LineOf(node), key, wrong};
    }
    if (h < 12 || h > 23 || m < 0 || m > 59 || s < 0 || s >= 60)
        throw Mistake{LineOf(node), key, wrong};
    return h / 24.0 + m / 1440.0 + s / 86400.0;
}

double Time(const toml::table& t, std::string_view path, std::string_view key, int missingLine) {
    const toml::node* node = t.get(key);
    if (!node) throw Mistake{missingLine, Dotted(path, key), "is missing: give a time"};
    return TimeFromNode(*node, Dotted(path, key));
}

// "B" to "F": a target's letter, as on the console's buttons.
int TargetSlot(const toml::node& node, const std::string& key) {
    if (const auto s = node.value_exact<std::string>()) {
        if (s->size() == 1 && (*s)[0] >= 'B' && (*s)[0] <= 'F') return (*s)[0] - 'A';
    }
    throw Mistake{LineOf(node), key, "must name a target by its letter, \"B\" to \"F\""};
}

// [[name]] or name = [{...}]: an array of tables, possibly absent.
const toml::array* TableArray(const toml::table& t, std::string_view path, std::string_view key) {
    const toml::node* node = t.get(key);
    if (!node) return nullptr;
    const toml::array* a = node->as_array();
    if (!a || !a->is_array_of_tables())
        throw Mistake{LineOf(*node), Dotted(path, key),
                      "must be tables, written [[" + Dotted(path, key) + "]]"};
    return a;
}

// A [[key]] array of tables at the top of the file, none when absent; one of more than `most`
// entries is refused naming the limit, before any entry is read.
const toml::array* BoundedTableArray(const toml::table& root, std::string_view key, size_t most) {
    const toml::array* a = TableArray(root, "", key);
    if (a && a->size() > most)
        throw Mistake{LineOf(*a), std::string(key),
                      "has " + std::to_string(a->size()) + " entries; at most " +
                          std::to_string(most) + " are read"};
    return a;
}

std::string Indexed(std::string_view key, size_t i) {
    return std::string(key) + "[" + std::to_string(i + 1) + "]";
}

ExerciseScenario ReadScenario(const toml::table& root) {
    const toml::node* node = root.get("scenario");
    if (!node) throw Mistake{1, "scenario", "is missing: name a demo, a random level or vessels"};
    const toml::table& t = TableAt(*node, "scenario");
    OnlyKeys(t, "scenario", {"demo", "level", "number", "vessel"});
    ExerciseScenario s;
    s.Line = LineOf(t);
    int sources = 0;
    if (auto demo = String(t, "scenario", "demo")) {
        if (demo->empty()) throw Mistake{LineOf(*t.get("demo")), "scenario.demo", "is empty"};
        // A demo is looked up by its name among the demos and beside the exercise, never by
        // a path: one that climbed out ("../../etc/passwd") would have its first line quoted
        // back in the message of a demo that does not read.
        if (!IsDemoFileName(*demo))
            throw Mistake{LineOf(*t.get("demo")), "scenario.demo",
                          "must be a demo's file name, such as \"Crossing.dem\", without a folder"};
        s.Demo = *demo;
        ++sources;
    }
    if (auto level = String(t, "scenario", "level")) {
        s.Level = DifficultyFromName(*level);
        if (!s.Level)
            throw Mistake{LineOf(*t.get("level")), "scenario.level",
                          "must be \"easy\", \"moderate\" or \"difficult\""};
        const double number = Number(t, "scenario", "number", 0, 4294967295.0, 0, "exercise");
        if (std::floor(number) != number)
            throw Mistake{LineOf(*t.get("number")), "scenario.number", "must be a whole number"};
        s.Number = static_cast<uint32_t>(number);
        ++sources;
    } else if (t.contains("number")) {
        throw Mistake{LineOf(*t.get("number")), "scenario.number",
                      "belongs to random traffic: give its level too"};
    }
    if (const toml::array* vessels = TableArray(t, "scenario", "vessel")) {
        if (vessels->empty() || vessels->size() > static_cast<size_t>(kMaxVessels))
            throw Mistake{LineOf(*vessels), "scenario.vessel",
                          "must give 1 to 6 vessels, the own vessel first"};
        for (size_t i = 0; i < vessels->size(); ++i) {
            const toml::table& v = *(*vessels)[i].as_table();
            const std::string path = Indexed("scenario.vessel", i);
            OnlyKeys(v, path, {"size", "course", "speed", "bearing", "range", "fixed"});
            ExerciseVessel e;
            const std::string size = String(v, path, "size").value_or("medium");
            const int16_t type = size == "small"    ? 0
                                 : size == "medium" ? 1
                                 : size == "large"  ? 2
                                                    : -1;
            if (type < 0)
                throw Mistake{LineOf(*v.get("size")), path + ".size",
                              "must be \"small\", \"medium\" or \"large\""};
            e.Vessel.Size = SizeFromType(type);
            e.Fixed = Bool(v, path, "fixed", false);
            const double course = Number(v, path, "course", 0, 359, 0, "degrees");
            if (std::floor(course) != course)
                throw Mistake{LineOf(*v.get("course")), path + ".course",
                              "must be whole degrees, 0 to 359"};
            e.Vessel.Heading = static_cast<int16_t>(course);
            e.Vessel.Speed = static_cast<float>(Number(v, path, "speed", 0, 99.9, 0, "knots"));
            if (e.Fixed && (v.contains("course") || v.contains("speed")))
                throw Mistake{LineOf(v), path,
                              "a fixed vessel keeps its place: give it no course or speed"};
            if (i == 0) {
                if (e.Fixed) throw Mistake{LineOf(v), path + ".fixed", "the own vessel moves"};
                for (std::string_view k : {"bearing", "range"})
                    if (v.contains(k))
                        throw Mistake{LineOf(*v.get(k)), Dotted(path, k),
                                      "the own vessel is the centre: give it no bearing or range"};
            } else {
                for (std::string_view k : {"bearing", "range"})
                    if (!v.contains(k))
                        throw Mistake{LineOf(v), Dotted(path, k),
                                      "is missing: a target is placed by bearing and range"};
                e.Vessel.Bearing =
                    static_cast<float>(Number(v, path, "bearing", 0, 360, 0, "degrees true"));
                e.Vessel.Range = Number(v, path, "range", 0, 48, 0, "nautical miles");
            }
            s.Vessels.push_back(e);
        }
        ++sources;
    }
    if (sources != 1)
        throw Mistake{s.Line, "scenario",
                      "must name exactly one of: a demo, a random level, or vessels"};
    return s;
}

SeaCurrent ReadCurrent(const toml::table& root) {
    const toml::node* node = root.get("current");
    if (!node) return {};
    const toml::table& t = TableAt(*node, "current");
    OnlyKeys(t, "current", {"set", "drift"});
    if (!t.contains("set") || !t.contains("drift"))
        throw Mistake{LineOf(t), "current", "needs both its set and its drift"};
    const double set = Number(t, "current", "set", 0, 359, 0, "degrees true");
    if (std::floor(set) != set)
        throw Mistake{LineOf(*t.get("set")), "current.set", "must be whole degrees, 0 to 359"};
    return {static_cast<float>(set),
            static_cast<float>(Number(t, "current", "drift", 0, 20, 0, "knots"))};
}

void ReadOrders(const toml::table& root, AssessedExercise& e) {
    const toml::array* orders = BoundedTableArray(root, "order", kMostOrders);
    if (!orders) return;
    for (size_t i = 0; i < orders->size(); ++i) {
        const toml::table& t = *(*orders)[i].as_table();
        const std::string path = Indexed("order", i);
        OnlyKeys(t, path, {"at", "vessel", "course", "speed"});
        ScriptedOrder o;
        o.At = Time(t, path, "at", LineOf(t));
        const toml::node* vessel = t.get("vessel");
        if (!vessel) throw Mistake{LineOf(t), path + ".vessel", "is missing: name the target"};
        o.Vessel = static_cast<int16_t>(TargetSlot(*vessel, path + ".vessel"));
        if (const auto c = OptionalNumber(t, path, "course", 0, 359, "degrees true")) {
            if (std::floor(*c) != *c)
                throw Mistake{LineOf(*t.get("course")), path + ".course",
                              "must be whole degrees, 0 to 359"};
            o.Course = static_cast<int16_t>(*c);
        }
        if (const auto s = OptionalNumber(t, path, "speed", 0, 99.9, "knots"))
            o.Speed = static_cast<float>(*s);
        if (!o.Course && !o.Speed)
            throw Mistake{LineOf(t), path, "orders nothing: give a course, a speed or both"};
        e.Orders.push_back(o);
        e.OrderLines.push_back(LineOf(t));
    }
}

ExercisePermissions ReadPermissions(const toml::table& root) {
    ExercisePermissions p;
    const toml::node* node = root.get("allow");
    if (!node) return p;
    const toml::table& t = TableAt(*node, "allow");
    OnlyKeys(t, "allow",
             {"cpa_info", "cpa_computer", "true_view", "vectors", "true_trails", "course_up",
              "target_data", "cpa_alarm", "guard_ring", "trial", "index_lines", "time_factors",
              "pause", "tracking"});
    p.CpaInfo = Bool(t, "allow", "cpa_info", true);
    p.CpaComputer = Bool(t, "allow", "cpa_computer", true);
    p.TrueView = Bool(t, "allow", "true_view", true);
    p.Aids.Vectors = Bool(t, "allow", "vectors", true);
    p.Aids.TrueTrails = Bool(t, "allow", "true_trails", true);
    p.Aids.CourseUp = Bool(t, "allow", "course_up", true);
    p.Aids.TargetData = Bool(t, "allow", "target_data", true);
    p.Aids.CpaAlarm = Bool(t, "allow", "cpa_alarm", true);
    p.Aids.GuardRing = Bool(t, "allow", "guard_ring", true);
    p.Aids.Trial = Bool(t, "allow", "trial", true);
    p.Aids.IndexLines = Bool(t, "allow", "index_lines", true);
    p.Pause = Bool(t, "allow", "pause", true);
    // Where the student's vectors, target data and alarms come from: the truth (she may still
    // switch ARPA on), or the tracker's tracks alone.
    if (const auto tracking = String(t, "allow", "tracking")) {
        if (*tracking != "truth" && *tracking != "arpa")
            throw Mistake{LineOf(*t.get("tracking")), "allow.tracking",
                          "must be \"truth\" or \"arpa\""};
        p.Aids.TruthAids = *tracking == "truth";
    }
    if (const toml::node* f = t.get("time_factors")) {
        const std::string wrong = "must list time factors out of 1, 2, 5, 10, 30, 60 and 120, "
                                  "such as [1, 2, 5]";
        const toml::array* a = f->as_array();
        if (!a || a->empty()) throw Mistake{LineOf(*f), "allow.time_factors", wrong};
        p.TimeFactors.clear();
        for (const toml::node& item : *a) {
            const auto v = item.value_exact<int64_t>();
            bool known = false;
            for (int16_t k = 0; k < kTimeFactorCount; ++k)
                known = known || (v && *v == kTimeFactors[static_cast<size_t>(k)]);
            if (!known) throw Mistake{LineOf(item), "allow.time_factors", wrong};
            p.TimeFactors.push_back(static_cast<int16_t>(*v));
        }
    }
    return p;
}

// The sea time at which the exercise's time limit ends it, days.
double LimitTime(const AssessedExercise& e) {
    return 0.5 + e.TimeLimit / 1440;
}

// When a question or a set-up comes due (days). The exercise ends in the tick that reaches its
// limit, so one due then or later would never have its form opened.
double DueTime(const toml::table& t, const std::string& path, const AssessedExercise& e, int line) {
    const double at = Time(t, path, "at", line);
    if (e.TimeLimit > 0 && at + 0.5 / 86400 >= LimitTime(e))
        throw Mistake{LineOf(*t.get("at")), path + ".at",
                      "must come before the time limit, " + FormatClock(LimitTime(e))};
    return at;
}

// The targets a question or a set-up names, by letter; none when it names none (every target).
void ReadTargets(const toml::table& t, const std::string& path, std::vector<int>& slots) {
    const toml::node* targets = t.get("targets");
    if (!targets) return;
    const toml::array* a = targets->as_array();
    if (!a || a->empty())
        throw Mistake{LineOf(*targets), path + ".targets",
                      "must list targets by letter, such as [\"B\", \"C\"]"};
    for (const toml::node& item : *a)
        slots.push_back(TargetSlot(item, path + ".targets"));
}

void ReadQuestions(const toml::table& root, AssessedExercise& e) {
    const toml::array* questions = BoundedTableArray(root, "question", kMostQuestions);
    if (!questions) return;
    for (size_t i = 0; i < questions->size(); ++i) {
        const toml::table& t = *(*questions)[i].as_table();
        const std::string path = Indexed("question", i);
        OnlyKeys(t, path, {"at", "targets", "figures", "over_ground"});
        Question q;
        q.Line = LineOf(t);
        q.At = DueTime(t, path, e, q.Line);
        q.OverGround = Bool(t, path, "over_ground", false);
        ReadTargets(t, path, q.Targets);
        const toml::node* figures = t.get("figures");
        const std::string wrong = "must list figures out of \"cpa\", \"tcpa\", \"course\", "
                                  "\"speed\", \"aspect\", \"set\" and \"drift\"";
        if (!figures) throw Mistake{q.Line, path + ".figures", "is missing: " + wrong};
        const toml::array* a = figures->as_array();
        if (!a || a->empty()) throw Mistake{LineOf(*figures), path + ".figures", wrong};
        for (const toml::node& item : *a) {
            const auto name = item.value_exact<std::string>();
            const auto f = name ? FigureFromName(*name) : std::nullopt;
            if (!f) throw Mistake{LineOf(item), path + ".figures", wrong};
            q.Figures.push_back(*f);
        }
        e.Questions.push_back(q);
    }
}

void ReadSetups(const toml::table& root, AssessedExercise& e) {
    const toml::array* setups = BoundedTableArray(root, "setup", kMostQuestions);
    if (!setups) return;
    for (size_t i = 0; i < setups->size(); ++i) {
        const toml::table& t = *(*setups)[i].as_table();
        const std::string path = Indexed("setup", i);
        OnlyKeys(t, path, {"at", "targets", "noise"});
        DisplayQuestion q;
        q.Line = LineOf(t);
        q.At = DueTime(t, path, e, q.Line);
        ReadTargets(t, path, q.Targets);
        // Percent in the file, as an instructor says it: "no more than 5 % of the screen".
        q.NoiseLimit = Number(t, path, "noise", 0, 100, 5, "percent of the screen") / 100;
        e.Setups.push_back(q);
    }
}

ExerciseVideo::Place ReadPlace(const toml::table& t, const std::string& path) {
    for (std::string_view k : {"bearing", "range"})
        if (!t.contains(k))
            throw Mistake{LineOf(t), Dotted(path, k),
                          "is missing: placed by bearing and range from the own vessel"};
    return {static_cast<float>(Number(t, path, "bearing", 0, 360, 0, "degrees true")),
            Number(t, path, "range", 0, 48, 0, "nautical miles")};
}

// [[video.name]]: at most `most` tables, each read by `read`.
template <class Read>
void ReadVideoTables(const toml::table& t, std::string_view key, size_t most, Read read) {
    const toml::array* a = TableArray(t, "video", key);
    if (!a) return;
    if (a->size() > most)
        throw Mistake{LineOf(*a), Dotted("video", key),
                      "has " + std::to_string(a->size()) + " entries; at most " +
                          std::to_string(most) + " are allowed"};
    for (size_t i = 0; i < a->size(); ++i)
        read(*(*a)[i].as_table(), Indexed(Dotted("video", key), i));
}

ExerciseVideo ReadVideo(const toml::table& root) {
    ExerciseVideo v;
    const toml::node* node = root.get("video");
    if (!node) return v;
    const toml::table& t = TableAt(*node, "video");
    OnlyKeys(t, "video",
             {"presentation", "band", "sea_state", "wind_from", "ducting", "side_lobes",
              "multiple_echoes", "indirect_echoes", "rain", "sector", "racon", "sart"});
    if (const auto p = String(t, "video", "presentation")) {
        if (*p != "video" && *p != "plain")
            throw Mistake{LineOf(*t.get("presentation")), "video.presentation",
                          "must be \"video\" or \"plain\""};
        v.Video = *p == "video";
    }
    if (const auto b = String(t, "video", "band")) {
        if (*b != "X" && *b != "S")
            throw Mistake{LineOf(*t.get("band")), "video.band",
                          "must be \"X\" (3 cm) or \"S\" (10 cm)"};
        v.Band = *b == "S" ? RadarBand::S : RadarBand::X;
    }
    if (const auto sea = OptionalNumber(t, "video", "sea_state", 0, 6, "sea state")) {
        if (std::floor(*sea) != *sea)
            throw Mistake{LineOf(*t.get("sea_state")), "video.sea_state",
                          "must be a whole sea state, 0 (calm) to 6 (very rough)"};
        v.SeaState = static_cast<int>(*sea);
    }
    v.WindFrom = static_cast<float>(Number(t, "video", "wind_from", 0, 360, 0, "degrees true"));
    v.Ducting = Bool(t, "video", "ducting", false);
    v.SideLobes = Bool(t, "video", "side_lobes", true);
    v.MultipleEchoes = Bool(t, "video", "multiple_echoes", true);
    v.IndirectEchoes = Bool(t, "video", "indirect_echoes", true);
    ReadVideoTables(t, "rain", kMostRainAreas, [&v](const toml::table& r, const std::string& path) {
        OnlyKeys(r, path, {"bearing", "range", "radius", "intensity", "drift"});
        ExerciseVideo::Shower s;
        s.At = ReadPlace(r, path);
        s.Radius = Number(r, path, "radius", 0.1, 10, 1, "nautical miles");
        s.Intensity = Number(r, path, "intensity", 0, 1, 0.5, "intensity (1 a downpour)");
        s.Drift = Number(r, path, "drift", 0, 30, 0, "knots");
        v.Rain.push_back(s);
    });
    ReadVideoTables(t, "sector", kMostSectors, [&v](const toml::table& r, const std::string& path) {
        OnlyKeys(r, path, {"from", "to", "blind"});
        for (std::string_view k : {"from", "to"})
            if (!r.contains(k))
                throw Mistake{LineOf(r), Dotted(path, k),
                              "is missing: a sector runs clockwise from one relative bearing "
                              "to another"};
        v.Sectors.push_back(
            {static_cast<float>(Number(r, path, "from", 0, 360, 0, "degrees relative")),
             static_cast<float>(Number(r, path, "to", 0, 360, 0, "degrees relative")),
             Bool(r, path, "blind", true)});
    });
    ReadVideoTables(t, "racon", kMostRacons, [&v](const toml::table& r, const std::string& path) {
        OnlyKeys(r, path, {"bearing", "range", "letter"});
        ExerciseVideo::Beacon b;
        b.At = ReadPlace(r, path);
        if (const auto letter = String(r, path, "letter")) {
            if (letter->size() != 1 || MorseOf((*letter)[0]).empty())
                throw Mistake{LineOf(*r.get("letter")), path + ".letter",
                              "must be one letter or digit, such as \"D\""};
            b.Letter = static_cast<char>(std::toupper(static_cast<unsigned char>((*letter)[0])));
        }
        v.Racons.push_back(b);
    });
    if (const toml::node* sart = t.get("sart")) {
        const toml::table& r = TableAt(*sart, "video.sart");
        OnlyKeys(r, "video.sart", {"bearing", "range"});
        v.Sart = ReadPlace(r, "video.sart");
    }
    return v;
}

AssessedExercise ReadRoot(const toml::table& root) {
    OnlyKeys(root, "",
             {"title", "description", "time_limit", "restricted_visibility", "scenario", "current",
              "order", "allow", "question", "setup", "action", "tolerance", "radar", "video"});
    AssessedExercise e;
    e.Title = String(root, "", "title").value_or("");
    e.Description = String(root, "", "description").value_or("");
    e.TimeLimit = Number(root, "", "time_limit", 0, 720, 0, "minutes");
    e.RestrictedVisibility = Bool(root, "", "restricted_visibility", false);
    e.Scenario = ReadScenario(root);
    e.Current = ReadCurrent(root);
    if (const toml::node* node = root.get("radar")) {
        const toml::table& t = TableAt(*node, "radar");
        OnlyKeys(t, "radar", {"gyro_error", "log_error"});
        // Larger than these a navigator would see at once against a transit or the log.
        e.GyroError = Number(t, "radar", "gyro_error", -5, 5, 0, "degrees");
        e.LogError = Number(t, "radar", "log_error", -10, 10, 0, "percent");
    }
    e.Video = ReadVideo(root);
    ReadOrders(root, e);
    e.Allowed = ReadPermissions(root);
    ReadQuestions(root, e);
    ReadSetups(root, e);
    if (const toml::node* node = root.get("action")) {
        const toml::table& t = TableAt(*node, "action");
        OnlyKeys(t, "action", {"min_cpa", "act_by", "targets"});
        if (!t.contains("min_cpa"))
            throw Mistake{LineOf(t), "action.min_cpa", "is missing: the distance to keep"};
        e.Action.MinCpa = Number(t, "action", "min_cpa", 0.1, 12, 0, "nautical miles");
        if (t.contains("act_by")) e.Action.ActBy = Time(t, "action", "act_by", LineOf(t));
        if (e.Action.ActBy && e.TimeLimit > 0 && *e.Action.ActBy > LimitTime(e) + 0.5 / 86400)
            throw Mistake{LineOf(*t.get("act_by")), "action.act_by",
                          "must be no later than the time limit, " + FormatClock(LimitTime(e))};
        if (const toml::node* targets = t.get("targets")) {
            const toml::array* a = targets->as_array();
            if (!a || a->empty())
                throw Mistake{LineOf(*targets), "action.targets",
                              "must list targets by letter, such as [\"B\", \"C\"]"};
            e.Action.TargetsLine = LineOf(*targets);
            for (const toml::node& item : *a) {
                const int slot = TargetSlot(item, "action.targets");
                if (std::ranges::find(e.Action.Targets, slot) != e.Action.Targets.end())
                    throw Mistake{LineOf(item), "action.targets",
                                  "names " + VesselLetter(slot) + " twice"};
                e.Action.Targets.push_back(slot);
            }
        }
    }
    if (const toml::node* node = root.get("tolerance")) {
        const toml::table& t = TableAt(*node, "tolerance");
        OnlyKeys(t, "tolerance", {"cpa", "tcpa", "course", "speed", "aspect", "set", "drift"});
        Tolerances& tol = e.Tolerance;
        tol.Cpa = Number(t, "tolerance", "cpa", 0, 12, tol.Cpa, "nautical miles");
        tol.Tcpa = Number(t, "tolerance", "tcpa", 0, 60, tol.Tcpa, "minutes");
        tol.Course = Number(t, "tolerance", "course", 0, 180, tol.Course, "degrees");
        tol.Speed = Number(t, "tolerance", "speed", 0, 20, tol.Speed, "knots");
        tol.Aspect = Number(t, "tolerance", "aspect", 0, 180, tol.Aspect, "degrees");
        tol.Set = Number(t, "tolerance", "set", 0, 180, tol.Set, "degrees");
        tol.Drift = Number(t, "tolerance", "drift", 0, 20, tol.Drift, "knots");
    }
    return e;
}

// The line of the first byte beyond ASCII that stands outside every quoted text and comment,
// or 0. TOML allows such letters only inside quotes and comments, so this refuses nothing the
// reader would take; it is looked for first because the reader of toml++ 3.3 reaches code it
// marks unreachable on some of them elsewhere (Latin-1, Greek and Cyrillic letters among
// them). Looked for in a file of sound shape only, where a quote opens a text only where a key
// or a value may begin.
int LineOfLetterOutsideQuotes(std::string_view text) {
    int line = 1;
    // A byte-order mark, as some editors write it, is the reader's to skip.
    size_t i = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    char before = '\n'; // the last character that was not a blank
    const auto at = [&text](size_t k, std::string_view s) { return text.substr(k, s.size()) == s; };
    while (i < text.size()) {
        const char c = text[i];
        const bool opens = std::string_view("\n=[,{.").find(before) != std::string_view::npos;
        if (c == '\n') {
            ++line, ++i;
            before = '\n';
        } else if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
        } else if (c == '#') {
            while (i < text.size() && text[i] != '\n')
                ++i;
        } else if (opens && (at(i, "\"\"\"") || at(i, "'''"))) {
            const std::string_view close = text.substr(i, 3);
            const bool escapes = c == '"';
            for (i += 3; i < text.size() && !at(i, close); ++i) {
                if (text[i] == '\n') ++line;
                if (escapes && text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') ++i;
            }
            // A closing run may carry up to two more quotes of the text.
            for (i += 3; i < text.size() && text[i] == c; ++i) {
            }
            before = c;
        } else if (opens && (c == '"' || c == '\'')) {
            for (++i; i < text.size() && text[i] != c && text[i] != '\n'; ++i)
                if (c == '"' && text[i] == '\\' && i + 1 < text.size() && text[i + 1] != '\n') ++i;
            if (i < text.size() && text[i] == c) ++i;
            before = c;
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            return line;
        } else {
            before = c;
            ++i;
        }
    }
    return 0;
}

std::string Message(std::string_view fileName, int line, std::string_view key,
                    std::string_view text) {
    std::string m(fileName);
    m += ", line " + std::to_string(line);
    if (!key.empty()) m += ", " + std::string(key);
    return m + ": " + std::string(text);
}

} // namespace

std::string_view FigureName(Figure f) {
    return kFigureNames.at(static_cast<size_t>(f));
}

std::optional<Figure> FigureFromName(std::string_view name) {
    for (size_t i = 0; i < kFigureNames.size(); ++i)
        if (kFigureNames[i] == name) return static_cast<Figure>(i);
    return std::nullopt;
}

bool IsTargetFigure(Figure f) {
    return f != Figure::Set && f != Figure::Drift;
}

double Tolerances::Of(Figure f) const {
    switch (f) {
    case Figure::Cpa:
        return Cpa;
    case Figure::Tcpa:
        return Tcpa;
    case Figure::Course:
        return Course;
    case Figure::Speed:
        return Speed;
    case Figure::Aspect:
        return Aspect;
    case Figure::Set:
        return Set;
    case Figure::Drift:
        return Drift;
    }
    return 0;
}

ExerciseReadResult ParseExercise(std::string_view text, std::string_view fileName) {
    ExerciseReadResult result;
    try {
        // The file's shape is read first with every byte beyond ASCII made an 'x', which the
        // reader of toml++ 3.3 always takes safely; only a file of sound shape, whose letters
        // beyond ASCII all stand in quotes or comments, is read as it is.
        std::string plain(text);
        for (char& c : plain)
            if (static_cast<unsigned char>(c) >= 0x80) c = 'x';
        static_cast<void>(toml::parse(plain, fileName));
        if (const int line = LineOfLetterOutsideQuotes(text)) {
            result.Error =
                Message(fileName, line, {},
                        "a letter beyond plain ASCII outside quotes: put texts in quotes");
            return result;
        }
        const toml::table root = toml::parse(text, fileName);
        result.Exercise = ReadRoot(root);
        result.Exercise->Text = std::string(text);
    } catch (const toml::parse_error& e) {
        result.Error = Message(fileName, static_cast<int>(e.source().begin.line), {},
                               std::string(e.description()));
    } catch (const Mistake& m) {
        result.Error = Message(fileName, m.Line, m.Key, m.Text);
    }
    return result;
}

bool IsDemoFileName(std::string_view name) {
    if (name.size() < 5 || name.size() > 255) return false;
    if (name.find_first_of("/\\:") != std::string_view::npos) return false;
    if (name.find('\0') != std::string_view::npos || name.front() == '.') return false;
    std::string ext(name.substr(name.size() - 4));
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".dem";
}

VideoWorld VideoWorldFor(const ExerciseVideo& video, const VesselTables& start) {
    VideoWorld w;
    const auto own = static_cast<size_t>(start.OwnVessel);
    const PointD origin = own < start.VesselPos.size() ? start.VesselPos[own] : PointD{};
    const auto place = [&origin](const ExerciseVideo::Place& p) {
        PointD at = origin;
        MovePoint(at, p.Bearing, p.Range);
        return at;
    };
    w.SeaState = video.SeaState.value_or(0);
    w.WindFrom = video.WindFrom;
    w.Ducting = video.Ducting;
    w.SideLobes = video.SideLobes;
    w.MultipleEchoes = video.MultipleEchoes;
    w.IndirectEchoes = video.IndirectEchoes;
    for (const auto& r : video.Rain)
        w.Rain.push_back({place(r.At), r.Radius, r.Intensity, r.Drift});
    // No sector named: the set's own mast shadow ahead, as every radar has.
    w.Sectors = video.Sectors.empty() ? std::vector<ShadowSector>{kMastShadow} : video.Sectors;
    for (const auto& r : video.Racons)
        w.Racons.push_back({place(r.At), MorseOf(r.Letter)});
    if (video.Sart) w.Sarts.push_back(place(*video.Sart));
    return w;
}

ExerciseReadResult ReadExerciseFile(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    std::string bytes;
    if (const FileCheck check = ReadRegularFile(path, kLargestExerciseFile, bytes); !check.ok())
        return {std::nullopt, name + ": " + FileProblemText(check, kLargestExerciseFile)};
    return ParseExercise(bytes, name);
}

std::string BuildExerciseSimulation(const AssessedExercise& exercise,
                                    const std::filesystem::path& folder,
                                    const std::vector<std::filesystem::path>& demoFolders,
                                    Simulation& sim) {
    const ExerciseScenario& s = exercise.Scenario;
    Simulation fresh;
    fresh.Title = exercise.Title;
    fresh.Description = exercise.Description;
    std::vector<bool> fixed;
    if (!s.Demo.empty()) {
        std::vector<std::filesystem::path> places{folder / s.Demo};
        for (const auto& f : demoFolders)
            places.push_back(f / s.Demo);
        std::optional<DemoReadResult> read;
        for (const auto& p : places) {
            // Only a name is ever joined to a folder here; a path is refused when read.
            if (!IsDemoFileName(s.Demo)) break;
            std::error_code ec;
            if (!std::filesystem::exists(p, ec)) continue;
            read = ReadDemoFile(p);
            break;
        }
        if (!read)
            return "The demo " + s.Demo + " named by the exercise (line " + std::to_string(s.Line) +
                   ") is not beside it or among the demos";
        if (!read->ok()) return read->Error;
        PlaceDemoVessels(*read->Scenario, fresh.Vessels);
        if (fresh.Title.empty()) fresh.Title = read->Scenario->Title;
        if (fresh.Description.empty()) fresh.Description = read->Scenario->Description;
    } else if (s.Level) {
        fresh.Vessels = GenerateRandomTraffic(*s.Level, s.Number).Tables;
    } else {
        DemoScenario demo;
        for (const ExerciseVessel& v : s.Vessels) {
            demo.Vessels.push_back(v.Vessel);
            fixed.push_back(v.Fixed);
        }
        PlaceDemoVessels(demo, fresh.Vessels);
    }
    // A fixed echo makes way through the water exactly against the current, so the tick, the
    // CPA data and the trial manoeuvre all see it stand still over the ground.
    const CourseSpeed still = ThroughWater({0, 0}, exercise.Current);
    for (size_t i = 0; i < fixed.size(); ++i) {
        if (!fixed[i]) continue;
        VesselData& v = fresh.Vessels.Vessel[i];
        v.NewHeading = RoundToInt16(still.Course >= 359.5 ? 0 : still.Course);
        v.Heading = static_cast<float>(v.NewHeading);
        v.Speed = v.NewSpeed = static_cast<float>(still.Speed);
    }
    const int n = fresh.Vessels.NumVessels;
    const auto late = [&](int vessel) { return vessel >= n; };
    for (size_t i = 0; i < exercise.Orders.size(); ++i)
        if (late(exercise.Orders[i].Vessel))
            return "The exercise's order at line " + std::to_string(exercise.OrderLines[i]) +
                   " is for target " + VesselLetter(exercise.Orders[i].Vessel) +
                   ", but its scenario has " + std::to_string(n) + " vessels";
    for (const Question& q : exercise.Questions)
        for (int t : q.Targets)
            if (late(t))
                return "The exercise's question at line " + std::to_string(q.Line) +
                       " asks of target " + VesselLetter(t) + ", but its scenario has " +
                       std::to_string(n) + " vessels";
    for (const DisplayQuestion& q : exercise.Setups)
        for (int t : q.Targets)
            if (late(t))
                return "The exercise's setup at line " + std::to_string(q.Line) +
                       " asks of target " + VesselLetter(t) + ", but its scenario has " +
                       std::to_string(n) + " vessels";
    for (int t : exercise.Action.Targets)
        if (late(t))
            return "The exercise's action at line " + std::to_string(exercise.Action.TargetsLine) +
                   " names target " + VesselLetter(t) + ", but its scenario has " +
                   std::to_string(n) + " vessels";
    fresh.Current = exercise.Current;
    fresh.Script = exercise.Orders;
    fresh.GiveScriptedOrders(0, fresh.Clock.SimTime);
    fresh.Vessels.SaveStartState();
    sim = std::move(fresh);
    return {};
}

ExerciseReadResult LoadExercise(const std::filesystem::path& path,
                                const std::vector<std::filesystem::path>& demoFolders,
                                Simulation& start) {
    ExerciseReadResult read = ReadExerciseFile(path);
    if (!read.ok()) return read;
    std::string error =
        BuildExerciseSimulation(*read.Exercise, path.parent_path(), demoFolders, start);
    if (!error.empty()) return {std::nullopt, std::move(error)};
    return read;
}

} // namespace mv
