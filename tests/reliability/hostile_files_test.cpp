// Hostile files through the real readers, the chooser's list and preview and marovane-plot:
// each is read or refused with a message naming the file, never hangs, never shows a figure
// that cannot be computed as a collision; exercises, results files and records refused for
// what they are. Then Store as Demo's write under faults and two at once: the old file stays
// whole and no temporary file is left.

#include "core/csv_text.h"
#include "core/record/run_record.h"
#include "core/record/run_schema.h"
#include "core/scenario/demo_file.h"
#include "tests/support/temp_dir.h"
#include "tools/plot/plot_tool.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

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

// ---- exercises, results and records through marovane-plot --------------------------------

enum class Kind { Bytes, Fifo, Folder, Sqlite };

struct HostileInput {
    const char* name; // the case, and the file's name
    Kind kind;
    const char* command;    // parted by blanks; "@" stands for the file's path
    const char* expected;   // in standard error
    std::string bytes = {}; // the file's bytes, or for Sqlite the SQL that builds it
};

const std::string kPlainScenario = "[scenario]\nvessel = [{course = 0, speed = 10}, "
                                   "{course = 180, speed = 10, bearing = 0, range = 6}]\n";

std::string Questions(int n) {
    std::string text = kPlainScenario;
    for (int i = 0; i < n; ++i)
        text += "[[question]]\nat = 12:10:00\nfigures = [\"cpa\"]\n";
    return text;
}

const std::string kResultsHead = R"({"format": "Marovane exercise results", )";

// Every table of a record as the program writes it, with `change` made after.
std::string Tables(const std::string& change) {
    return mv::runschema::CreateAll() + change;
}
// The same with the first `from` in the script read as `to`.
std::string Retyped(const std::string& from, const std::string& to) {
    std::string sql = mv::runschema::CreateAll();
    return sql.replace(sql.find(from), from.size(), to);
}

const HostileInput kInputs[] = {
    {"fifo.toml", Kind::Fifo, "exercise @", "is not a regular file"},
    {"folder.toml", Kind::Folder, "exercise @", "folder.toml: is a folder"},
    {"big.toml", Kind::Bytes, "exercise @", "is larger than 1 MB",
     kPlainScenario + std::string(1024 * 1024, '#')},
    // 201 questions: one over the most an exercise may ask.
    {"many.toml", Kind::Bytes, "exercise @", "at most 200", Questions(201)},
    {"climb.toml", Kind::Bytes, "exercise @", "must be a demo's file name",
     "[scenario]\ndemo = \"../../../../../../etc/passwd\"\n"},
    {"fifo.json", Kind::Fifo, "grade @", "is not a regular file"},
    {"folder.json", Kind::Folder, "grade @", "is a folder"},
    {"text.json", Kind::Bytes, "grade @", "not a results file", "not json at all"},
    {"kind.json", Kind::Bytes, "grade @", "wrong kind",
     kResultsHead + R"("version": 1, "student": 7})"},
    {"newer.json", Kind::Bytes, "grade @", "newer program", kResultsHead + R"("version": 99})"},
    {"fifo.mvrun", Kind::Fifo, "run @", "is not a regular file"},
    {"folder.mvrun", Kind::Folder, "run @", "is a folder"},
    {"text.mvrun", Kind::Bytes, "run @", "not a Marovane run record", "plain text"},
    // A view without end where the events belong: refused before anything is read.
    {"view.mvrun", Kind::Sqlite, "run @ --events", "views",
     "CREATE TABLE run(x); CREATE VIEW events AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
     "SELECT i + 1 FROM n) SELECT i FROM n;"},
    {"trigger.mvrun", Kind::Sqlite, "run @", "triggers",
     "CREATE TABLE run(x); CREATE TRIGGER t AFTER INSERT ON run BEGIN SELECT 1; END;"},
    // Tables of the right names with a column dropped, added or of another type: refused by
    // the table and the column before any row is read, --at included.
    {"dropped.mvrun", Kind::Sqlite, "run @ --at 12:00",
     "dropped.mvrun is damaged and cannot be replayed: its table ticks has ebl2_on where the "
     "column picked belongs.",
     Tables("ALTER TABLE ticks DROP COLUMN picked;")},
    {"added.mvrun", Kind::Sqlite, "run @ --events",
     "its table events has a column colour that no record has.",
     Tables("ALTER TABLE events ADD COLUMN colour TEXT;")},
    {"retyped.mvrun", Kind::Sqlite, "run @",
     "its table positions declares its column heading TEXT, not REAL.",
     Retyped("heading REAL", "heading TEXT")},
    {"renamed.mvrun", Kind::Sqlite, "run @",
     "its table ticks has vrm_rang where the column vrm_range belongs.",
     Retyped("vrm_range REAL", "vrm_rang REAL")},
};

void MakeRecord(const fs::path& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    const std::string head = "PRAGMA application_id=" + std::to_string(mv::kRunApplicationId) +
                             "; PRAGMA user_version=" + std::to_string(mv::kRunFormatVersion) + ";";
    EXPECT_EQ(sqlite3_exec(db, (head + sql).c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

TEST(HostileInputs, RefusedWithWhatTheFileIsAndNothingChanged) {
    const mv::test::TempDir root;
    for (const HostileInput& c : kInputs) {
        SCOPED_TRACE(c.name);
        const fs::path dir = root.path / (std::string("case-") + c.name);
        fs::create_directories(dir);
        const fs::path path = dir / c.name;
        switch (c.kind) {
        case Kind::Bytes:
            Put(path, c.bytes);
            break;
        case Kind::Fifo:
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
            break;
        case Kind::Folder:
            fs::create_directory(path);
            break;
        case Kind::Sqlite:
            MakeRecord(path, c.bytes);
            break;
        }
        std::vector<std::string> args;
        std::istringstream words(c.command);
        for (std::string a; words >> a;)
            args.push_back(a == "@" ? path.string() : a);
        std::ostringstream out, err;
        EXPECT_EQ(mv::RunPlotTool(args, out, err), 1) << err.str();
        EXPECT_NE(err.str().find(c.expected), std::string::npos) << err.str();
        EXPECT_EQ(err.str().find("root:"), std::string::npos) << "quotes /etc/passwd";
        // Reading leaves nothing beside the file: no journal, no shared memory.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);
    }
}

TEST(HostileInputs, DevZeroAndAFailedClassLeaveTheTableAndTheTerminalAlone) {
    const mv::test::TempDir root;
    std::ostringstream out, err;
    EXPECT_EQ(mv::RunPlotTool({"exercise", "/dev/zero"}, out, err), 1);
    EXPECT_NE(err.str().find("zero: is not a regular file"), std::string::npos) << err.str();

    // Every input fails: last week's class table stays.
    const std::string csv = root.Write("class.csv", "Student,Record\r\nAnn,a.mvrun\r\n");
    const std::string bad = root.Write("bad.json", "{");
    EXPECT_EQ(mv::RunPlotTool({"grade", bad, "--csv", csv}, out, err), 1);
    EXPECT_EQ(mv::test::Slurp(csv), "Student,Record\r\nAnn,a.mvrun\r\n");

    // A title that would retitle the terminal and ring its bell prints as its letters only.
    const std::string demo = root.Write("Esc.dem", "Wet\x1b]0;owned\x07 \xC2\x9b"
                                                   "31mDock\r\n" +
                                                       kVessels);
    std::ostringstream shown;
    EXPECT_EQ(mv::RunPlotTool({"demo", demo}, shown, err), 0) << err.str();
    EXPECT_NE(shown.str().find("Wet]0;owned 31mDock"), std::string::npos) << shown.str();
    EXPECT_EQ(shown.str().find_first_of("\x1b\x07\r"), std::string::npos);
}

// A student's name or an event's text that a spreadsheet would run is kept as text; a number,
// negative too, stays a number.
TEST(HostileInputs, CsvCellsNeverFormulas) {
    const std::pair<const char*, const char*> cells[] = {
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"-2+3", "\"'-2+3\""},
        {"+", "\"'+\""},
        {"@SUM(A1)", "\"'@SUM(A1)\""},
        {"\tcmd", "\"'\tcmd\""},
        {"\rcmd", "\"'\rcmd\""},
        {"-12.5", "-12.5"},
        {"+3", "+3"},
        {"Ann, B", "\"Ann, B\""},
        {"Ann", "Ann"},
    };
    for (const auto& [text, cell] : cells)
        EXPECT_EQ(mv::CsvTextField(text), cell) << text;
}

// ---- saving -------------------------------------------------------------------------------

// The temporary files of saves beside `dir`'s targets.
long SaveTemps(const fs::path& dir) {
    return std::ranges::count_if(fs::directory_iterator(dir), [](const fs::directory_entry& e) {
        return e.path().filename().string().starts_with(mv::kSaveTempPrefix);
    });
}

enum class Fault { None, TargetIsFolder, ForeignTemp, DiskFull, ReadOnly };

struct SaveCase {
    const char* name;
    Fault fault;
    size_t nameBytes; // of the target's file name, ".dem" included
    bool saved;
};

const SaveCase kSaves[] = {
    {"longest legal name", Fault::None, 255, true},
    {"target is a folder", Fault::TargetIsFolder, 12, false},
    {"another save's temporary file left beside it", Fault::ForeignTemp, 12, true},
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
        const fs::path foreign = dir / (std::string(mv::kSaveTempPrefix) + "1-0-0.tmp");
        if (c.fault == Fault::ForeignTemp) Put(foreign, "another save's");
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
        // Only its own temporary file is cleaned up; another save's is not touched.
        EXPECT_EQ(SaveTemps(dir), c.fault == Fault::ForeignTemp ? 1 : 0);
        if (c.fault == Fault::ReadOnly) {
            EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, readOnly); // kept
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}),
                  c.fault == Fault::ForeignTemp ? 2 : 1);
    }
}

// Two saves at once into one folder, 20 rounds each: every save succeeds and the files are
// whole (each one writer's bytes, never a mix or another's), with no temporary left.
TEST(SaveUnderFault, TwoSavesAtOnceIntoOneFolder) {
    const mv::test::TempDir root;
    std::string errors[2];
    auto saves = [&](int who) {
        const std::string bytes(64 * 1024, who ? 'b' : 'a');
        for (int round = 0; round < 20; ++round) {
            const std::string e =
                mv::WriteFileAtomically(root.path / (std::to_string(who) + ".dem"), bytes);
            if (!e.empty()) errors[who] = e;
            const std::string both = mv::WriteFileAtomically(root.path / "Both.dem", bytes);
            if (!both.empty()) errors[who] = both;
        }
    };
    std::thread one(saves, 0), two(saves, 1);
    one.join();
    two.join();
    EXPECT_EQ(errors[0], "");
    EXPECT_EQ(errors[1], "");
    EXPECT_EQ(mv::test::Slurp(root.path / "0.dem"), std::string(64 * 1024, 'a'));
    EXPECT_EQ(mv::test::Slurp(root.path / "1.dem"), std::string(64 * 1024, 'b'));
    const std::string both = mv::test::Slurp(root.path / "Both.dem");
    EXPECT_TRUE(both == std::string(64 * 1024, 'a') || both == std::string(64 * 1024, 'b'));
    EXPECT_EQ(SaveTemps(root.path), 0);
}

} // namespace
