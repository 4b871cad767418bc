#pragma once
// Demo scenario files (.dem): reading a whole file into a scenario value, placing its
// vessels, and writing the text of a new file.

#include "core/vessel.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// One vessel as a demo file gives it. Bearing and range place a target; the own vessel
// (the first) has neither.
struct DemoVessel {
    double Size = 0.0;    // kSmall, kMedium, kLarge, or 0 for an unrecognised token
    int16_t Heading = 0;  // degrees true, whole (a fraction rounds halves to even)
    float Speed = 0.0f;   // knots
    float Bearing = 0.0f; // degrees true from the own vessel
    double Range = 0.0;   // nautical miles from the own vessel
    friend bool operator==(const DemoVessel&, const DemoVessel&) = default;
};

struct DemoScenario {
    std::string Title;               // UTF-8, line 1 as it stands
    std::vector<DemoVessel> Vessels; // own vessel first, 1 to 6 vessels
    std::string Description;         // UTF-8, reflowed, paragraphs separated by "\r\n"
};

// Either a scenario or the reason it could not be read; never both, never a partial one.
struct DemoReadResult {
    std::optional<DemoScenario> Scenario;
    std::string Error; // e.g. "Input past end of file (line 4 of Crossing.dem)"
    bool ok() const { return Scenario.has_value(); }
};

// Parses the bytes of a file (UTF-8 when valid, otherwise Windows-1252). fileName is used in
// messages only.
DemoReadResult ParseDemo(std::string_view bytes, std::string_view fileName);
// Reads the file completely, then parses it.
DemoReadResult ReadDemoFile(const std::filesystem::path& path);

// Builds the vessel tables of a scenario: own vessel 0 at the origin, target i placed by its
// bearing and range, every vessel steady on its heading and speed.
void PlaceDemoVessels(const DemoScenario& scenario, VesselTables& tables);

// The reflow of description lines: trimmed; an empty line is a paragraph break; a line
// ending in '"', ':', '?' or '.' ends with a line break; any other runs on with one blank.
void AppendDescriptionLine(std::string& description, std::string_view line);

// What the writer stores: the title, one line per vessel with its fields as typed, and the
// description.
struct DemoRecordLine {
    double Size = 0.0;
    std::string Heading, Speed, Bearing, Range; // texts as they stand; bearing/range for targets
};
struct DemoRecord {
    std::string Title;
    std::vector<DemoRecordLine> Lines; // own vessel first
    std::string Description;
};

// The file's bytes: Windows-1252, CR LF line ends, description cut into pieces.
std::string DemoFileText(const DemoRecord& record);
// The description cut into the pieces that become its lines (each but the last is at least
// 82 characters and ends in a blank or a line feed).
std::vector<std::string> CutDescription(std::string_view description);

// A save's temporary file beside its target: this prefix, the process's number, a count and
// ".tmp". Not a *.dem name, so never listed as a demo; each save makes its own.
inline constexpr std::string_view kSaveTempPrefix = ".marovane-save-";

// Writes to a temporary file of its own beside the target (made exclusively, so that two saves
// into one folder at once never share one), flushes it to the disk and renames it over the
// target, so a failed or interrupted write leaves any old file whole. Returns an error text,
// empty on success; on failure its own temporary file, and only that, is removed.
std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

} // namespace mv
