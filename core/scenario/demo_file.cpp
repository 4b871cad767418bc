#include "core/scenario/demo_file.h"

#include "core/geometry.h"
#include "core/number_text.h"
#include "core/scenario/field_reader.h"
#include "core/scenario/text_encoding.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <random>
#include <system_error>
#include <type_traits>

#ifdef _WIN32
#include <process.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

constexpr auto FailedDemo = FailedRead<DemoReadResult>;

// Reads one figure of a vessel line (a single bearing or speed, a double range) and refuses
// one too large for the plotting arithmetic.
template <typename Figure> bool NextFigure(FieldReader& in, Figure& value, const char* what) {
    if constexpr (std::is_same_v<Figure, float>) {
        if (!in.NextFloat(value)) return false;
    } else {
        if (!in.NextDouble(value)) return false;
    }
    if (std::fabs(value) <= kLargestFigure) return true;
    return in.Fail(std::string("Overflow: the ") + what + " is over 1e15, too large to plot",
                   in.FieldLine());
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
    if (!in.NextLine(title)) return FailedDemo(in.Error());
    scenario.Title = title;

    int16_t count = 0;
    if (!in.NextInt16(count)) return FailedDemo(in.Error());
    if (count < 1 || count > kMaxVessels) {
        // Six console slots: the own vessel and at most five targets.
        in.Fail("Vessel count " + std::to_string(count) + " is not 1 to 6", in.FieldLine());
        return FailedDemo(in.Error());
    }

    for (int i = 0; i < count; ++i) {
        DemoVessel v;
        std::string token;
        if (!in.NextField(token)) return FailedDemo(in.Error());
        // A number where a size belongs is nearly always the decimals of the figure before,
        // split off by a decimal comma ("12,5"): every later field would be one off.
        if (ParseNumber(token)) {
            in.Fail(QuotedField(token) +
                        " is not a vessel size: write decimals with a point (12.5), not a comma",
                    in.FieldLine());
            return FailedDemo(in.Error());
        }
        if (!in.NextInt16(v.Heading) || !NextFigure(in, v.Speed, "speed"))
            return FailedDemo(in.Error());
        v.Size = SizeFromToken(token);
        if (i > 0 && (!NextFigure(in, v.Bearing, "bearing") || !NextFigure(in, v.Range, "range")))
            return FailedDemo(in.Error());
        scenario.Vessels.push_back(v);
    }

    // The description starts on the line after the last vessel's last value. A number left
    // over there is the decimals of that value, split off by a decimal comma ("6,5").
    if (const std::string rest(TrimBlanks(in.RestOfLine())); ParseNumber(rest)) {
        in.Fail(QuotedField(rest) +
                    " is left over: write decimals with a point (12.5), not a comma",
                in.FieldLine());
        return FailedDemo(in.Error());
    }
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
    // The single-byte code page older demo sets use, unless a letter would be lost in it (a
    // Greek or Cyrillic title): then UTF-8 with its byte-order mark, which the reader knows.
    std::string single = Utf8ToWindows1252(text);
    if (Windows1252ToUtf8(single) == text) return single;
    return "\xEF\xBB\xBF" + text;
}

std::vector<std::string> CutDescription(std::string_view description) {
    // Positions count characters (UTF-8 code points), not bytes, so an accented letter in the
    // UTF-8 text weighs the same as in the single-byte file it is written to.
    std::vector<size_t> starts;
    for (size_t i = 0; i < description.size();) {
        starts.push_back(i);
        i += Utf8SequenceLength(static_cast<unsigned char>(description[i]));
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

namespace {

// The temporary name of one attempt: the process's number and a count kept by the process
// tell apart saves of other processes and of other threads; a random part, names left by a
// process of the same number before a restart.
std::filesystem::path TempNameBeside(const std::filesystem::path& folder) {
    static std::atomic<unsigned> count{0};
    static const unsigned salt = std::random_device{}();
#ifdef _WIN32
    const auto pid = static_cast<unsigned long>(_getpid());
#else
    const auto pid = static_cast<unsigned long>(::getpid());
#endif
    return folder /
           (std::string(kSaveTempPrefix) + std::to_string(pid) + "-" +
            std::to_string(count.fetch_add(1)) + "-" + std::to_string(salt % 100000) + ".tmp");
}

// Up to this many names are tried when one is taken (left by a save of an earlier run).
constexpr int kTempAttempts = 16;

std::string Reason(int err) {
    return std::error_code(err != 0 ? err : EIO, std::generic_category()).message();
}

} // namespace

std::string WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    namespace fs = std::filesystem;
    // Same folder as the target, so the rename never crosses file systems; a short name, so
    // that a target name of up to 255 bytes stays legal.
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string cannot = "Cannot write " + path.string() + ": ";
#ifdef _WIN32
    // Without fsync: the file's buffers go to the system at close, and the rename replaces
    // the target in one step, so an interrupted save still leaves the old file whole.
    fs::path temp;
    std::FILE* out = nullptr;
    for (int attempt = 0; attempt < kTempAttempts && !out; ++attempt) {
        temp = TempNameBeside(folder);
        out = std::fopen(temp.string().c_str(), "wbx"); // "x": made here or not at all
        if (!out && errno != EEXIST) break;
    }
    if (!out) return cannot + Reason(errno);
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::error_code gone;
        fs::remove(temp, gone);
        return cannot + Reason(EIO);
    }
    std::error_code ec;
    // A file replaced keeps its permissions: a demo the instructor made read-only stays so.
    if (const fs::file_status old = fs::status(path, ec); !ec && fs::exists(old))
        fs::permissions(temp, old.permissions(), ec);
    fs::rename(temp, path, ec);
    if (ec) {
        std::error_code gone;
        fs::remove(temp, gone);
        return cannot + ec.message();
    }
    return {};
#else
    fs::path temp;
    int fd = -1;
    for (int attempt = 0; attempt < kTempAttempts && fd < 0; ++attempt) {
        temp = TempNameBeside(folder);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return cannot + Reason(errno);
    auto failure = [&](int err) {
        ::unlink(temp.c_str()); // this save's own file, made above
        return cannot + Reason(err);
    };
    // A file replaced keeps its permissions: a demo the instructor made read-only stays so.
    if (struct stat old{}; ::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = errno;
            ::close(fd);
            return failure(err);
        }
        done += static_cast<size_t>(n);
    }
    // On the disk before the rename makes it the target: otherwise a power loss can leave a
    // renamed but empty file in place of the old one.
    if (::fsync(fd) != 0) {
        const int err = errno;
        ::close(fd);
        return failure(err);
    }
    if (::close(fd) != 0) return failure(errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) return failure(errno);
    // The rename itself is an entry of the folder: on the disk only once the folder is.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
#endif
}

} // namespace mv
