// The demo chooser's list and preview, and the scenario a user types.
#include "core/scenario/demo_list.h"
#include "core/scenario/own_targets.h"

#include "core/geometry.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

TEST(LoadDemoList, ShippedInAlphabeticalOrderThenTheUsersAndUnreadableFilesSaid) {
    test::TempDir dir;
    const fs::path user = dir.path / "user";
    EXPECT_TRUE(LoadDemoList(dir.path).NoDemos);
    EXPECT_EQ(LoadDemoList(dir.path).Error, "No demos found!");
    dir.Write("b crossing.dem", "Crossing\r\n 1 \r\nMEDIUM, 000, 12\r\n");
    dir.Write("Apple.DEM", "\r\n 1 \r\nMEDIUM, 000, 12\r\n"); // empty title
    dir.Write("c.dem", "Caf\xE9\r\n 1 \r\nS, 0, 0\r\n");      // Windows-1252 title
    dir.Write("notes.txt", "not a demo\r\n");
    fs::create_directory(dir.path / "folder.dem");
    dir.Write("Empty.dem", "");
    // The user's own follow the shipped ones; a name in both is listed twice, apart.
    fs::create_directory(user);
    dir.Write("user/b crossing.dem", "Mine\r\n 1 \r\nM, 0, 0\r\n");
    dir.Write("user/Broken.dem", "");
    const DemoList list = LoadDemoList(dir.path, user);
    EXPECT_EQ(list.Entries, (Texts{"  \tApple.DEM", "  Crossing\tb crossing.dem",
                                   "  Caf\xC3\xA9\tc.dem", "  Mine\tb crossing.dem"}));
    EXPECT_EQ(list.Paths.at(3), user / "b crossing.dem");
    // A broken file of the user's is named with its folder.
    EXPECT_EQ(list.Error + "|" + list.UserError,
              "Input past end of file (line 1 of Empty.dem)|Input past end of file (line 1 of "
              "Broken.dem) in " +
                  user.string());
}

TEST(DemoDescriptionPreview, TitleInCapitalsThenTheDescriptionWithoutVessels) {
    test::TempDir dir;
    dir.Write("Three.dem", "Three ships, caf\xE9\r\n 2 \r\nMEDIUM, 000, 10\r\nSMALL, 090, 5, 045, "
                           "6\r\n  Plot the echo.\r\nIt\r\ncloses fast\r\n\r\nAct early.\r\n");
    const DescriptionPreview p = DemoDescriptionPreview(dir.path, "Three.dem");
    ASSERT_TRUE(p.ok()) << p.Error;
    EXPECT_EQ(
        p.Text,
        "THREE SHIPS, CAF\xC3\x89\r\n\r\nPlot the echo.\r\nIt closes fast \r\nAct early.\r\n");
}

TEST(CheckTargetCount, MessagesAndTheRowsShown) {
    // Text typed; message; text put in its place ("" none); rows shown (0: left as they are).
    for (auto [text, message, newText, rows] :
         {std::tuple{" 5", "", "", 5},
          {"6", "May not have more than five targets", "1", 1},
          {"0", "Must have at least one target.", "1", 1},
          {"2x", "Must enter a number!", "", 0}}) {
        const TargetCountCheck check = CheckTargetCount(text);
        EXPECT_EQ(check.Message, message) << text;
        EXPECT_EQ(check.NewText.value_or(""), newText) << text;
        EXPECT_EQ(check.Rows.value_or(0), rows) << text;
    }
}

OwnTargetFields TwoTargets() {
    OwnTargetFields f;
    f.Targets = " 2";
    f.Rows[0] = {1, "045.5", "12", "", ""};
    f.Rows[1] = {2, "270", "10", "6", "045"};
    f.Rows[2] = {0, "44.5", "5.5", "8.25", "300"};
    f.Rows[3] = {0, "999", "x", "0", "360"}; // hidden row: never checked
    return f;
}

TEST(ValidateOwnTargets, BoundariesInOrderNamingTheField) {
    using F = OwnTargetField;
    // Row, field, text; the message, or "" when the value passes.
    const std::tuple<int, F, const char*, const char*> cases[] = {
        {0, F::Heading, "359.9", ""},
        {0, F::Heading, "360", "Invalid heading"},
        {1, F::Speed, "99.9", ""},
        {1, F::Speed, "100", "Invalid speed"},
        {2, F::Range, "250", ""},
        {2, F::Range, "0", "Invalid range"},
        {1, F::Bearing, "360", "Invalid bearing"},
        {1, F::Bearing, "12abc", "Invalid bearing"}, // the whole text is what counts
        {0, F::Range, "0", ""},                      // the own vessel has no range
    };
    for (const auto& [rowIndex, field, text, message] : cases) {
        OwnTargetFields f = TwoTargets();
        OwnTargetRow& row = f.Rows[static_cast<size_t>(rowIndex)];
        (field == F::Heading ? row.Heading
         : field == F::Speed ? row.Speed
         : field == F::Range ? row.Range
                             : row.Bearing) = text;
        const auto want =
            *message ? std::optional(FieldFailure{rowIndex, field, message}) : std::nullopt;
        EXPECT_EQ(ValidateOwnTargets(f, 2), want) << rowIndex << " " << text;
    }
    // The first failure in row order wins, heading before speed.
    OwnTargetFields f = TwoTargets();
    f.Rows[2].Heading = "400";
    f.Rows[1].Speed = "100";
    f.Rows[1].Bearing = "400";
    EXPECT_EQ(ValidateOwnTargets(f, 2), (FieldFailure{1, F::Speed, "Invalid speed"}));
    EXPECT_EQ(ValidateOwnTargets(TwoTargets(), 3),
              (FieldFailure{3, F::Heading, "Invalid heading"}));
}

TEST(LoadOwnTargets, BuildsNewTablesFromTheFieldTextsAndBackIntoADemo) {
    const OwnTargetsBuild b = LoadOwnTargets(TwoTargets());
    ASSERT_TRUE(b.ok()) << b.Error;
    VesselTables t = *b.Tables;
    // The own vessel keeps 45.5 and orders 46; a target's heading is the rounded one.
    EXPECT_TRUE(t.Vessel[0].Heading == 45.5f && t.Vessel[0].NewHeading == 46);
    EXPECT_TRUE(t.Vessel[2].Heading == 44.0f && t.Vessel[2].NewSpeed == 5.5f);
    EXPECT_EQ(t.Vessel[1].Size, kLarge);
    PointD expected;
    PolarOffset({}, expected, 300.0f, 8.25);
    EXPECT_NEAR(std::hypot(t.VesselPos[2].X - expected.X, t.VesselPos[2].Y - expected.Y), 0, 1e-6);

    OwnTargetFields north = TwoTargets();
    north.Rows[0].Heading = "359.6"; // orders 000, never 360
    EXPECT_EQ(LoadOwnTargets(north).Tables->Vessel[0].NewHeading, 0);
    t.SaveStartState();
    t.Vessel[1].Heading = 200.0f; // under way since the start: the rows still show the start
    const OwnTargetFields f = OpeningFields(t, {});
    EXPECT_EQ(f.Targets + "|" + f.Rows[1].Heading + "|" + f.Rows[1].Range + "|" + f.Rows[2].Range,
              " 2|270|6.0|8.3");
    const DemoRecord r = OwnTargetsDemoRecord(TwoTargets(), *b.Tables, "Mine", "Plot.");
    EXPECT_EQ(DemoFileText(r), "Mine\r\n 3 \r\nMEDIUM, 045.5, 12\r\nLARGE, 270, 10, 045, 6\r\n"
                               "SMALL, 44.5, 5.5, 300, 8.25\r\nPlot.\r\n");
}

TEST(LoadOwnTargets, AFieldThatIsNoNumberGivesAnErrorAndNoTables) {
    const std::pair<void (*)(OwnTargetFields&), const char*> cases[] = {
        {[](OwnTargetFields& f) { f.Rows[2].Speed = "5.5.1"; },
         "Type mismatch: \"5.5.1\" is not a number (speed of vessel C)"},
        {[](OwnTargetFields& f) { f.Rows[0].Heading = "40000"; },
         "Overflow: \"40000\" is outside -32768 to 32767 (heading of vessel A)"},
        {[](OwnTargetFields& f) { f.Targets = "6"; },
         "Subscript out of range: 6 targets (1 to 5 allowed)"},
        // A speed the arithmetic cannot take is refused at entry.
        {[](OwnTargetFields& f) { f.Rows[1].Speed = "1e308"; },
         "Overflow: \"1e308\" is over 1e15, too large to plot (speed of vessel B)"},
    };
    for (const auto& [change, error] : cases) {
        OwnTargetFields f = TwoTargets();
        change(f);
        const OwnTargetsBuild b = LoadOwnTargets(f);
        EXPECT_FALSE(b.Tables.has_value());
        EXPECT_EQ(b.Error, error);
    }
}

} // namespace
} // namespace mv
