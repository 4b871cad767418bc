#include "core/record/run_upgrade.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <string_view>

namespace mv {

namespace {

// A whole text as a number, as the program printed it ("0.7", "-3.5", ".25"), in any locale.
std::optional<double> Number(std::string_view text) {
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// "B" as slot 1.
std::optional<int> Letter(std::string_view text) {
    if (text.size() != 1 || text[0] < 'A' || text[0] >= 'A' + kMaxVessels) return std::nullopt;
    return text[0] - 'A';
}

// Format 1 kept an answer as its sentence: "Question 2: B Aspect Red 30", "Question 1: Set
// 120"; the question counted from 1, a target by its letter, an aspect as a navigator says it.
std::optional<RunAnswer> AnswerSentence(const RunEvent& e) {
    constexpr std::array<std::string_view, 7> kNames{"CPA",    "TCPA", "Course", "Speed",
                                                     "Aspect", "Set",  "Drift"};
    std::string_view text = e.Text;
    if (!text.starts_with("Question ")) return std::nullopt;
    text.remove_prefix(9);
    const std::size_t colon = text.find(": ");
    const auto number = Number(text.substr(0, colon));
    if (colon == std::string_view::npos || !number || *number < 1 || *number > 9999 ||
        *number != std::floor(*number))
        return std::nullopt;
    text.remove_prefix(colon + 2);
    RunAnswer a{e.Tick, e.SimTime, static_cast<int>(*number) - 1, -1, Figure::Cpa, 0};
    if (const auto slot = Letter(text.substr(0, 1)); slot && text.size() > 2 && text[1] == ' ') {
        a.Vessel = *slot;
        text.remove_prefix(2);
    }
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return std::nullopt;
    const std::string_view name = text.substr(0, blank), value = text.substr(blank + 1);
    std::size_t f = 0;
    while (f < kNames.size() && kNames[f] != name)
        ++f;
    if (f == kNames.size()) return std::nullopt;
    a.Asked = static_cast<Figure>(f);
    if (IsTargetFigure(a.Asked) != (a.Vessel >= 0)) return std::nullopt;
    if (a.Asked == Figure::Aspect) {
        // Red is the target's port side seen: negative.
        if (value == "Ahead" || value == "Astern") {
            a.Value = value == "Ahead" ? 0 : 180;
            return a;
        }
        const bool red = value.starts_with("Red "), green = value.starts_with("Green ");
        const auto angle = Number(value.substr(red ? 4 : green ? 6 : value.size()));
        if (!angle || *angle < 0 || *angle > 180) return std::nullopt;
        a.Value = red ? -*angle : *angle;
        return a;
    }
    const auto v = Number(value);
    if (!v) return std::nullopt;
    a.Value = *v;
    return a;
}

// "B ordered to 270 T, 10.0 kt".
std::optional<RunOrder> OrderSentence(const RunEvent& e) {
    std::string_view text = e.Text;
    const auto slot = Letter(text.substr(0, 1));
    if (!slot || !text.substr(1).starts_with(" ordered to ") || !text.ends_with(" kt"))
        return std::nullopt;
    text = text.substr(13, text.size() - 16);
    const std::size_t mark = text.find(" T, ");
    if (mark == std::string_view::npos) return std::nullopt;
    const auto course = Number(text.substr(0, mark)), speed = Number(text.substr(mark + 4));
    if (!course || !speed || *course < 0 || *course > 359 || *course != std::floor(*course))
        return std::nullopt;
    return RunOrder{e.Tick, e.SimTime, *slot, static_cast<int>(*course), *speed};
}

// Format 2 keeps the exercise opened, the answers, the orders and the ending in tables of their
// own; format 1 had only the events' sentences, which are read here once.
void FromFormat1(RunRecord& run) {
    constexpr std::string_view kOpening = "Assessed exercise ", kFor = " for ",
                               kEnded = "Exercise ended: ";
    for (const RunEvent& e : run.Events) {
        const std::string_view text = e.Text;
        if (e.Kind == "exercise" && text.starts_with(kOpening)) {
            const std::size_t at = text.rfind(kFor);
            if (at == std::string_view::npos || at < kOpening.size()) continue;
            RunExercise x{e.Text.substr(kOpening.size(), at - kOpening.size()),
                          e.Text.substr(at + kFor.size()),
                          {}};
            if (x.Student == "-") x.Student.clear();
            run.Exercise = std::move(x); // after a restart, the last
        } else if (e.Kind == "answer") {
            if (const auto a = AnswerSentence(e)) run.Answers.push_back(*a);
        } else if (e.Kind == "order") {
            if (const auto o = OrderSentence(e)) run.Orders.push_back(*o);
        } else if (e.Kind == "end" && text.starts_with(kEnded)) {
            run.Ending = RunEnding{e.Tick, e.SimTime, e.Text.substr(kEnded.size())};
        }
    }
    // A sentence naming a vessel the run does not have is no answer or order of it.
    const auto n = static_cast<int>(run.Vessels.size());
    std::erase_if(run.Answers, [n](const RunAnswer& a) { return a.Vessel >= n; });
    std::erase_if(run.Orders, [n](const RunOrder& o) { return o.Vessel >= n; });
}

struct Step {
    int From;
    void (*Apply)(RunRecord&);
};
// Format 3 added the tracker's events and states; a record of format 2 was made without
// them, so its tracks are none and nothing is to be done.
void FromFormat2(RunRecord&) {}

// Format 4 added the radar video's controls; a record of format 3 was made without them, and
// its run showed the plain echoes throughout.
void FromFormat3(RunRecord&) {}

// Format 5 added the sea the video's clutter shows; a record of format 4 was made before the
// Seas menu's sea was kept, so its clutter is taken as the exercise's own sea throughout.
void FromFormat4(RunRecord&) {}

// Format 6 added the second EBL and VRM; a record of format 5 was made before the console had
// them, so they were off throughout and the second EBL stood on the own vessel.
void FromFormat5(RunRecord& run) {
    for (RunTick& t : run.Ticks) {
        RunDisplay& d = t.Display;
        d.EBL2On = d.VRM2On = d.EBL2Offset = false;
        d.EBL2Origin = {};
    }
}

constexpr Step kSteps[] = {
    {1, FromFormat1}, {2, FromFormat2}, {3, FromFormat3}, {4, FromFormat4}, {5, FromFormat5}};
static_assert(std::size(kSteps) == kRunFormatVersion - 1, "a step for every older format");

} // namespace

void UpgradeRecord(RunRecord& run, int version) {
    for (const Step& step : kSteps)
        if (step.From >= version) step.Apply(run);
}

} // namespace mv
