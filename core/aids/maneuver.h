#pragma once
// The manoeuvre panel without its window: what it shows when it opens, its entry fields and
// keypad, the checks and orders of Execute, and making another vessel the own vessel.
// Courses in degrees true, speeds in knots.

#include "core/motion.h"
#include "core/simulation.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

inline constexpr int kManeuverHelpContext = 32061;
inline constexpr int kCpaDataHelpContext = 32064;
inline constexpr int kCpaDataActiveHelpContext = 32062;

// "Small (fast manuevers)", "Medium", "Large (slow maneuvers)", or empty for an unknown size.
std::string SizeClassText(double size);

// Which entry field the keypad types into.
enum class ManeuverField : int16_t { None = 0, Speed = 1, Course = 2, TurnLeft = 3, TurnRight = 4 };

// The panel's entry fields (txtCourse, txtTurnLeft, txtTurnRight, txtSpeed) and the selector.
struct ManeuverEntries {
    std::string Course, TurnLeft = "0", TurnRight = "0", Speed;
    ManeuverField Selected = ManeuverField::None;
    // The fields the student typed into (keys, keypad or paste) since the panel opened: a mode
    // button keeps such a value rather than emptying the field for a new one.
    std::array<bool, 5> Typed{};

    std::string* Field(ManeuverField f);
    void NoteTyped(ManeuverField f) { Typed.at(static_cast<size_t>(f)) = true; }
    bool WasTyped(ManeuverField f) const { return Typed.at(static_cast<size_t>(f)); }
};

// What the panel shows as it opens for a vessel.
struct ManeuverPanelTexts {
    std::string Title;         // lblVessel: "Maneuver your vessel A", "Maneuver target vessel C"
    std::string PresentCourse; // lblCourse: the ordered heading, "000"
    std::string PresentSpeed;  // lblSpeed: the present speed, "##.0"
    std::string Type;          // lblType: "Type: Medium"
};

// Fills the texts and the course and speed entries for vessel `vessel`. The title carries
// `caption`, the text of the vessel button pressed, whatever that button shows.
ManeuverPanelTexts OpenManeuverPanel(const VesselTables& vessels, int vessel,
                                     std::string_view caption, ManeuverEntries& entries);

// Every time the window becomes active: the manoeuvre flag is raised, no field is selected
// for the keypad and both turn entries read "0".
void ActivateManeuverPanel(Simulation& sim, ManeuverEntries& entries);

// The field selection buttons. Each returns the field to put the focus into. `ordered` is the
// panel's vessel's NewHeading. The chosen field is emptied for a new value unless the student
// typed one into it since the panel opened: then that value stays, to be executed.
ManeuverField SelectTurnLeft(ManeuverEntries& entries, int16_t ordered);
ManeuverField SelectTurnRight(ManeuverEntries& entries, int16_t ordered);
ManeuverField SelectCourse(ManeuverEntries& entries);
ManeuverField SelectSpeed(ManeuverEntries& entries);

// Keypad key 0..9 appends that digit, 10 a decimal point, to the selected field; nothing
// when no field is selected. The key filter is not applied, the speed ceiling is.
void KeyPad(ManeuverEntries& entries, int index);

// Above 99.9 knots the speed entry becomes "99.9"; otherwise the text is kept as typed.
std::string SpeedCeiling(std::string_view text);

// A message box of the panel, shown with the exclamation icon. `Field` is the entry that was
// emptied and gets the focus; None when no entry is at fault.
struct ManeuverMessage {
    std::string Text, Title;
    ManeuverField Field = ManeuverField::None;
    friend bool operator==(const ManeuverMessage&, const ManeuverMessage&) = default;
};

// Checks the entries in order and, when they pass, orders vessel `vessel` to its new heading
// and speed and raises the manoeuvre flags; the panel then closes. On a failing check the
// offending entry is emptied, the message returned and nothing else changes.
std::optional<ManeuverMessage> ExecuteManeuver(ManeuverEntries& entries, int vessel,
                                               Simulation& sim);

// A completed turn shows the ordered heading in the course entry and clears both turns.
void ApplyReadout(ManeuverEntries& entries, const ManeuverReadout& readout);

// Making vessel `vessel` the own vessel. The former own vessel becomes a target again.
struct JumpResult {
    int16_t Former = 0;     // its echo line, CPA and Jump menu entries come back; button black
    int16_t Own = 0;        // its echo line is hidden, those entries disabled; button blue
    PointD Centre;          // the picture is redrawn about this position
    std::string StatusLine; // lblVesselData
};
JumpResult JumpToVessel(Simulation& sim, int16_t vessel);

} // namespace mv
