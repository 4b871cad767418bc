#include "core/scenario/demo_file.h"

#include "core/geometry.h"
#include "core/scenario/field_reader.h"
#include "core/scenario/text_encoding.h"

#include <cctype>
#include <cerrno>
#include <fstream>
#include <system_error>

namespace mv {
namespace {

std::string LowerTrimmed(std::string_view token) {
    std::string lower(TrimBlanks(token));
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// An unknown token is no error: the vessel is kept with size 0, which never turns and shows
// no echo length, and the writer stores it as UNKNOWN so the file stays readable.
double SizeFromToken(std::string_view token) {
    const std::string t = LowerTrimmed(token);
    if (t == "s" || t == "small") return kSmall;
    if (t == "m" || t == "medium") return kMedium;
    if (t == "l" || t == "large") return kLarge;
    return 0.0;
}

const char* SizeToken(double size) {
    if (size == kSmall) return "SMALL, ";
    if (size == kMedium) return "MEDIUM, ";
    if (size == kLarge) return "LARGE, ";
    return "UNKNOWN, ";
}

constexpr auto Failed = FailedRead<DemoReadResult>;

// Length of the UTF-8 sequence that starts with this byte; a stray byte counts as one.
size_t SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF7) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC0) return 2;
    return 1;
}

// Every line break as CR LF: an editor may hand over bare LFs (or CRs), and the file is to
// have CR LF line ends throughout.
std::string WithCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

DemoReadResult ParseDemo(std::string_view bytes, std::string_view fileName) {
    const std::string text = DecodeFileText(bytes);
    FieldReader in(text, fileName);

    DemoScenario scenario;
    std::string_view title;
    if (!in.NextLine(title)) return Failed(in.Error());
    scenario.Title = title;

    int16_t count = 0;
    if (!in.NextInt16(count)) return Failed(in.Error());
    if (count < 1 || count > kMaxVessels) {
        // Six console slots: the own vessel and at most five targets.
        in.Fail("Vessel count " + std::to_string(count) + " is not 1 to 6", in.FieldLine());
        return Failed(in.Error());
    }

    for (int i = 0; i < count; ++i) {
        DemoVessel v;
        std::string token;
        if (!in.NextField(token) || !in.NextInt16(v.Heading) || !in.NextFloat(v.Speed))
            return Failed(in.Error());
        v.Size = SizeFromToken(token);
        if (i > 0 && (!in.NextFloat(v.Bearing) || !in.NextDouble(v.Range)))
            return Failed(in.Error());
        scenario.Vessels.push_back(v);
    }

    // The description starts on the line after the last vessel's last value.
    in.SkipRestOfLine();
    std::string_view line;
    while (in.NextLine(line))
        AppendDescriptionLine(scenario.Description, line);

    DemoReadResult result;
    result.Scenario = std::move(scenario);
    return result;
}

DemoReadResult ReadDemoFile(const std::filesystem::path& path) {
    return ReadAndParse(path, ParseDemo);
}

void PlaceDemoVessels(const DemoScenario& scenario, VesselTables& tables) {
    const auto n = static_cast<int16_t>(scenario.Vessels.size());
    tables.Create(n);
    tables.OwnVessel = 0;
    for (int16_t i = 0; i < n; ++i) {
        const DemoVessel& d = scenario.Vessels[static_cast<size_t>(i)];
        VesselData& v = tables.Vessel[static_cast<size_t>(i)];
        v.Size = d.Size;
        v.NewHeading = d.Heading;
        v.Heading = static_cast<float>(d.Heading);
        v.Speed = v.NewSpeed = d.Speed;
        if (i > 0)
            PolarOffset(tables.VesselPos[0], tables.VesselPos[static_cast<size_t>(i)], d.Bearing,
                        d.Range);
    }
}

void AppendDescriptionLine(std::string& description, std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty()) {
        description += "\r\n"; // a paragraph break
        return;
    }
    description += line;
    switch (line.back()) {
    case '"':
    case ':':
    case '?':
    case '.':
        description += "\r\n";
        break;
    default:
        description += ' '; // runs on into the next line of the same paragraph
        break;
    }
}

std::string DemoFileText(const DemoRecord& record) {
    std::string text;
    // A line break inside the title would push the vessel count onto the wrong line.
    for (char c : record.Title)
        text += (c == '\r' || c == '\n') ? ' ' : c;
    text += "\r\n";
    // The count with a blank in the sign position and one after it.
    text += " " + std::to_string(record.Lines.size()) + " \r\n";
    for (size_t i = 0; i < record.Lines.size(); ++i) {
        const DemoRecordLine& v = record.Lines[i];
        text += SizeToken(v.Size);
        text += v.Heading + ", " + v.Speed;
        if (i > 0) text += ", " + v.Bearing + ", " + v.Range;
        text += "\r\n";
    }
    if (!record.Description.empty()) {
        for (const std::string& piece : CutDescription(WithCrLf(record.Description)))
            text += piece + "\r\n";
    }
    return Utf8ToWindows1252(text);
}

std::vector<std::string> CutDescription(std::string_view description) {
    // Positions count characters (UTF-8 code points), not bytes, so an accented letter in the
    // UTF-8 text weighs the same as in the single-byte file it is written to.
    std::vector<size_t> starts;
    for (size_t i = 0; i < description.size();) {
        starts.push_back(i);
        i += SequenceLength(static_cast<unsigned char>(description[i]));
    }
    const size_t count = starts.size();
    auto byteEnd = [&](size_t k) { return k + 1 < count ? starts[k + 1] : description.size(); };

    std::vector<std::string> pieces;
    size_t s = 0;
    while (s < count) {
        size_t e = s;
        for (;; ++e) {
            if (e == count - 1) break;
            const char c = description[starts[e]];
            if (e - s >= 81 && (c == '\n' || c == ' ')) break;
        }
        pieces.emplace_back(description.substr(starts[s], byteEnd(e) - starts[s]));
        s = e + 1;
    }
    return pieces;
}

std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    // Same folder as the target, so the rename never crosses file systems.
    const fs::path temp = path.parent_path() / ("." + path.filename().string() + ".tmp");
    auto failure = [&](const std::string& reason) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return "Cannot write " + path.string() + ": " + reason;
    };
    auto lastError = [] {
        return std::error_code(errno != 0 ? errno : EIO, std::generic_category()).message();
    };

    errno = 0;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return failure(lastError());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) return failure(lastError());
    out.close();
    if (!out) return failure(lastError());

    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) return failure(ec.message());
    return {};
}

} // namespace mv
