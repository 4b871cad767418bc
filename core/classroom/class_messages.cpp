#include "core/classroom/class_messages.h"

#include "core/aid_settings.h"
#include "core/classroom/toml_text.h"
#include "core/clock.h"
#include "core/display/display_state.h"
#include "core/vessel.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>

namespace mv {

using nlohmann::json;
using ordered = nlohmann::ordered_json;

namespace {

ordered Head(std::string_view kind, int version = 1) {
    return ordered{{"format", kClassFormat}, {"version", version}, {"kind", kind}};
}

// Reads one message's fields, keeping the first fault: every getter checks the type and range
// and returns a harmless value after a fault, so a parser reads straight through and asks once.
class Fields {
  public:
    Fields(std::string_view payload, std::string_view kind, size_t limit) {
        if (payload.size() > limit) {
            Fail("longer than " + std::to_string(limit / 1024) + " KB");
            return;
        }
        doc_ = json::parse(payload, nullptr, false);
        if (doc_.is_discarded() || !doc_.is_object() || !doc_.contains("format") ||
            doc_["format"] != kClassFormat) {
            Fail("not a Marovane class message");
            return;
        }
        const json& version = doc_["version"];
        if (!version.is_number_integer() || version.get<int64_t>() < 1) {
            Fail("not a Marovane class message");
            return;
        }
        if (version.get<int64_t>() > kClassVersion) {
            Fail("from a newer Marovane; update this one");
            return;
        }
        if (!doc_.contains("kind") || doc_["kind"] != kind)
            Fail("not a " + std::string(kind) + " message");
    }

    // A nested object's fields, its faults named under `path` ("vessels[2]").
    Fields(const json& object, const std::string& path) : prefix_(path + ".") {
        if (object.is_object())
            doc_ = object;
        else
            Fail(path + ": not an object");
    }

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    std::string Text(const char* key, size_t maxLength, bool required = true) {
        const json* v = Find(key, required);
        if (!v) return {};
        if (!v->is_string()) return Fail(Name(key) + ": not a text"), std::string();
        const std::string& s = v->get_ref<const std::string&>();
        if (s.size() > maxLength) return Fail(Name(key) + ": too long"), std::string();
        return s;
    }
    double Number(const char* key, double min, double max) {
        const json* v = Find(key, true);
        if (!v) return min;
        if (!v->is_number()) return Fail(Name(key) + ": not a number"), min;
        const double d = v->get<double>();
        if (!std::isfinite(d) || d < min || d > max) return Fail(Name(key) + ": out of range"), min;
        return d;
    }
    int64_t Integer(const char* key, int64_t min, int64_t max) {
        const json* v = Find(key, true);
        if (!v) return min;
        if (!v->is_number_integer()) return Fail(Name(key) + ": not a whole number"), min;
        if (v->is_number_unsigned() && v->get<uint64_t>() > uint64_t(INT64_MAX))
            return Fail(Name(key) + ": out of range"), min;
        const int64_t i = v->get<int64_t>();
        if (i < min || i > max) return Fail(Name(key) + ": out of range"), min;
        return i;
    }
    bool Bool(const char* key) {
        const json* v = Find(key, true);
        if (!v) return false;
        if (!v->is_boolean()) return Fail(Name(key) + ": not true or false"), false;
        return v->get<bool>();
    }
    // The elements of an array of at most `maxCount`.
    std::vector<json> Items(const char* key, size_t maxCount) {
        const json* v = Find(key, true);
        if (!v) return {};
        if (!v->is_array()) return Fail(Name(key) + ": not a list"), std::vector<json>();
        if (v->size() > maxCount) return Fail(Name(key) + ": too many"), std::vector<json>();
        return v->get<std::vector<json>>();
    }
    // A nested object's text, read with the nested constructor; null after a fault.
    json Object(const char* key) {
        const json* v = Find(key, true);
        return v ? *v : json();
    }
    bool Has(const char* key) const { return ok() && doc_.contains(key) && !doc_[key].is_null(); }
    void Fail(std::string why) {
        if (error_.empty()) error_ = std::move(why);
    }

  private:
    std::string Name(const char* key) const { return prefix_ + key; }
    const json* Find(const char* key, bool required) {
        if (!ok()) return nullptr;
        const auto it = doc_.find(key);
        if (it == doc_.end()) {
            if (required) Fail(Name(key) + ": missing");
            return nullptr;
        }
        return &*it;
    }

    json doc_;
    std::string prefix_;
    std::string error_;
};

template <class T> ClassParsed<T> Done(const Fields& f, T value, std::string_view kind) {
    if (!f.ok()) return {std::nullopt, "A class " + std::string(kind) + " message: " + f.error()};
    return {std::move(value), {}};
}

constexpr size_t kRunLength = 64;
constexpr size_t kNameLength = 200;
// Far beyond any radar range: a position past it is not a ship's.
constexpr double kFarthest = 10000;
constexpr double kFastest = 100; // knots

constexpr std::array<std::pair<ClassStatus::Kind, std::string_view>, 4> kStatusNames{
    {{ClassStatus::Kind::Connected, "connected"},
     {ClassStatus::Kind::Finished, "finished"},
     {ClassStatus::Kind::Lost, "lost"},
     {ClassStatus::Kind::Left, "left"}}};

} // namespace

std::string_view StatusName(ClassStatus::Kind kind) {
    for (const auto& [k, name] : kStatusNames)
        if (k == kind) return name;
    return "lost";
}

std::string ToJson(const ClassExercise& m) {
    ordered doc = Head("exercise", m.Sea.empty() ? 1 : kClassSeaVersion);
    doc["run"] = m.Run;
    doc["file"] = m.File;
    doc["text"] = m.Text;
    if (!m.DemoName.empty()) {
        doc["demo_name"] = m.DemoName;
        doc["demo_text"] = m.DemoText;
    }
    if (!m.Sea.empty()) {
        ordered sea = ordered::array();
        for (const ClassExercise::Ship& s : m.Sea)
            sea.push_back(
                {{"seat", s.Seat}, {"name", s.Name}, {"x", s.X}, {"y", s.Y}, {"text", s.Text}});
        doc["sea"] = std::move(sea);
    }
    return doc.dump();
}

ClassParsed<ClassExercise> ParseClassExercise(std::string_view payload) {
    Fields f(payload, "exercise", kClassMessageLimit);
    ClassExercise m;
    m.Run = f.Text("run", kRunLength);
    m.File = f.Text("file", kNameLength);
    m.Text = f.Text("text", kClassMessageLimit);
    m.DemoName = f.Text("demo_name", kNameLength, false);
    m.DemoText = f.Text("demo_text", kClassMessageLimit, false);
    // The demo is written beside the exercise under its name: a bare file name, nothing that
    // climbs out of the folder; the exercise's is kept in the record.
    const auto plain = [](const std::string& name) {
        return !name.empty() && name.find_first_of("/\\:") == std::string::npos &&
               !name.starts_with('.');
    };
    if (f.ok() && !plain(m.File)) f.Fail("file: not a plain file name");
    if (f.ok() && !m.DemoName.empty() && !plain(m.DemoName))
        f.Fail("demo_name: not a plain file name");
    if (f.ok() && m.Run.empty()) f.Fail("run: empty");
    if (f.Has("sea")) {
        const std::vector<json> ships = f.Items("sea", kMaxVessels);
        for (size_t i = 0; i < ships.size() && f.ok(); ++i) {
            Fields s(ships[i], "sea[" + std::to_string(i) + "]");
            ClassExercise::Ship ship;
            ship.Seat = s.Text("seat", 32);
            ship.Name = s.Text("name", kNameLength);
            ship.X = s.Number("x", -kFarthest, kFarthest);
            ship.Y = s.Number("y", -kFarthest, kFarthest);
            ship.Text = s.Text("text", kClassMessageLimit);
            if (s.ok() && !IsClassName(ship.Seat))
                s.Fail("sea[" + std::to_string(i) + "].seat: not a seat's name");
            for (const ClassExercise::Ship& before : m.Sea)
                if (s.ok() && before.Seat == ship.Seat) s.Fail("sea: a seat twice");
            if (!s.ok()) f.Fail(s.error());
            m.Sea.push_back(std::move(ship));
        }
        if (f.ok() && m.Sea.size() < 2) f.Fail("sea: fewer than two ships");
    }
    return Done(f, std::move(m), "exercise");
}

std::string ToJson(const ClassClock& m) {
    ordered doc = Head("clock");
    doc["run"] = m.Run;
    doc["paused"] = m.Paused;
    doc["time_factor"] = m.TimeFactor;
    return doc.dump();
}

ClassParsed<ClassClock> ParseClassClock(std::string_view payload) {
    Fields f(payload, "clock", kClassMessageLimit);
    ClassClock m;
    m.Run = f.Text("run", kRunLength);
    m.Paused = f.Bool("paused");
    m.TimeFactor = static_cast<int>(f.Integer("time_factor", 1, 120));
    const auto* end = kTimeFactors.begin() + kTimeFactorCount;
    if (f.ok() && std::find(kTimeFactors.begin(), end, m.TimeFactor) == end)
        f.Fail("time_factor: not one of the clock's factors");
    return Done(f, std::move(m), "clock");
}

std::string ToJson(const ClassCommand& m) {
    ordered doc = Head("command");
    doc["run"] = m.Run;
    doc["seq"] = m.Seq;
    doc["command"] = m.Is == ClassCommand::Kind::End ? "end" : "order";
    if (m.Is == ClassCommand::Kind::Order) {
        doc["vessel"] = m.Vessel;
        if (m.Course) doc["course"] = *m.Course;
        if (m.Speed) doc["speed"] = *m.Speed;
    }
    return doc.dump();
}

ClassParsed<ClassCommand> ParseClassCommand(std::string_view payload) {
    Fields f(payload, "command", kClassMessageLimit);
    ClassCommand m;
    m.Run = f.Text("run", kRunLength);
    m.Seq = f.Integer("seq", 0, INT64_MAX);
    const std::string command = f.Text("command", 16);
    if (command == "end") {
        m.Is = ClassCommand::Kind::End;
    } else if (command == "order") {
        m.Is = ClassCommand::Kind::Order;
        m.Vessel = static_cast<int>(f.Integer("vessel", 1, kMaxVessels - 1));
        if (f.Has("course")) m.Course = static_cast<int>(f.Integer("course", 0, 359));
        if (f.Has("speed")) m.Speed = f.Number("speed", 0, kFastest);
        if (f.ok() && !m.Course && !m.Speed) f.Fail("an order with neither course nor speed");
    } else {
        f.Fail("command: neither order nor end");
    }
    return Done(f, std::move(m), "command");
}

std::string ToJson(const ClassStatus& m) {
    ordered doc = Head("status");
    doc["status"] = StatusName(m.Is);
    doc["student"] = m.Student;
    return doc.dump();
}

ClassParsed<ClassStatus> ParseClassStatus(std::string_view payload) {
    Fields f(payload, "status", kClassMessageLimit);
    ClassStatus m;
    const std::string status = f.Text("status", 16);
    m.Student = f.Text("student", kNameLength);
    const auto known = std::find_if(kStatusNames.begin(), kStatusNames.end(),
                                    [&status](const auto& k) { return k.second == status; });
    if (known == kStatusNames.end())
        f.Fail("status: not connected, finished, lost or left");
    else
        m.Is = known->first;
    return Done(f, std::move(m), "status");
}

constexpr std::array<std::pair<ClassState::Up, std::string_view>, 3> kUpNames{
    {{ClassState::Up::Head, "head-up"},
     {ClassState::Up::North, "north-up"},
     {ClassState::Up::Course, "course-up"}}};
constexpr std::array<std::string_view, 3> kVectorNames{"off", "relative", "true"};
constexpr std::array<std::string_view, 2> kBandNames{"X", "S"};

std::string ToJson(const ClassState& m) {
    ordered doc = Head("state");
    doc["run"] = m.Run;
    doc["sim_time"] = m.SimTime;
    doc["x"] = m.X;
    doc["y"] = m.Y;
    doc["course"] = m.Course;
    doc["speed"] = m.Speed;
    doc["paused"] = m.Paused;
    doc["answers"] = m.Answers;
    ordered vessels = ordered::array();
    for (const ClassVessel& v : m.Vessels)
        vessels.push_back(
            {{"x", v.X}, {"y", v.Y}, {"heading", v.Heading}, {"speed", v.Speed}, {"size", v.Size}});
    doc["vessels"] = std::move(vessels);
    doc["own"] = m.Own;
    doc["range"] = m.Range;
    for (const auto& [up, name] : kUpNames)
        if (up == m.Orientation) doc["orientation"] = name;
    doc["vectors"] = kVectorNames.at(static_cast<size_t>(std::clamp(m.Vectors, 0, 2)));
    doc["vector_minutes"] = m.VectorMinutes;
    doc["alarms"] = m.Alarms;
    doc["orders"] = m.Orders;
    if (m.LastOrder)
        doc["last_order"] = {{"vessel", m.LastOrder->Vessel},
                             {"course", m.LastOrder->Course},
                             {"speed", m.LastOrder->Speed},
                             {"sim_time", m.LastOrder->SimTime}};
    if (m.Video)
        doc["video"] = {{"on", m.Video->On},
                        {"gain", m.Video->Gain},
                        {"sea", m.Video->Sea},
                        {"rain", m.Video->Rain},
                        {"tune", m.Video->Tune},
                        {"band", kBandNames.at(m.Video->Band ? 1 : 0)},
                        {"sea_state", m.Video->SeaState}};
    return doc.dump();
}

ClassParsed<ClassState> ParseClassState(std::string_view payload) {
    Fields f(payload, "state", kClassMessageLimit);
    ClassState m;
    m.Run = f.Text("run", kRunLength);
    // Days: an exercise starts at 0.5 (noon) and no exercise lasts a year.
    m.SimTime = f.Number("sim_time", 0, 366);
    m.X = f.Number("x", -kFarthest, kFarthest);
    m.Y = f.Number("y", -kFarthest, kFarthest);
    m.Course = f.Number("course", 0, 360);
    m.Speed = f.Number("speed", -kFastest, kFastest);
    m.Paused = f.Bool("paused");
    m.Answers = static_cast<int>(f.Integer("answers", 0, 100000));
    const std::vector<json> vessels = f.Items("vessels", kMaxVessels);
    for (size_t i = 0; i < vessels.size() && f.ok(); ++i) {
        Fields v(vessels[i], "vessels[" + std::to_string(i) + "]");
        ClassVessel vessel;
        vessel.X = v.Number("x", -kFarthest, kFarthest);
        vessel.Y = v.Number("y", -kFarthest, kFarthest);
        vessel.Heading = v.Number("heading", 0, 360);
        vessel.Speed = v.Number("speed", -kFastest, kFastest);
        vessel.Size = static_cast<int>(v.Integer("size", 0, 2));
        if (!v.ok()) f.Fail(v.error());
        m.Vessels.push_back(vessel);
    }
    const auto count = static_cast<int64_t>(m.Vessels.size());
    if (f.ok() && count == 0) f.Fail("vessels: none, not even the own ship");
    m.Own = static_cast<int>(f.Integer("own", 0, std::max<int64_t>(count - 1, 0)));
    // A scenario may set a range of its own between the scales.
    m.Range = f.Number("range", kRangeScales.front(), kRangeScales.back());
    const std::string up = f.Text("orientation", 16);
    const auto known = std::find_if(kUpNames.begin(), kUpNames.end(),
                                    [&up](const auto& k) { return k.second == up; });
    if (known == kUpNames.end())
        f.Fail("orientation: not head-up, north-up or course-up");
    else
        m.Orientation = known->first;
    const std::string vectors = f.Text("vectors", 16);
    const auto mode = std::find(kVectorNames.begin(), kVectorNames.end(), vectors);
    if (mode == kVectorNames.end())
        f.Fail("vectors: not off, relative or true");
    else
        m.Vectors = static_cast<int>(mode - kVectorNames.begin());
    m.VectorMinutes = static_cast<int>(f.Integer("vector_minutes", 1, 60));
    if (f.ok() && std::find(kVectorMinutes.begin(), kVectorMinutes.end(), m.VectorMinutes) ==
                      kVectorMinutes.end())
        f.Fail("vector_minutes: not one of the vector times");
    for (const json& a : f.Items("alarms", kMaxVessels)) {
        // A target of this state's, not the own ship, each once.
        const bool target = a.is_number_integer() && a.get<int64_t>() >= 0 &&
                            a.get<int64_t>() < count && a.get<int64_t>() != m.Own;
        if (!target || std::find(m.Alarms.begin(), m.Alarms.end(), a.get<int>()) != m.Alarms.end())
            f.Fail("alarms: not the state's targets, each once");
        else
            m.Alarms.push_back(a.get<int>());
    }
    m.Orders = static_cast<int>(f.Integer("orders", 0, 100000));
    if (f.Has("last_order")) {
        Fields o(f.Object("last_order"), "last_order");
        ClassOrder order;
        order.Vessel = static_cast<int>(o.Integer("vessel", 0, std::max<int64_t>(count - 1, 0)));
        order.Course = static_cast<int>(o.Integer("course", 0, 359));
        order.Speed = o.Number("speed", -kFastest, kFastest);
        order.SimTime = o.Number("sim_time", 0, 366);
        if (!o.ok()) f.Fail(o.error());
        m.LastOrder = order;
    }
    if (f.Has("video")) {
        Fields v(f.Object("video"), "video");
        ClassVideo video;
        video.On = v.Bool("on");
        video.Gain = static_cast<int>(v.Integer("gain", 0, 100));
        video.Sea = static_cast<int>(v.Integer("sea", 0, 100));
        video.Rain = static_cast<int>(v.Integer("rain", 0, 100));
        video.Tune = static_cast<int>(v.Integer("tune", 0, 100));
        const std::string band = v.Text("band", 4);
        const auto named = std::find(kBandNames.begin(), kBandNames.end(), band);
        if (v.ok() && named == kBandNames.end()) v.Fail("video.band: not X or S");
        video.Band = named == kBandNames.end() ? 0 : static_cast<int>(named - kBandNames.begin());
        video.SeaState = static_cast<int>(v.Integer("sea_state", 0, 6));
        if (!v.ok()) f.Fail(v.error());
        m.Video = video;
    }
    if (f.ok() && m.LastOrder.has_value() != (m.Orders > 0))
        f.Fail("last_order: given with no orders, or missing after one");
    return Done(f, std::move(m), "state");
}

std::string VideoCell(const ClassVideo& v) {
    if (!v.On) return "Video off";
    return "Video G" + std::to_string(v.Gain) + " S" + std::to_string(v.Sea) + " R" +
           std::to_string(v.Rain);
}

std::string VideoDetail(const ClassVideo& v) {
    return std::string(v.On ? "Video on" : "Video off (plain echoes)") + ": gain " +
           std::to_string(v.Gain) + ", sea " + std::to_string(v.Sea) + ", rain " +
           std::to_string(v.Rain) + ", tune " + std::to_string(v.Tune) + ", " +
           std::string(kBandNames.at(v.Band ? 1 : 0)) + " band; sea state " +
           std::to_string(v.SeaState);
}

std::optional<ClassNearest> NearestTarget(const ClassState& state) {
    std::optional<ClassNearest> nearest;
    if (state.Own < 0 || static_cast<size_t>(state.Own) >= state.Vessels.size()) return nearest;
    const ClassVessel& own = state.Vessels[static_cast<size_t>(state.Own)];
    for (size_t i = 0; i < state.Vessels.size(); ++i) {
        if (static_cast<int>(i) == state.Own) continue;
        const double d = std::hypot(state.Vessels[i].X - own.X, state.Vessels[i].Y - own.Y);
        if (!nearest || d < nearest->Distance) nearest = ClassNearest{static_cast<int>(i), d};
    }
    return nearest;
}

std::string ToJson(const ClassAnswer& m) {
    ordered doc = Head("answer");
    doc["run"] = m.Run;
    doc["question"] = m.Question;
    doc["vessel"] = m.Vessel;
    doc["figure"] = FigureName(m.Asked);
    doc["value"] = m.Value;
    doc["sim_time"] = m.SimTime;
    return doc.dump();
}

ClassParsed<ClassAnswer> ParseClassAnswer(std::string_view payload) {
    Fields f(payload, "answer", kClassMessageLimit);
    ClassAnswer m;
    m.Run = f.Text("run", kRunLength);
    m.Question = static_cast<int>(f.Integer("question", 0, 10000));
    m.Vessel = static_cast<int>(f.Integer("vessel", -1, kMaxVessels - 1));
    const auto figure = FigureFromName(f.Text("figure", 16));
    if (!figure)
        f.Fail("figure: not one of cpa, tcpa, course, speed, aspect, set, drift");
    else
        m.Asked = *figure;
    m.Value = f.Number("value", -kLargestFigure, kLargestFigure);
    m.SimTime = f.Number("sim_time", 0, 366);
    if (f.ok() && IsTargetFigure(m.Asked) != (m.Vessel >= 0))
        f.Fail("vessel: a target's figure needs a target, the current's none");
    return Done(f, std::move(m), "answer");
}

std::string ToJson(const ClassRecord& m) {
    ordered doc = Head("record");
    doc["run"] = m.Run;
    doc["student"] = m.Student;
    doc["bytes"] = Base64(m.Bytes);
    return doc.dump();
}

ClassParsed<ClassRecord> ParseClassRecord(std::string_view payload) {
    Fields f(payload, "record", kClassRecordLimit);
    ClassRecord m;
    m.Run = f.Text("run", kRunLength);
    m.Student = f.Text("student", kNameLength);
    const std::string text = f.Text("bytes", kClassRecordLimit);
    if (f.ok()) {
        if (auto bytes = FromBase64(text))
            m.Bytes = std::move(*bytes);
        else
            f.Fail("bytes: not base64");
    }
    return Done(f, std::move(m), "record");
}

std::string SeatExerciseText(std::string_view text, std::string& error) {
    toml::table table;
    if (!ReadTomlText(text, table, error)) return {};
    table.erase("tolerance");
    std::ostringstream out;
    out << toml::toml_formatter(table);
    error.clear();
    return std::string(kSeatCopyMark) + out.str() + "\n";
}

bool IsClassName(std::string_view name) {
    if (name.empty() || name.size() > 32) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '_';
    });
}

std::string InstructorTopic(std::string_view classCode, std::string_view what) {
    return "marovane/" + std::string(classCode) + "/instructor/" + std::string(what);
}

std::string SeatTopic(std::string_view classCode, std::string_view seat, std::string_view what) {
    return "marovane/" + std::string(classCode) + "/seat/" + std::string(seat) + "/" +
           std::string(what);
}

std::optional<SeatTopicParts> SplitSeatTopic(std::string_view classCode, std::string_view topic) {
    const std::string head = "marovane/" + std::string(classCode) + "/seat/";
    if (!topic.starts_with(head)) return std::nullopt;
    topic.remove_prefix(head.size());
    const size_t slash = topic.find('/');
    if (slash == std::string_view::npos || slash == 0) return std::nullopt;
    SeatTopicParts parts{std::string(topic.substr(0, slash)), std::string(topic.substr(slash + 1))};
    if (parts.What.empty() || parts.What.find('/') != std::string::npos) return std::nullopt;
    return parts;
}

namespace {
constexpr std::string_view kBase64Letters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

std::string Base64(const std::vector<unsigned char>& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t v = uint32_t(bytes[i]) << 16;
        if (n > 1) v |= uint32_t(bytes[i + 1]) << 8;
        if (n > 2) v |= bytes[i + 2];
        for (size_t k = 0; k < 4; ++k)
            text += k <= n ? kBase64Letters[(v >> (18 - 6 * k)) & 63] : '=';
    }
    return text;
}

std::optional<std::vector<unsigned char>> FromBase64(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::vector<unsigned char> bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        uint32_t v = 0;
        size_t pad = 0;
        for (size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            uint32_t d = 0;
            if (c == '=') {
                // Padding only at the very end, at most two, and nothing after it.
                if (i + 4 != text.size() || k < 2) return std::nullopt;
                ++pad;
            } else {
                if (pad) return std::nullopt;
                const size_t at = kBase64Letters.find(c);
                if (at == std::string_view::npos) return std::nullopt;
                d = static_cast<uint32_t>(at);
            }
            v = (v << 6) | d;
        }
        bytes.push_back(static_cast<unsigned char>(v >> 16));
        if (pad < 2) bytes.push_back(static_cast<unsigned char>(v >> 8));
        if (pad < 1) bytes.push_back(static_cast<unsigned char>(v));
    }
    return bytes;
}

} // namespace mv
