#include "tools/plot/plot_tool.h"

#include "core/geometry.h"
#include "core/record/run_writer.h"
#include "core/scenario/demo_file.h"
#include "core/scenario/random_traffic.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Plot(const Args& args) {
    std::ostringstream out, err;
    const int code = mv::RunPlotTool(args, out, err);
    return {code, out.str(), err.str()};
}

// The number after "key": in a flat JSON object; fails the test when the key is missing.
double JsonValue(const std::string& json, const std::string& key, size_t from = 0) {
    const size_t at = json.find("\"" + key + "\":", from);
    EXPECT_NE(at, std::string::npos) << key << " in " << json;
    return at == std::string::npos ? -12345
                                   : std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

// The line of a text block that starts with the label.
std::string LineOf(const std::string& text, const std::string& label) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(label)) return line;
    return {};
}

// Own 000/10; dead ahead 6 nm at 12:00:00, 4 nm at 12:06:00: closing 20 kn along 180, a target
// on 180 at 10 kn, CPA 0 at 12:18:00.
const Args kHeadOn = {"sightings", "--course",       "0",        "--speed",     "10",
                      "--first",   "12:00:00,000,6", "--second", "12:06:00,0,4"};

Args With(Args args, const Args& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

TEST(PlotTool, WrongArgumentsAreUsageErrors) {
    const Args firstOnly(kHeadOn.begin(), kHeadOn.end() - 2);
    const std::pair<Args, std::string> cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"sightings", "--bogus", "1"}, "unknown option '--bogus' for sightings"},
        {firstOnly, "sightings needs --second"},
        {With(firstOnly, {"--second"}), "option --second needs a value"},
        {With(kHeadOn, {"--course", "1"}), "option --course is given twice"},
        {With(kHeadOn, {"extra"}), "unexpected argument 'extra'"},
        {{"demo", "x.dem", "--at", "11:59"},
         "--at must be a time HH:MM or HH:MM:SS from 12:00 to 23:59:59, not '11:59'"},
        {{"demo", "x.dem", "--at", "12:06", "--vector", "5"},
         "--vector must be 3, 6, 12, 15 or 30 minutes, not '5'"},
        {{"demo", "x.dem", "--vector", "6"}, "--vector goes with --at"},
        {{"random", "--level", "hard"},
         "--level 'hard': the level must be easy, moderate or difficult"},
    };
    for (const auto& [args, reason] : cases) {
        const Outcome r = Plot(args);
        EXPECT_TRUE(r.code == 2 && r.out.empty()) << reason;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "marovane-plot: " + reason);
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << r.err;
    }
}

TEST(PlotTool, SightingFieldsAreChecked) {
    // Argument index, value, the reason given.
    const std::tuple<size_t, const char*, const char*> cases[] = {
        {8, "24:00:00,0,4", "the time must be HH:MM:SS within one day"},
        {8, "12:06:00,360,4", "the bearing must be a number from 0 up to (not including) 360"},
        {8, "12:06:00,0,36.01", "the range must be more than 0 and at most 36 nautical miles"},
        {8, "12:06:00,0", "expected HH:MM:SS,BEARING,RANGE"},
        {4, "-1", "the speed must be a number of knots from 0 to 1000"},
    };
    for (const auto& [index, value, reason] : cases) {
        auto args = kHeadOn;
        args[index] = value;
        const Outcome r = Plot(args);
        EXPECT_EQ(r.code, 2) << value;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
                  "marovane-plot: " + args[index - 1] + " '" + value + "': " + reason);
    }
}

TEST(PlotTool, SightingsAsJson) {
    const Outcome json = Plot(With(kHeadOn, {"--json"}));
    ASSERT_EQ(json.code, 0) << json.err;
    ASSERT_TRUE(json.out.starts_with("{") && json.out.ends_with("}\n"));
    const std::pair<const char*, double> keys[] = {
        {"course", 180}, {"speed", 10}, {"cpa", 0}, {"srm", 20}, {"drm", 180}};
    for (auto [key, value] : keys)
        EXPECT_NEAR(JsonValue(json.out, key), value, 1e-3) << key;
    EXPECT_NE(json.out.find("\"time_of_cpa\":\"12:18:00\""), std::string::npos) << json.out;
    // The action for a wanted CPA, as the CPA computer's window works it for the same sightings.
    const Outcome steer =
        Plot({"sightings", "--course", "0", "--speed", "12", "--first", "10:00:00,53.1,10",
              "--second", "10:12:00,57.3,6.66", "--cpa", "2"});
    EXPECT_NE(steer.out.find("Course, to starboard  060\nor speed              3.2 kn"),
              std::string::npos)
        << steer.out;
    EXPECT_EQ(Plot({"sightings", "--course", "0", "--speed", "12", "--first", "10:00:00,53.1,10",
                    "--second", "10:12:00,57.3,6.66", "--port"})
                  .code,
              2);
}

struct PlotDemo : ::testing::Test {
    mv::test::TempDir dir;
};

// Own vessel 000/10. Target 1 dead ahead 6 nm on 180/10: SRM 20, DRM 180, CPA 0, TCPA 18 min.
// Target 2 at 090, 8 nm on 270/10: relative (-10, -10), DRM 225, SRM 14.14; the foot of the
// perpendicular is (-4, 4): CPA 5.66 on 135, 5.657 nm on at 14.14 kn, TCPA 24.0 min.
const std::string kTwoTargets = "Test\r\n 3 \r\nMEDIUM, 000, 10\r\nMEDIUM, 180, 10, 000, 6\r\n"
                                "LARGE, 270, 10, 090, 8\r\nA description.\r\n";

TEST_F(PlotDemo, JsonAndText) {
    const std::string two = dir.Write("two.dem", kTwoTargets);
    const Outcome r = Plot({"demo", two, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_TRUE(r.out.starts_with("{\"targets\":[{\"vessel\":\"B\",")) << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);
    const size_t second = r.out.find("{\"vessel\":\"C\",");
    ASSERT_NE(second, std::string::npos);
    // The figures are the CPA arithmetic's; these show each lands under its own key.
    const std::pair<const char*, double> wants[] = {
        {"bearing", 90}, {"range", 8},     {"cpa", 5.6569}, {"bcpa", 135}, {"tcpa_min", 24},
        {"drm", 225},    {"srm", 14.1421}, {"course", 270}, {"speed", 10}};
    for (auto [key, value] : wants)
        EXPECT_NEAR(JsonValue(r.out, key, second), value, 1e-3) << key;

    // Every row of the table is as wide as its heading: the columns line up.
    const std::string text = Plot({"demo", two}).out;
    EXPECT_EQ(LineOf(text, "     C").size(), LineOf(text, "Target").size());
}

// A bare name is looked up in the demo folders, first to last; missing, the message names them.
TEST_F(PlotDemo, BareNameFoundInTheDemoFolders) {
    const std::vector<std::filesystem::path> folders{dir.path / "shipped", dir.path / "user"};
    for (const auto& folder : folders)
        std::filesystem::create_directories(folder);
    dir.Write("user/two.dem", kTwoTargets);
    std::ostringstream out, err;
    EXPECT_EQ(mv::RunPlotTool({"demo", "two.dem"}, out, err, folders), 0) << err.str();
    EXPECT_EQ(out.str(), Plot({"demo", (folders[1] / "two.dem").string()}).out);
    EXPECT_EQ(mv::RunPlotTool({"demo", "none.dem"}, out, err, folders), 1);
    EXPECT_NE(err.str().find((dir.path / "user").string()), std::string::npos) << err.str();
}

TEST_F(PlotDemo, UnreadableFileOrUncomputableSightingsExitWithOne) {
    auto stopped = kHeadOn;
    stopped[4] = "0";
    const std::pair<Args, std::string> cases[] = {
        {stopped, "The own vessel is stopped"},
        {{"demo", dir.Write("short.dem", "Broken\r\n 3 \r\nMEDIUM, 000, 10\r\n")},
         "Input past end of file (line 4 of short.dem)"},
    };
    for (const auto& [args, text] : cases) {
        const Outcome r = Plot(args);
        EXPECT_TRUE(r.code == 1 && r.out.empty()) << text;
        EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("usage:"), std::string::npos);
    }
}

TEST_F(PlotDemo, RandomExerciseByNumberAsTextAndDemo) {
    const Args args = {"random", "--level", "moderate", "--number", "4711"};
    const Outcome text = Plot(args);
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(LineOf(text.out, "Exercise"),
              "Exercise 4711, moderate - own vessel A course 000, speed 5.0 kn");
    EXPECT_NE(LineOf(text.out, "     E "), "") << text.out; // the fourth target's row
    const mv::RandomTraffic traffic = mv::GenerateRandomTraffic(mv::Difficulty::Moderate, 4711);

    // Stored, it reads back with the same positions and speeds, courses in whole degrees.
    const std::string file = (dir.path / "exercise.dem").string();
    ASSERT_EQ(Plot(With(args, {"--out", file})).out, text.out);
    const mv::DemoReadResult read = mv::ReadDemoFile(file);
    ASSERT_TRUE(read.ok()) << read.Error;
    EXPECT_EQ(read.Scenario->Title, "Random traffic, moderate, exercise 4711");
    ASSERT_EQ(read.Scenario->Vessels.size(), 5u);
    const mv::DemoVessel& e = read.Scenario->Vessels[4];
    EXPECT_TRUE(e.Speed == traffic.Targets[3].Speed && e.Range == traffic.Targets[3].Range &&
                e.Heading == traffic.Tables.Vessel[4].NewHeading);
    EXPECT_EQ(Plot(With(args, {"--out", (dir.path / "no/such/folder.dem").string()})).code, 1);
}

} // namespace

// A recorded head-on meeting: own 000/10 from the origin, B 180/10 from 6 nm ahead; a moment at
// 12:00 and one at 12:06, when B is 4 nm ahead and 12 minutes from passing through the own
// vessel.
TEST(PlotRun, AMomentOfARecordGivesThePositionsAndCpaDataThenAndTheEventsTheirTimes) {
    const mv::test::TempDir dir;
    const auto path = dir.path / "run.mvrun";
    {
        std::string error;
        std::vector<mv::RunTick> moments(2);
        for (int m = 0; m < 2; ++m) {
            mv::RunTick& t = moments[static_cast<size_t>(m)];
            t.Index = m;
            t.SimTime = 0.5 + m * 6.0 / 1440.0;
            t.Vessels = {{{m * 1.0, 0.0}, 0.0f, 10.0f, 0, 10.0f},
                         {{6.0 - m * 1.0, 0.0}, 180.0f, 10.0f, 180, 10.0f}};
        }
        auto w = mv::RunWriter::Create(path,
                                       {{"Head on", "Head.dem", "2026-12-07T14:30:15Z", "0"},
                                        {{0, "A", mv::kMedium}, {1, "B", mv::kSmall}},
                                        moments[0],
                                        {}},
                                       error);
        ASSERT_TRUE(w) << error;
        w->AddTick(moments[1]);
        w->AddEvent({1, 0.5 + 6.0 / 1440.0, "order", 1, "B ordered to 270 T, 10.0 kt"});
    }
    const Outcome at = Plot({"run", path.string(), "--at", "12:06", "--json"});
    ASSERT_EQ(at.code, 0) << at.err;
    EXPECT_EQ(JsonValue(at.out, "north_nm", at.out.find("\"B\"")), 5.0);
    EXPECT_NEAR(JsonValue(at.out, "cpa"), 0.0, 1e-4);
    EXPECT_NEAR(JsonValue(at.out, "tcpa_min"), 12.0, 1e-3);
    const Outcome events = Plot({"run", path.string(), "--events"});
    EXPECT_NE(events.out.find("12:06:00  order  B       B ordered to 270 T, 10.0 kt"),
              std::string::npos)
        << events.out;
    EXPECT_EQ(Plot({"run", path.string(), "--at", "11:00"}).code, 2);
    const Outcome text = Plot({"run", dir.Write("x.mvrun", "Test\r\n 2\r\n")});
    EXPECT_EQ(text.code, 1);
    EXPECT_NE(text.err.find("x.mvrun is not a Marovane run record"), std::string::npos) << text.err;
}
