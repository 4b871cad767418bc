// Demo files of any bytes: the reader either gives a whole scenario or a message naming the
// file, and a scenario it accepts, stored by the writer the way the own-targets dialog fills
// its fields, reads back to the same vessels, the same title and the same words of the
// description.

#include "core/number_text.h"
#include "core/scenario/demo_file.h"
#include "core/scenario/text_encoding.h"
#include "core/vessel.h"
#include "fuzz/fuzz_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace mv;
using mv::fuzz::Check;

namespace {

// The dialog's texts keep 7 significant digits of a single value and 15 of a double.
bool Near(double a, double b, double digits) {
    return std::fabs(a - b) <= std::fabs(a) * std::pow(10.0, 1.0 - digits);
}

// A text as the single-byte file can hold it: characters Windows-1252 lacks become '?'.
std::string Stored(std::string_view text) {
    return Windows1252ToUtf8(Utf8ToWindows1252(text));
}

// The words of a description in order: the writer cuts it into lines and the reader reflows
// them, so blanks and line breaks may move but no word may change, vanish or appear.
std::string Words(std::string_view text) {
    std::string out;
    bool gap = false;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            gap = !out.empty();
            continue;
        }
        if (gap) out += ' ';
        gap = false;
        out += c;
    }
    return out;
}

// Stored bytes the reader cannot take for Windows-1252: a title whose first bytes are a
// byte-order mark (UTF-8's "ï»¿", UTF-16's "ÿþ" or "þÿ"), or letters beyond ASCII that happen
// to spell valid UTF-8 ("Ã©"), which is read as UTF-8.
bool AmbiguousBytes(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF") || bytes.starts_with("\xFF\xFE") ||
        bytes.starts_with("\xFE\xFF"))
        return true;
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return !ascii && IsValidUtf8(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const DemoReadResult read = ParseDemo(mv::fuzz::Bytes(data, size), "Fuzz.dem");
    Check(read.ok() == read.Error.empty(), "a scenario or a message, never both or neither");
    if (!read.ok()) {
        Check(read.Error.find("Fuzz.dem") != std::string::npos, "the message names the file");
        return 0;
    }
    const DemoScenario& s = *read.Scenario;
    Check(!s.Vessels.empty() && s.Vessels.size() <= size_t{kMaxVessels}, "1 to 6 vessels");

    VesselTables tables;
    PlaceDemoVessels(s, tables);
    Check(tables.NumVessels == static_cast<int16_t>(s.Vessels.size()), "every vessel placed");
    for (int16_t i = 0; i < tables.NumVessels; ++i) {
        const PointD& p = tables.VesselPos[static_cast<size_t>(i)];
        Check(std::isfinite(p.X) && std::isfinite(p.Y), "a placed vessel has a position");
    }

    DemoRecord record;
    record.Title = s.Title;
    record.Description = s.Description;
    for (const DemoVessel& v : s.Vessels) {
        DemoRecordLine line;
        line.Size = v.Size;
        line.Heading = PlainNumberText(static_cast<double>(v.Heading));
        line.Speed = PlainNumberText(v.Speed);
        line.Bearing = PlainNumberText(v.Bearing);
        line.Range = PlainNumberText(v.Range);
        record.Lines.push_back(line);
    }
    const std::string stored = DemoFileText(record);
    const DemoReadResult back = ParseDemo(stored, "Fuzz.dem");
    Check(back.ok(), "a stored scenario reads back");
    if (!AmbiguousBytes(stored)) {
        Check(back.Scenario->Title == Stored(s.Title), "the same title");
        Check(Words(back.Scenario->Description) == Words(Stored(s.Description)),
              "the same words of the description");
    }
    const auto& again = back.Scenario->Vessels;
    Check(again.size() == s.Vessels.size(), "the same number of vessels");
    for (size_t i = 0; i < again.size(); ++i) {
        const DemoVessel &a = s.Vessels[i], &b = again[i];
        Check(a.Size == b.Size && a.Heading == b.Heading, "the same size and heading");
        Check(Near(a.Speed, b.Speed, 7), "the same speed");
        if (i == 0) continue;
        Check(Near(a.Bearing, b.Bearing, 7) && Near(a.Range, b.Range, 15),
              "the same bearing and range");
    }
    return 0;
}
