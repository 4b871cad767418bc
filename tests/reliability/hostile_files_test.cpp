// Hostile files through the real readers, the chooser's list and preview and marovane-plot:
// each is read or refused with a message naming the file, never hangs, never shows a figure
// that cannot be computed as a collision. Then Store as Demo's write under faults: the old
// file stays whole and no temporary file is left.

#include "core/scenario/demo_file.h"
#include "tests/support/temp_dir.h"
#include "tools/plot/plot_tool.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

void Put(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Utf16(std::string_view ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii)
        out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
    return out;
}

const std::string kVessels = " 2\r\nMEDIUM, 000, 12\r\nLARGE, 090, 10, 045, 6\r\n";

struct HostileFile {
    const char* name; // the case, and the file's name
    bool fifo;
    std::string bytes;
    const char* expected; // in the message; empty when the file is to be read
};

const HostileFile kFiles[] = {
    {"Long.dem", false, std::string(1024 * 1024 + 1, 'A') + "\r\n" + kVessels, "too large"},
    {"Field.dem", false, "T\r\n" + std::string(900'000, 'x') + "\r\n", "x\u2026\""},
    {"Default.dem", true, "", "Not a regular file"},
    {"Range.dem", false, "T\r\n 2\r\nMEDIUM, 0, 12\r\nLARGE, 90, 10, 45, 1e308\r\n",
     "range is over 1e15, too large to plot (line 4"},
    {"Speed.dem", false, "T\r\n 2\r\nMEDIUM, 0, 12\r\nLARGE, 90, 3e38, 45, 6\r\n",
     "speed is over 1e15, too large to plot (line 4"},
    {"Comma.dem", false, "T\r\n 2\r\nMEDIUM, 000, 12,5\r\nLARGE, 90, 10, 45, 6\r\n",
     "decimals with a point (12.5), not a comma (line 3"},
    {"Hostile.dem", false, Utf16("Hostile\r\n" + kVessels, false), ""},
    {"Big16.dem", false, Utf16("Hostile\r\n" + kVessels, true), ""},
};

fs::path Make(const fs::path& dir, const HostileFile& f) {
    const fs::path path = dir / f.name;
    if (f.fifo)
        EXPECT_EQ(mkfifo(path.c_str(), 0644), 0);
    else
        Put(path, f.bytes);
    return path;
}

// Every reader agrees: the demo reader, the chooser's preview and list, and marovane-plot.
TEST(HostileFiles, ReadOrRefusedWithTheFileNamed) {
    const mv::test::TempDir root;
    for (const HostileFile& f : kFiles) {
        SCOPED_TRACE(f.name);
        const fs::path dir = root.path / f.name; // one folder a case
        fs::create_directories(dir);
        const fs::path path = Make(dir, f);
        const bool refused = *f.expected != '\0';

        const mv::DemoReadResult read = mv::ReadDemoFile(path);
        EXPECT_EQ(read.ok(), !refused);
        if (refused) {
            EXPECT_NE(read.Error.find(f.expected), std::string::npos) << read.Error;
            EXPECT_NE(read.Error.find(f.name), std::string::npos) << read.Error;
        } else {
            EXPECT_EQ(read.Scenario->Title, "Hostile");
            EXPECT_EQ(read.Scenario->Vessels.size(), 2u);
        }

        std::ostringstream out, err;
        const int code = mv::RunPlotTool({"demo", path.string()}, out, err);
        EXPECT_EQ(code, refused ? 1 : 0) << err.str();
        EXPECT_EQ(out.str().find(" 0.00 nm"), std::string::npos) << out.str();
    }
}

enum class Fault { None, TargetIsFolder, TempIsFolder, DiskFull, ReadOnly };

struct SaveCase {
    const char* name;
    Fault fault;
    size_t nameBytes; // of the target's file name, ".dem" included
    bool saved;
};

const SaveCase kSaves[] = {
    {"longest legal name", Fault::None, 255, true},
    {"target is a folder", Fault::TargetIsFolder, 12, false},
    {"temporary name taken by a folder", Fault::TempIsFolder, 12, false},
    {"disk full half way", Fault::DiskFull, 12, false},
    {"read-only demo replaced after the prompt", Fault::ReadOnly, 12, true},
};

TEST(SaveUnderFault, OldFileWholeAndNoTemporaryLeft) {
    std::signal(SIGXFSZ, SIG_IGN); // a write past the file-size limit fails with EFBIG instead
    const std::string old = "old scenario\r\n", fresh(4096, 'n');
    const mv::test::TempDir root;
    for (const SaveCase& c : kSaves) {
        SCOPED_TRACE(c.name);
        const fs::path dir = root.path / std::to_string(&c - kSaves); // one folder a case
        fs::create_directories(dir);
        const fs::path target = dir / (std::string(c.nameBytes - 4, 'S') + ".dem");
        if (c.fault == Fault::TargetIsFolder)
            fs::create_directory(target);
        else
            Put(target, old);
        if (c.fault == Fault::TempIsFolder) fs::create_directory(dir / mv::kSaveTempName);
        constexpr auto readOnly = fs::perms::owner_read | fs::perms::group_read;
        if (c.fault == Fault::ReadOnly) fs::permissions(target, readOnly);

        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        if (c.fault == Fault::DiskFull) {
            rlimit small = before;
            small.rlim_cur = 1024;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        const std::string error = mv::WriteFileAtomically(target, fresh);
        setrlimit(RLIMIT_FSIZE, &before);

        EXPECT_EQ(error.empty(), c.saved) << error;
        if (!c.saved) {
            EXPECT_NE(error.find("Cannot write"), std::string::npos);
        }
        if (c.fault != Fault::TargetIsFolder) {
            EXPECT_EQ(mv::test::Slurp(target), c.saved ? fresh : old);
        }
        if (c.fault != Fault::TempIsFolder) {
            EXPECT_FALSE(fs::exists(dir / mv::kSaveTempName));
        }
        if (c.fault == Fault::ReadOnly) {
            EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, readOnly); // kept
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}),
                  c.fault == Fault::TempIsFolder ? 2 : 1);
    }
}

} // namespace
