#pragma once
// The scenario a user types: the number of targets, the checks of every row, the build of
// new vessel tables from the field texts, the texts that fill the rows from the scenario in
// force, and the demo record that Store as Demo writes.

#include "core/scenario/demo_file.h"
#include "core/vessel.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace mv {

inline constexpr std::string_view kLoadOwnTargetsCaption = "LoadOwnTargets";

// One row as it stands in the dialog: row 0 is the own vessel (its range and bearing are not
// used), rows 1 to 5 the targets B to F.
struct OwnTargetRow {
    int16_t Type = 0; // size list index: 0 small, 1 medium, 2 large
    std::string Heading, Speed, Range, Bearing;
};

struct OwnTargetFields {
    std::string Targets; // the number-of-targets text
    std::array<OwnTargetRow, kMaxVessels> Rows;
};

// The outcome of a change of the number-of-targets text.
struct TargetCountCheck {
    std::string Message;                // to show with an OK button, empty when none
    std::optional<std::string> NewText; // "1" when the text is to be replaced
    std::optional<int16_t> Rows;        // the accepted number of targets, 1 to 5
};
TargetCountCheck CheckTargetCount(std::string_view text);

enum class OwnTargetField { Heading, Speed, Range, Bearing };

// The first field that fails, so the window can focus it and select its text.
struct FieldFailure {
    int Row = 0;
    OwnTargetField Field = OwnTargetField::Heading;
    std::string Message; // "Invalid heading", "Invalid speed", "Invalid range", "Invalid bearing"
    friend bool operator==(const FieldFailure&, const FieldFailure&) = default;
};

// Checks rows 0 to rowCount in order (heading, speed, then range and bearing of targets), each
// field's whole text as a number, however it got there; rows beyond rowCount are not looked at.
std::optional<FieldFailure> ValidateOwnTargets(const OwnTargetFields& fields, int rowCount);

struct OwnTargetsBuild {
    std::optional<VesselTables> Tables;
    std::string Error; // to show under kLoadOwnTargetsCaption with an exclamation icon
    bool ok() const { return Tables.has_value(); }
};

// New vessel tables from the field texts, each of which must be a number as a whole: own
// vessel 0 at the origin, targets placed by bearing and range. The start state is not saved:
// that is the scenario start's first step.
OwnTargetsBuild LoadOwnTargets(const OwnTargetFields& fields);

// The dialog's texts on opening: the number of targets with its sign blank, every row in use
// from the start state (headings and speeds as plain decimals, range "###.0", bearing "000"),
// sizes from the present vessels. Rows not in use, and a size that is none of the three
// classes, keep what `current` holds.
OwnTargetFields OpeningFields(const VesselTables& inForce, OwnTargetFields current);

// What Store as Demo writes: one line per vessel in force, its size from that vessel and its
// texts exactly as they stand in the dialog.
DemoRecord OwnTargetsDemoRecord(const OwnTargetFields& fields, const VesselTables& inForce,
                                std::string title, std::string description);

} // namespace mv
