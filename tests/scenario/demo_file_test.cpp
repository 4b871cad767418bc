#include "scenario/demo_file.h"
#include "scenario/text_encoding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#ifndef _WIN32
#include <unistd.h>
#endif

namespace mv {
namespace {

namespace fs = std::filesystem;

// Shipped data lives beside the sources: tests/scenario/../../data.
const fs::path kDataDir = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data";

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        do {
            path_ = fs::temp_directory_path() / ("demo_file_test_" + std::to_string(random()));
        } while (!fs::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

DemoScenario MustParse(std::string_view bytes) {
    DemoReadResult r = ParseDemo(bytes, "Test.dem");
    EXPECT_TRUE(r.ok()) << r.Error;
    return r.ok() ? *r.Scenario : DemoScenario{};
}

const char* const kCrossing = "Crossing\r\n"
                              " 2 \r\n"
                              "MEDIUM, 000, 12\r\n"
                              "LARGE, 270, 12, 045, 8\r\n"
                              "Target on the starboard bow.\r\n"
                              "Steady bearing, closing\r\n"
                              "range.\r\n";

TEST(ParseDemo, ReadsCrLfLfAndCrAlike) {
    std::string lf = kCrossing, cr = kCrossing;
    for (size_t p; (p = lf.find("\r\n")) != std::string::npos;)
        lf.erase(p, 1);
    for (size_t p; (p = cr.find("\r\n")) != std::string::npos;)
        cr.erase(p + 1, 1);
    for (const std::string& bytes : {std::string(kCrossing), lf, cr}) {
        const DemoScenario s = MustParse(bytes);
        EXPECT_EQ(s.Title, "Crossing");
        ASSERT_EQ(s.Vessels.size(), 2u);
        EXPECT_EQ(s.Vessels[0], (DemoVessel{kMedium, 0, 12.0f, 0.0f, 0.0}));
        EXPECT_EQ(s.Vessels[1], (DemoVessel{kLarge, 270, 12.0f, 45.0f, 8.0}));
        EXPECT_EQ(s.Description,
                  "Target on the starboard bow.\r\nSteady bearing, closing range.\r\n");
    }
}

TEST(ParseDemo, TitleIsTakenWholeAndOneVesselNeedsNoTargetLines) {
    const DemoScenario s = MustParse("  Alone at sea  \r\n1\r\nsmall,90,6");
    EXPECT_EQ(s.Title, "  Alone at sea  ");
    ASSERT_EQ(s.Vessels.size(), 1u);
    EXPECT_EQ(s.Vessels[0], (DemoVessel{kSmall, 90, 6.0f, 0.0f, 0.0}));
    EXPECT_EQ(s.Description, "");
}

TEST(ParseDemo, ValuesAreOneRunningSequence) {
    // Spread over lines, quoted, with empty lines between; a trailing comma on the last vessel
    // line does not pull that line's remainder into the description.
    const DemoScenario s =
        MustParse("T\n\"2\"\nm,\n\n 10 , \"12.5\"\n\" L \",\n200,\n3.5, 90, 2.25,  ignored\nText");
    ASSERT_EQ(s.Vessels.size(), 2u);
    EXPECT_EQ(s.Vessels[0], (DemoVessel{kMedium, 10, 12.5f, 0.0f, 0.0}));
    EXPECT_EQ(s.Vessels[1], (DemoVessel{kLarge, 200, 3.5f, 90.0f, 2.25}));
    EXPECT_EQ(s.Description, "Text ");
}

TEST(ParseDemo, SizeTokens) {
    const struct {
        const char* token;
        double size;
    } cases[] = {
        {"S", kSmall},     {"Small", kSmall}, {" small ", kSmall}, {"\"s\"", kSmall},
        {"SMALL", kSmall}, {"m", kMedium},    {"Medium", kMedium}, {"L", kLarge},
        {"large", kLarge}, {"UNKNOWN", 0.0},  {"tanker", 0.0},     {"\"\"", 0.0},
        {"sm", 0.0},
    };
    for (const auto& c : cases) {
        const DemoScenario s = MustParse(std::string("T\r\n1\r\n") + c.token + ", 0, 0\r\n");
        ASSERT_EQ(s.Vessels.size(), 1u) << c.token;
        EXPECT_EQ(s.Vessels[0].Size, c.size) << c.token;
    }
}

TEST(ParseDemo, HeadingRoundsHalvesToEven) {
    const struct {
        const char* text;
        int16_t heading;
    } cases[] = {{"045", 45},  {"44.5", 44},   {"45.5", 46}, {"0.5", 0},
                 {"-1.5", -2}, {"359.6", 360}, {"1e2", 100}, {" 7 ", 7}};
    for (const auto& c : cases) {
        const DemoScenario s = MustParse(std::string("T\r\n1\r\nM,") + c.text + ",3\r\n");
        ASSERT_EQ(s.Vessels.size(), 1u) << c.text;
        EXPECT_EQ(s.Vessels[0].Heading, c.heading) << c.text;
    }
}

TEST(ParseDemo, BrokenFilesAreRejectedWithTheirLine) {
    const struct {
        const char* name;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"Empty.dem", "", "Input past end of file (line 1 of Empty.dem)"},
        {"Title.dem", "Only a title\r\n", "Input past end of file (line 2 of Title.dem)"},
        {"Crossing.dem", "T\r\n 2 \r\nMEDIUM, 000, 12\r\n",
         "Input past end of file (line 4 of Crossing.dem)"},
        {"Short.dem", "T\r\n1\r\nMEDIUM, 090", "Input past end of file (line 3 of Short.dem)"},
        {"Crossing.dem", "T\r\n1\r\nMEDIUM, 090, 12x\r\n",
         "Type mismatch: \"12x\" is not a number (line 3 of Crossing.dem)"},
        {"Range.dem", "T\r\n2\r\nM,0,1\r\nL,0,1,45,six\r\n",
         "Type mismatch: \"six\" is not a number (line 4 of Range.dem)"},
        {"Gap.dem", "T\r\n1\r\nM,,12\r\n",
         "Type mismatch: \"\" is not a number (line 3 of Gap.dem)"},
        {"Count.dem", "T\r\ntwo\r\n",
         "Type mismatch: \"two\" is not a number (line 2 of Count.dem)"},
        {"Zero.dem", "T\r\n 0 \r\n", "Vessel count 0 is not 1 to 6 (line 2 of Zero.dem)"},
        {"Big.dem", "T\r\n 7 \r\n", "Vessel count 7 is not 1 to 6 (line 2 of Big.dem)"},
        {"Neg.dem", "T\r\n-1\r\n", "Vessel count -1 is not 1 to 6 (line 2 of Neg.dem)"},
        {"Wide.dem", "T\r\n1\r\nM, 40000, 12\r\n",
         "Overflow: \"40000\" is outside -32768 to 32767 (line 3 of Wide.dem)"},
        {"Fast.dem", "T\r\n1\r\nM, 0, 1e39\r\n",
         "Overflow: \"1e39\" is too large (line 3 of Fast.dem)"},
        {"Far.dem", "T\r\n2\r\nM,0,1\r\nL,0,1,45,1e400\r\n",
         "Overflow: \"1e400\" is too large (line 4 of Far.dem)"},
        {"Far.dem", "T\r\n2\r\nM,0,1\r\nL,0,1,45,inf\r\n",
         "Type mismatch: \"inf\" is not a number (line 4 of Far.dem)"},
    };
    for (const auto& c : cases) {
        const DemoReadResult r = ParseDemo(c.bytes, c.name);
        EXPECT_FALSE(r.ok()) << c.bytes;
        EXPECT_EQ(r.Error, c.error) << c.bytes;
    }
}

TEST(AppendDescriptionLine, ReflowsLinesIntoParagraphs) {
    const struct {
        const char* line;
        const char* appended;
    } cases[] = {
        {"", "\r\n"},
        {"   ", "\r\n"},
        {"  Alter to starboard.  ", "Alter to starboard.\r\n"},
        {"Note:", "Note:\r\n"},
        {"What is the CPA?", "What is the CPA?\r\n"},
        {"She said \"hold on\"", "She said \"hold on\"\r\n"},
        {"the bearing stays", "the bearing stays "},
        {"steady,", "steady, "},
    };
    for (const auto& c : cases) {
        std::string d = "x";
        AppendDescriptionLine(d, c.line);
        EXPECT_EQ(d, std::string("x") + c.appended) << c.line;
    }
}

TEST(ParseDemo, TrailingEmptyLinesEachBreakTheParagraph) {
    const DemoScenario s = MustParse("T\r\n1\r\nM,0,0\r\nEnd.\r\n\r\n\r\n");
    EXPECT_EQ(s.Description, "End.\r\n\r\n\r\n");
}

TEST(ParseDemo, ByteOrderMarkIsDropped) {
    const DemoScenario s = MustParse("\xEF\xBB\xBF"
                                     "Caf\xC3\xA9\r\n1\r\nM,0,0\r\n");
    EXPECT_EQ(s.Title, "Caf\xC3\xA9");
}

std::vector<std::string> Pieces(std::string_view text) {
    return CutDescription(text);
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const auto& p : pieces)
        all += p;
    return all;
}

size_t CodePoints(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

TEST(CutDescription, EightyOneCharactersStayOnePiece) {
    const std::string text(81, 'a');
    EXPECT_EQ(Pieces(text), std::vector<std::string>{text});
    const std::string spaced = std::string(40, 'a') + " " + std::string(40, 'b');
    EXPECT_EQ(Pieces(spaced).size(), 1u);
}

TEST(CutDescription, WordsAreCutAtTheFirstBlankFromThe82ndCharacter) {
    std::string text;
    while (text.size() < 200)
        text += "plot the echo ";
    text.resize(200);
    const auto pieces = Pieces(text);
    ASSERT_GE(pieces.size(), 2u);
    ASSERT_LE(pieces.size(), 3u);
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        EXPECT_GE(pieces[i].size(), 82u) << i;
        EXPECT_EQ(pieces[i].back(), ' ') << i;
        // The cut is at the first blank that qualifies, not a later one.
        EXPECT_EQ(pieces[i].substr(81, pieces[i].size() - 82).find(' '), std::string::npos) << i;
    }
    EXPECT_EQ(Joined(pieces), text);
}

TEST(CutDescription, LineFeedEndsAPieceAndEveryCharacterIsKept) {
    const std::string text = std::string(85, 'x') + "\r\nNext paragraph.";
    const auto pieces = Pieces(text);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], std::string(85, 'x') + "\r\n");
    EXPECT_EQ(pieces[1], "Next paragraph.");

    // A line break early in a piece does not end it.
    const std::string early = "Short.\r\n" + std::string(100, 'y');
    EXPECT_EQ(Pieces(early), std::vector<std::string>{early});

    EXPECT_TRUE(Pieces("").empty());
    EXPECT_EQ(Pieces("a"), std::vector<std::string>{"a"});
}

TEST(CutDescription, CountsAnAccentedLetterAsOneCharacter) {
    // 81 characters, but 121 bytes in UTF-8: still one piece.
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "\xC3\xA9";
    text += " ";
    for (int i = 0; i < 40; ++i)
        text += "e";
    ASSERT_EQ(CodePoints(text), 81u);
    EXPECT_EQ(Pieces(text).size(), 1u);
    text += " tail";
    const auto pieces = Pieces(text);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(CodePoints(pieces[0]), 82u);
    EXPECT_EQ(pieces[1], "tail");
}

DemoRecord SixVessels() {
    return DemoRecord{"Busy strait",
                      {{kMedium, "000", "12", "", ""},
                       {kLarge, "270", "12", "045", "8"},
                       {kSmall, "090", "6.5", "315", "2.25"},
                       {0.0, "180", "0", "180", "0.5"},
                       {kMedium, "-10", "30", "0", "12"},
                       {kSmall, "359", ".5", "359.9", "36"}},
                      ""};
}

TEST(DemoFileText, WritesTheExpectedLines) {
    DemoRecord r = SixVessels();
    r.Lines.resize(2);
    r.Description = "Give way.";
    EXPECT_EQ(DemoFileText(r), "Busy strait\r\n"
                               " 2 \r\n"
                               "MEDIUM, 000, 12\r\n"
                               "LARGE, 270, 12, 045, 8\r\n"
                               "Give way.\r\n");
    r.Description.clear(); // no description lines at all
    EXPECT_EQ(DemoFileText(r).substr(DemoFileText(r).size() - 24), "LARGE, 270, 12, 045, 8\r\n");
}

TEST(DemoFileText, EveryLineBreakIsWrittenAsCrLf) {
    DemoRecord r = SixVessels();
    r.Lines.resize(1);
    r.Description = "Unix line.\nOld Mac line.\rWindows line.\r\n\nEnd.";
    EXPECT_EQ(DemoFileText(r), "Busy strait\r\n"
                               " 1 \r\n"
                               "MEDIUM, 000, 12\r\n"
                               "Unix line.\r\nOld Mac line.\r\nWindows line.\r\n\r\nEnd.\r\n");
}

TEST(DemoFileText, RoundTripGivesTheSameVessels) {
    const DemoRecord r = SixVessels();
    const DemoReadResult back = ParseDemo(DemoFileText(r), "Busy.dem");
    ASSERT_TRUE(back.ok()) << back.Error;
    const std::vector<DemoVessel> expected = {
        {kMedium, 0, 12.0f, 0.0f, 0.0},    {kLarge, 270, 12.0f, 45.0f, 8.0},
        {kSmall, 90, 6.5f, 315.0f, 2.25},  {0.0, 180, 0.0f, 180.0f, 0.5},
        {kMedium, -10, 30.0f, 0.0f, 12.0}, {kSmall, 359, 0.5f, 359.9f, 36.0},
    };
    EXPECT_EQ(back.Scenario->Vessels, expected);
    EXPECT_EQ(back.Scenario->Title, "Busy strait");
    EXPECT_EQ(back.Scenario->Description, "");
}

TEST(DemoFileText, LongDescriptionReadsBackAsTheSameParagraphs) {
    DemoRecord r = SixVessels();
    const std::string p1 = "A large vessel bears 045 at 8 miles and her bearing stays steady while "
                           "the range closes, so she is on a collision course.";
    const std::string p2 = "You are the give-way vessel: alter boldly to starboard and pass "
                           "astern of her, then plot again to check the new CPA.";
    r.Description = p1 + "\r\n\r\n" + p2;
    const std::string file = DemoFileText(r);
    for (size_t p = 0; (p = file.find('\n', p + 1)) != std::string::npos;)
        EXPECT_EQ(file[p - 1], '\r');
    const DemoReadResult back = ParseDemo(file, "Busy.dem");
    ASSERT_TRUE(back.ok()) << back.Error;
    EXPECT_EQ(back.Scenario->Description, p1 + "\r\n\r\n" + p2 + "\r\n");
}

TEST(DemoFileText, Windows1252TextSurvivesReadingAndWriting) {
    // 0xE9 is e acute, 0x96 an en dash, 0x80 the euro sign.
    const std::string bytes = "Caf\xE9 \x96 \x80 5\r\n"
                              " 1 \r\n"
                              "SMALL, 010, 5\r\n"
                              "Pass \xE9troitement.\r\n";
    const DemoReadResult r = ParseDemo(bytes, "Cafe.dem");
    ASSERT_TRUE(r.ok()) << r.Error;
    EXPECT_EQ(r.Scenario->Title, "Caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC 5");
    EXPECT_EQ(r.Scenario->Description, "Pass \xC3\xA9troitement.\r\n");

    DemoRecord again{r.Scenario->Title, {{kSmall, "010", "5", "", ""}}, "Pass \xC3\xA9troitement."};
    EXPECT_EQ(DemoFileText(again), bytes);
}

TEST(TextEncoding, EveryWindows1252ByteSurvivesTheTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"),
              "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(Windows1252ToUtf8("\x9F"), "\xC5\xB8"); // Y with diaeresis
}

TEST(TextEncoding, Utf8CheckAndMissingCharacters) {
    const struct {
        std::string bytes;
        bool valid;
    } cases[] = {
        {"plain", true},
        {"\xC3\xA9", true},
        {"\xF0\x9F\x9A\xA2", true},
        {"\xE9", false},
        {"\xC3", false},
        {"\xC0\x80", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"\xE2\x80", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidUtf8(c.bytes), c.valid) << c.bytes;

    EXPECT_EQ(DecodeText("\xC3\xA9"), "\xC3\xA9");
    EXPECT_EQ(DecodeText("\xE9"), "\xC3\xA9");
    // A ship emoji and a Japanese letter have no Windows-1252 form; a stray byte neither.
    EXPECT_EQ(Utf8ToWindows1252("a\xF0\x9F\x9A\xA2"
                                "b\xE6\x97\xA5"
                                "c\xFF"),
              "a?b?c?");
    EXPECT_EQ(Utf8ToWindows1252("\xC2\x80"), "?"); // U+0080 is not the euro sign
}

TEST(PlaceDemoVessels, TargetsStandAtTheirBearingAndRange) {
    DemoScenario s;
    s.Vessels = {{kMedium, 0, 12.0f, 0.0f, 0.0},
                 {kLarge, 270, 12.5f, 90.0f, 6.0},
                 {0.0, 45, 3.0f, 0.0f, 2.0},
                 {kSmall, 200, 0.0f, 225.0f, 1.0}};
    VesselTables t;
    t.Create(2);
    t.VesselPos[0] = {5.0, 5.0}; // leftovers of an older scenario must not survive
    PlaceDemoVessels(s, t);
    EXPECT_EQ(t.NumVessels, 4);
    EXPECT_EQ(t.OwnVessel, 0);
    ASSERT_EQ(t.Vessel.size(), 5u);
    EXPECT_EQ(t.VesselPos[0], (PointD{0.0, 0.0}));
    EXPECT_NEAR(t.VesselPos[1].X, 0.0, 1e-9);
    EXPECT_NEAR(t.VesselPos[1].Y, 6.0, 1e-9);
    EXPECT_NEAR(t.VesselPos[2].X, 2.0, 1e-12);
    EXPECT_NEAR(t.VesselPos[2].Y, 0.0, 1e-12);
    EXPECT_NEAR(t.VesselPos[3].X, -std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(t.VesselPos[3].Y, -std::sqrt(0.5), 1e-9);
    EXPECT_EQ(t.Vessel[1], (VesselData{270.0f, 270, 12.5f, 12.5f, kLarge}));
    EXPECT_EQ(t.Vessel[2], (VesselData{45.0f, 45, 3.0f, 3.0f, 0.0}));
    for (int16_t f : t.VesselFlag)
        EXPECT_EQ(f, kFalse);
    EXPECT_TRUE(t.StartVessel.empty()); // the scenario start saves the start state
}

TEST(ReadDemoFile, MissingFileNamesTheFileOnly) {
    const DemoReadResult r = ReadDemoFile("/no/such/folder/Crossing.dem");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.Error, "File not found (Crossing.dem)");
}

TEST(ReadDemoFile, ShippedDemosAreReadable) {
    for (const char* name : {"Default.dem", "Crossing.dem", "HeadOn.dem", "Overtaking.dem"}) {
        const DemoReadResult r = ReadDemoFile(kDataDir / name);
        ASSERT_TRUE(r.ok()) << r.Error;
        EXPECT_GE(r.Scenario->Vessels.size(), 2u) << name;
        EXPECT_GT(r.Scenario->Description.size(), 81u) << name;
        for (const DemoVessel& v : r.Scenario->Vessels)
            EXPECT_NE(v.Size, 0.0) << name;
    }
}

TEST(WriteFileAtomically, WritesAndReplaces) {
    TempDir dir;
    const fs::path target = dir.path() / "Foo.dem";
    EXPECT_EQ(WriteFileAtomically(target, "old\r\n"), "");
    EXPECT_EQ(Slurp(target), "old\r\n");
    EXPECT_EQ(WriteFileAtomically(target, "new"), "");
    EXPECT_EQ(Slurp(target), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(WriteFileAtomically, FailureLeavesWhatWasThere) {
    TempDir dir;
    const fs::path folder = dir.path() / "Foo.dem";
    fs::create_directory(folder);
    fs::path inside = folder / "keep.txt";
    std::ofstream(inside) << "keep";
    const std::string error = WriteFileAtomically(folder, "new");
    EXPECT_EQ(error.rfind("Cannot write " + folder.string() + ": ", 0), 0u) << error;
    EXPECT_EQ(Slurp(inside), "keep");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    const fs::path nowhere = dir.path() / "missing" / "Foo.dem";
    EXPECT_EQ(WriteFileAtomically(nowhere, "x"),
              "Cannot write " + nowhere.string() + ": No such file or directory");
}

#ifndef _WIN32
TEST(WriteFileAtomically, ReadOnlyFolderKeepsTheOldFile) {
    TempDir dir;
    const fs::path target = dir.path() / "Foo.dem";
    ASSERT_EQ(WriteFileAtomically(target, "old"), "");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (access(dir.path().c_str(), W_OK) == 0) GTEST_SKIP() << "permissions are not enforced";
    const std::string error = WriteFileAtomically(target, "new");
    EXPECT_EQ(error, "Cannot write " + target.string() + ": Permission denied");
    EXPECT_EQ(Slurp(target), "old");
}
#endif

} // namespace
} // namespace mv
