#include "core/scenario/demo_file.h"
#include "core/scenario/text_encoding.h"
#include "core/scenario/yaw_file.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(ParseDemo, Layouts) {
    const std::string crlf =
        "Crossing\r\n 2 \r\nMEDIUM, 000, 12\r\nLARGE, 270, 12, 045, 8\r\n"
        "Target on the starboard bow.\r\nSteady bearing, closing\r\nrange.\r\n";
    std::string lf = crlf;
    for (size_t p; (p = lf.find("\r\n")) != std::string::npos;)
        lf.erase(p, 1);
    const std::vector<DemoVessel> crossing = {{kMedium, 0, 12.0f, 0.0f, 0.0},
                                              {kLarge, 270, 12.0f, 45.0f, 8.0}};
    const char* const crossingText =
        "Target on the starboard bow.\r\nSteady bearing, closing range.\r\n";
    // Bytes; title, vessels and description read from them.
    const std::tuple<std::string, std::string, std::vector<DemoVessel>, std::string> cases[] = {
        {crlf, "Crossing", crossing, crossingText},
        {lf, "Crossing", crossing, crossingText},
        // The title is taken whole; one vessel needs no bearing and range.
        {"  Alone at sea  \r\n1\r\nsmall,90,6", "  Alone at sea  ", {{kSmall, 90, 6, 0, 0}}, ""},
        // One running sequence of values; a trailing comma keeps the line's rest out of the text.
        {"T\n\"2\"\nm,\n\n 10 , \"12.5\"\n\" L \",\n200,\n3.5, 90, 2.25,  ignored\nText",
         "T",
         {{kMedium, 10, 12.5f, 0, 0}, {kLarge, 200, 3.5f, 90, 2.25}},
         "Text "},
        {"\xEF\xBB\xBF"
         "Caf\xC3\xA9\r\n1\r\nM,0,0\r\n",
         "Caf\xC3\xA9", // the byte-order mark is dropped
         {{kMedium, 0, 0, 0, 0}},
         ""},
    };
    for (const auto& [bytes, title, vessels, description] : cases) {
        const DemoReadResult r = ParseDemo(bytes, "Test.dem");
        ASSERT_TRUE(r.ok()) << bytes << ": " << r.Error;
        EXPECT_EQ(r.Scenario->Title + "|" + r.Scenario->Description, title + "|" + description);
        EXPECT_EQ(r.Scenario->Vessels, vessels) << bytes;
    }
}

TEST(ParseDemo, SizeTokensAndHeadingsRoundingHalvesToEven) {
    const std::tuple<const char*, double, int16_t> cases[] = {
        {" small , 44.5, 3", kSmall, 44}, {"\"s\", 45.5, 3", kSmall, 46},
        {"m, -1.5, 3", kMedium, -2},      {"Medium, 359.6, 3", kMedium, 360},
        {"L, 1e2, 3", kLarge, 100},       {"sm, 0, 3", 0.0, 0},
    };
    for (const auto& [line, size, heading] : cases) {
        const DemoReadResult r = ParseDemo(std::string("T\r\n1\r\n") + line + "\r\n", "T.dem");
        ASSERT_TRUE(r.ok()) << line << ": " << r.Error;
        EXPECT_EQ(r.Scenario->Vessels[0].Size, size) << line;
        EXPECT_EQ(r.Scenario->Vessels[0].Heading, heading) << line;
    }
}

TEST(ParseDemoAndYaw, BrokenFilesAreRejectedWithTheirLine) {
    const char* const eof = "Input past end of file";
    // Bytes, the reason and the line it names; the last two are yaw tables.
    const std::tuple<std::string, std::string, int> cases[] = {
        {"T\r\n 2 \r\nMEDIUM, 000, 12\r\n", eof, 4},
        {"T\r\n2\r\nM,0,1\r\nL,0,1,45,six\r\n", "Type mismatch: \"six\" is not a number", 4},
        {"T\r\n 0 \r\n", "Vessel count 0 is not 1 to 6", 2},
        {"T\r\n 7 \r\n", "Vessel count 7 is not 1 to 6", 2},
        {"T\r\n1\r\nM, 40000, 12\r\n", "Overflow: \"40000\" is outside -32768 to 32767", 3},
        {"T\r\n2\r\nM,0,1\r\nL,0,1,45,1e400\r\n", "Overflow: \"1e400\" is too large", 4},
        {"2\r\n1,2\r\n3,4\r\n5,6\r\n7\r\n", eof, 6},
        {"2\r\n1,2\r\n3,abc\r\n", "Type mismatch: \"abc\" is not a number", 3},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [bytes, what, line] = cases[i];
        const bool isYaw = i + 2 >= std::size(cases);
        const std::string file = isYaw ? "Yaw.txt" : "Crossing.dem";
        const std::string error =
            isYaw ? ParseYaw(bytes, file).Error : ParseDemo(bytes, file).Error;
        EXPECT_EQ(error, what + " (line " + std::to_string(line) + " of " + file + ")");
    }
    EXPECT_EQ(ReadDemoFile("/no/such/folder/Crossing.dem").Error, "File not found (Crossing.dem)");
}

TEST(CutDescription, AtTheFirstBlankOrLineFeedFromThe82ndCharacter) {
    using Pieces = std::vector<std::string>;
    const std::string a80(80, 'a'), a81(81, 'a');
    EXPECT_EQ(CutDescription(a81), Pieces{a81});
    EXPECT_EQ(CutDescription(a80 + " b"), Pieces{a80 + " b"}); // 82 characters, no blank after
    EXPECT_EQ(CutDescription(a81 + " b"), (Pieces{a81 + " ", "b"}));
    // The blank in 81st place is too early; the cut is at the first blank after it.
    EXPECT_EQ(CutDescription(a80 + " bb cc dd"), (Pieces{a80 + " bb ", "cc dd"}));
    const std::string x85(85, 'x');
    EXPECT_EQ(CutDescription(x85 + "\r\nNext."), (Pieces{x85 + "\r\n", "Next."}));
    // Characters counted, not bytes: 81 of them, 123 bytes, a blank that bytes would qualify.
    std::string accented;
    for (int i = 0; i < 41; ++i)
        accented += "\xC3\xA9";
    accented += " " + std::string(39, 'e');
    EXPECT_EQ(CutDescription(accented), Pieces{accented});
    EXPECT_EQ(CutDescription(accented + " tail"), (Pieces{accented + " ", "tail"}));
}

TEST(DemoFileText, WritesCrLfLines) {
    const DemoRecord r{
        "Busy\nstrait", {{kLarge, "270", "12", "", ""}}, "Unix.\nMac.\rWin.\r\n\nEnd."};
    EXPECT_EQ(DemoFileText(r), "Busy strait\r\n 1 \r\nLARGE, 270, 12\r\n"
                               "Unix.\r\nMac.\r\nWin.\r\n\r\nEnd.\r\n");
}

TEST(DemoFileText, Windows1252TextSurvivesReadingAndWriting) {
    // 0xE9 is e acute, 0x96 an en dash, 0x80 the euro sign.
    const std::string bytes =
        "Caf\xE9 \x96 \x80 5\r\n 1 \r\nSMALL, 010, 5\r\nPass \xE9troitement.\r\n";
    const DemoReadResult r = ParseDemo(bytes, "Cafe.dem");
    ASSERT_TRUE(r.ok()) << r.Error;
    EXPECT_EQ(r.Scenario->Title, "Caf\xC3\xA9 \xE2\x80\x93 \xE2\x82\xAC 5");
    EXPECT_EQ(r.Scenario->Description, "Pass \xC3\xA9troitement.\r\n");
    DemoRecord again{r.Scenario->Title, {{kSmall, "010", "5", "", ""}}, "Pass \xC3\xA9troitement."};
    EXPECT_EQ(DemoFileText(again), bytes);
    EXPECT_EQ(Utf8ToWindows1252("a\xF0\x9F\x9A\xA2"), "a?"); // a ship has no Windows-1252 form
}

using Rows = std::vector<std::array<float, 4>>;

TEST(ParseYaw, ValuesRunColumnByColumnHoweverTheyAreSpread) {
    const Rows two = {{1, 3, 5, 7}, {2, 4, 6, 8}};
    const std::pair<const char*, Rows> cases[] = {
        {"2\r\n1, 2\r\n3, 4\r\n5, 6\r\n7, 8\r\n", two},
        // The count rounds halves to even; none or fewer is an empty table, not an error.
        {"2.5\n1,2,3,4,5,6,7,8", two},
        {"0.5", {}},
    };
    for (const auto& [text, rows] : cases) {
        const YawReadResult r = ParseYaw(text, "Yaw.txt");
        ASSERT_TRUE(r.ok()) << text << ": " << r.Error;
        EXPECT_EQ(r.Table->Rows, rows) << text;
    }
}

} // namespace
} // namespace mv
