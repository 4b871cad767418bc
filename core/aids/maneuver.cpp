#include "core/aids/maneuver.h"

#include "core/geometry.h"
#include "core/number_text.h"

#include <cmath>
#include <utility>

namespace mv {

namespace {

// The turn-by fields take up to 179 degrees: a larger turn is the shorter one the other way.
constexpr double kMaxTurn = 179.0;
// Above this the speed entry is held: two digits and a tenth is all the trainer steers by.
constexpr double kSpeedCeiling = 99.9;

// The error text of a typed value too large for the number it must become.
constexpr const char* kOverflow = "Overflow";

ManeuverMessage Reject(ManeuverEntries& entries, ManeuverField field, const char* text,
                       const char* title) {
    entries.Field(field)->clear();
    return {text, title, field};
}

// A field the program sets afresh holds no typed value any more.
void SetByProgram(ManeuverEntries& entries, ManeuverField field, std::string text) {
    *entries.Field(field) = std::move(text);
    entries.Typed.at(static_cast<size_t>(field)) = false;
}

// The chosen field is emptied for the new value, unless the student typed one already.
ManeuverField Choose(ManeuverEntries& entries, ManeuverField field) {
    entries.Selected = field;
    if (!entries.WasTyped(field)) entries.Field(field)->clear();
    return field;
}

} // namespace

std::string SizeClassText(double size) {
    if (size == kSmall) return "Small (fast manuevers)";
    if (size == kMedium) return "Medium";
    if (size == kLarge) return "Large (slow maneuvers)";
    return {};
}

std::string* ManeuverEntries::Field(ManeuverField f) {
    switch (f) {
    case ManeuverField::Speed:
        return &Speed;
    case ManeuverField::Course:
        return &Course;
    case ManeuverField::TurnLeft:
        return &TurnLeft;
    case ManeuverField::TurnRight:
        return &TurnRight;
    case ManeuverField::None:
        break;
    }
    return nullptr;
}

ManeuverPanelTexts OpenManeuverPanel(const VesselTables& vessels, int vessel,
                                     std::string_view caption, ManeuverEntries& entries) {
    const VesselData& v = vessels.Vessel.at(static_cast<size_t>(vessel));
    ManeuverPanelTexts t;
    t.Title = (vessel == vessels.OwnVessel ? "Maneuver your vessel " : "Maneuver target vessel ") +
              std::string(caption);
    t.PresentCourse = DirectionText(v.NewHeading);
    t.PresentSpeed = FormatNumber(v.Speed, "##.0");
    t.Type = "Type: " + SizeClassText(v.Size);
    entries.Course = t.PresentCourse;
    entries.Speed = t.PresentSpeed;
    entries.Typed = {};
    return t;
}

void ActivateManeuverPanel(Simulation& sim, ManeuverEntries& entries) {
    sim.Maneuvering = true;
    entries.Selected = ManeuverField::None;
    SetByProgram(entries, ManeuverField::TurnLeft, "0");
    SetByProgram(entries, ManeuverField::TurnRight, "0");
}

ManeuverField SelectTurnLeft(ManeuverEntries& entries, int16_t ordered) {
    SetByProgram(entries, ManeuverField::Course, DirectionText(ordered));
    SetByProgram(entries, ManeuverField::TurnRight, "0");
    return Choose(entries, ManeuverField::TurnLeft);
}

ManeuverField SelectTurnRight(ManeuverEntries& entries, int16_t ordered) {
    SetByProgram(entries, ManeuverField::Course, DirectionText(ordered));
    SetByProgram(entries, ManeuverField::TurnLeft, "0");
    return Choose(entries, ManeuverField::TurnRight);
}

ManeuverField SelectCourse(ManeuverEntries& entries) {
    SetByProgram(entries, ManeuverField::TurnRight, "0");
    SetByProgram(entries, ManeuverField::TurnLeft, "0");
    return Choose(entries, ManeuverField::Course);
}

ManeuverField SelectSpeed(ManeuverEntries& entries) {
    return Choose(entries, ManeuverField::Speed);
}

void KeyPad(ManeuverEntries& entries, int index) {
    std::string* field = entries.Field(entries.Selected);
    if (!field || index < 0 || index > 10) return;
    *field += index == 10 ? std::string(".") : std::to_string(index);
    entries.NoteTyped(entries.Selected);
    // The speed entry holds its ceiling however the text got there.
    if (entries.Selected == ManeuverField::Speed) entries.Speed = SpeedCeiling(entries.Speed);
}

std::string SpeedCeiling(std::string_view text) {
    return LeadingNumber(text) > kSpeedCeiling ? std::string("99.9") : std::string(text);
}

std::optional<ManeuverMessage> ExecuteManeuver(ManeuverEntries& entries, int vessel,
                                               Simulation& sim) {
    const auto course = ParseNumber(entries.Course);
    if (!course || *course < 0 || *course >= 360)
        return Reject(entries, ManeuverField::Course, "Invalid course!", "Change course");
    const auto right = ParseNumber(entries.TurnRight);
    if (!right || *right < 0 || *right > kMaxTurn)
        return Reject(entries, ManeuverField::TurnRight, "Turn must be less than 180 degrees",
                      "Turn Right");
    const auto left = ParseNumber(entries.TurnLeft);
    if (!left || *left < 0 || *left > kMaxTurn)
        return Reject(entries, ManeuverField::TurnLeft, "Turn must be less than 180 degrees",
                      "Turn Left");
    const auto speed = ParseNumber(entries.Speed);
    if (!speed) return Reject(entries, ManeuverField::Speed, "Must enter speed!", "Change speed");

    // Everything is converted before anything is ordered, so a value too large for its number
    // leaves the vessel exactly as it was.
    const auto c = ToInt16(*course), r = ToInt16(*right), l = ToInt16(*left);
    const float newSpeed = static_cast<float>(*speed);
    if (!c || !r || !l || !std::isfinite(newSpeed))
        return ManeuverMessage{kOverflow, "Maneuver Do IT", ManeuverField::None};
    // The keys type no sign, but a pasted or composed text may hold one: a vessel is never
    // ordered astern, nor past the ceiling the field holds while typing.
    if (*speed < 0 || *speed > kSpeedCeiling)
        return Reject(entries, ManeuverField::Speed, "Speed must be from 0 to 99.9 knots",
                      "Change speed");

    VesselData& v = sim.Vessels.Vessel.at(static_cast<size_t>(vessel));
    int16_t heading = v.NewHeading;
    const bool headingOrdered = *c != v.NewHeading || *r > 0 || *l > 0;
    if (headingOrdered) {
        if (*c == v.NewHeading) {
            // The course entry still shows the ordered heading, so a turn-by is meant. Its
            // zero tests look at the text as typed: a left turn wins over a right one.
            if (*left != 0)
                heading = FoldDegrees16(static_cast<int16_t>(heading - *l));
            else if (*right != 0)
                heading = FoldDegrees16(static_cast<int16_t>(heading + *r));
        } else {
            // 359.5 and above round to 360, which is north.
            heading = FoldDegrees16(*c);
        }
    }

    if (headingOrdered && vessel == sim.Vessels.OwnVessel) sim.Turning = true;
    v.NewHeading = heading;
    v.NewSpeed = newSpeed;
    sim.Maneuvering = true;
    return std::nullopt;
}

void ApplyReadout(ManeuverEntries& entries, const ManeuverReadout& readout) {
    if (readout.CourseEntry) entries.Course = *readout.CourseEntry;
    if (readout.ClearTurnEntries) {
        entries.TurnLeft = "0";
        entries.TurnRight = "0";
    }
}

JumpResult JumpToVessel(Simulation& sim, int16_t vessel) {
    VesselTables& t = sim.Vessels;
    JumpResult out;
    out.Former = t.OwnVessel;
    out.Own = vessel;
    const auto former = static_cast<size_t>(t.OwnVessel), own = static_cast<size_t>(vessel);

    // A collision already reported between the two stays reported: it is the same pair. Every
    // other flag was kept against the former own vessel and starts afresh against the new one.
    const int16_t pairFlag = t.VesselFlag.at(own);
    for (auto& flag : t.VesselFlag)
        flag = kFalse;
    if (former != own) t.VesselFlag.at(former) = pairFlag;

    t.OwnVessel = vessel;
    // The own vessel turns only while Turning is raised, a target whenever a manoeuvre is under
    // way. A target caught mid-turn goes on turning as the own vessel.
    const VesselData& v = t.Vessel.at(own);
    sim.Turning = v.Heading != static_cast<float>(v.NewHeading);

    out.Centre = t.VesselPos.at(own);
    out.StatusLine = StatusLineText(v);
    return out;
}

} // namespace mv
