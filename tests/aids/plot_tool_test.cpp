#include "tools/plot/plot_tool.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Plot(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = mv::RunPlotTool(args, out, err);
    return {code, out.str(), err.str()};
}

// The number after "key": in a flat JSON object; fails the test when the key is missing.
double JsonValue(const std::string& json, const std::string& key, size_t from = 0) {
    const std::string tag = "\"" + key + "\":";
    const size_t at = json.find(tag, from);
    EXPECT_NE(at, std::string::npos) << key << " in " << json;
    if (at == std::string::npos) return -12345;
    return std::strtod(json.c_str() + at + tag.size(), nullptr);
}

// The line of a text block that starts with the label.
std::string LineOf(const std::string& text, const std::string& label) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(label)) return line;
    return {};
}

const std::vector<std::string> kHeadOn = {"sightings",      "--course", "0",
                                          "--speed",        "10",       "--first",
                                          "12:00:00,000,6", "--second", "12:06:00,0,4"};

TEST(PlotTool, WrongArgumentsAreUsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate"},
        {"demo"},
        {"demo", "a.dem", "b.dem"},
        {"demo", "a.dem", "--xml"},
        {"sightings"},
        {"sightings", "--course", "0", "--speed", "10", "--first", "12:00:00,0,6"},
        {"sightings", "--course", "0", "--speed", "10", "--first", "12:00:00,0,6", "--second"},
        {"sightings", "--course", "0", "--course", "1", "--speed", "10", "--first", "12:00:00,0,6",
         "--second", "12:06:00,0,4"},
        {"sightings", "--course", "0", "--speed", "10", "--first", "12:00:00,0,6", "--second",
         "12:06:00,0,4", "extra"},
        {"sightings", "--bogus", "1"},
    };
    for (const auto& args : cases) {
        const Outcome r = Plot(args);
        const std::string shown = args.empty() ? "(none)" : args.front();
        EXPECT_EQ(r.code, 2) << shown;
        EXPECT_TRUE(r.out.empty()) << shown;
        EXPECT_TRUE(r.err.starts_with("marovane-plot: ")) << r.err;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << shown;
    }
}

TEST(PlotTool, SightingFieldsAreChecked) {
    // Replace one field of the head-on run and expect a usage error naming the reason.
    struct Case {
        size_t index;
        const char* value;
        const char* reason;
    };
    const Case cases[] = {
        {8, "24:00:00,0,4", "time"},
        {8, "12:60:00,0,4", "time"},
        {8, "12:06:60,0,4", "time"},
        {8, "12:06,0,4", "time"},
        {8, "012:06:00,0,4", "time"},
        {8, ":06:00,0,4", "time"},
        {8, "12:06:00,360,4", "bearing"},
        {8, "12:06:00,-1,4", "bearing"},
        {8, "12:06:00,x,4", "bearing"},
        {8, "12:06:00,0,0", "range"},
        {8, "12:06:00,0,36.01", "range"},
        {8, "12:06:00,0", "expected"},
        {8, "12:06:00,0,4,5", "expected"},
        {2, "abc", "course"},
        {2, "360", "course"},
        {4, "-1", "speed"},
        {4, "", "speed"},
    };
    for (const auto& c : cases) {
        auto args = kHeadOn;
        args[c.index] = c.value;
        const Outcome r = Plot(args);
        EXPECT_EQ(r.code, 2) << c.value;
        const std::string first = r.err.substr(0, r.err.find('\n'));
        EXPECT_NE(first.find(c.reason), std::string::npos) << c.value << ": " << first;
    }
    // The limits themselves are accepted: range 36, bearing 359.9, single-digit time parts.
    auto args = kHeadOn;
    args[6] = "9:5:0,359.9,36";
    args[8] = "09:10:00,359.9,35";
    EXPECT_EQ(Plot(args).code, 0) << Plot(args).err;
}

TEST(PlotTool, HelpGoesToStandardOutput) {
    for (const auto& args : {std::vector<std::string>{"--help"}, {"demo", "--help"}}) {
        const Outcome r = Plot(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("usage:"), std::string::npos);
        EXPECT_TRUE(r.err.empty());
    }
}

TEST(PlotTool, SightingsText) {
    // Own 000/10; dead ahead 6 nm at 12:00:00, 4 nm at 12:06:00: closing 20 kn along 180, a
    // target on 180 at 10 kn, CPA 0 at 12:18:00.
    const Outcome r = Plot(kHeadOn);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_EQ(LineOf(r.out, "Target course"), "Target course       180");
    EXPECT_EQ(LineOf(r.out, "Target speed"), "Target speed       10.0 kt");
    EXPECT_EQ(LineOf(r.out, "CPA  "), "CPA                 .00 NM");
    EXPECT_EQ(LineOf(r.out, "TCPA"), "TCPA           12:18:00");
    EXPECT_EQ(LineOf(r.out, "SRM"), "SRM                20.0 kt");
    EXPECT_EQ(LineOf(r.out, "DRM"), "DRM                 180");
    EXPECT_EQ(LineOf(r.out, "Your course"), "Your course         000");
    EXPECT_EQ(LineOf(r.out, "Your speed"), "Your speed         10.0 kt");
}

TEST(PlotTool, SightingsJson) {
    auto args = kHeadOn;
    args.push_back("--json");
    const Outcome r = Plot(args);
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_TRUE(r.out.starts_with("{"));
    ASSERT_TRUE(r.out.ends_with("}\n"));
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1); // one line, one object
    EXPECT_NEAR(JsonValue(r.out, "course"), 180, 1e-3);
    EXPECT_NEAR(JsonValue(r.out, "speed"), 10, 1e-3);
    EXPECT_NEAR(JsonValue(r.out, "cpa"), 0, 1e-3);
    EXPECT_NEAR(JsonValue(r.out, "srm"), 20, 1e-3);
    EXPECT_NEAR(JsonValue(r.out, "drm"), 180, 1e-3);
    EXPECT_NE(r.out.find("\"time_of_cpa\":\"12:18:00\""), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
}

TEST(PlotTool, SightingsThatCannotBeComputed) {
    auto stopped = kHeadOn;
    stopped[4] = "0";
    auto backwards = kHeadOn;
    std::swap(backwards[6], backwards[8]);
    for (const auto& [args, text] :
         {std::pair{stopped, "The own vessel is stopped"},
          std::pair{backwards, "The second sighting must be later than the first."}}) {
        const Outcome r = Plot(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.out.empty());
        EXPECT_NE(r.err.find(text), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("usage:"), std::string::npos);
    }
}

class PlotDemo : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("plot_tool_" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    fs::path dir_;
};

// Own vessel 000/10. Target 1 dead ahead 6 nm on 180/10: SRM 20, DRM 180, CPA 0, TCPA 18 min.
// Target 2 at 090, 8 nm on 270/10: relative (-10, -10), DRM 225, SRM 14.14; the foot of the
// perpendicular is (-4, 4): CPA 5.66 on 135, 5.657 nm on at 14.14 kn, TCPA 24.0 min.
const std::string kTwoTargets = "Test\r\n 3 \r\nMEDIUM, 000, 10\r\nMEDIUM, 180, 10, 000, 6\r\n"
                                "LARGE, 270, 10, 090, 8\r\nA description.\r\n";

TEST_F(PlotDemo, Json) {
    const Outcome r = Plot({"demo", Write("two.dem", kTwoTargets), "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    ASSERT_TRUE(r.out.starts_with("{\"targets\":[{"));
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);
    const size_t second = r.out.find("\"vessel\":2");
    ASSERT_NE(second, std::string::npos);
    struct Want {
        const char* key;
        double first, second;
    };
    const Want wants[] = {{"vessel", 1, 2},     {"bearing", 0, 90},   {"range", 6, 8},
                          {"cpa", 0, 5.6569},   {"tcpa_min", 18, 24}, {"drm", 180, 225},
                          {"srm", 20, 14.1421}, {"course", 180, 270}, {"speed", 10, 10}};
    for (const auto& w : wants) {
        EXPECT_NEAR(JsonValue(r.out, w.key), w.first, 1e-3) << w.key;
        EXPECT_NEAR(JsonValue(r.out, w.key, second), w.second, 1e-3) << w.key;
    }
    EXPECT_NEAR(JsonValue(r.out, "bcpa", second), 135, 1e-3);
}

TEST_F(PlotDemo, Text) {
    const Outcome r = Plot({"demo", Write("two.dem", kTwoTargets)});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(LineOf(r.out, "Test"), "Test - own vessel course 000, speed 10.0 kt.");
    const std::string t1 = LineOf(r.out, "     1");
    const std::string t2 = LineOf(r.out, "     2");
    for (const char* cell : {" 000 ", "6.00 nm", " 180 ", "0.00 nm.", "18.0 min.", "20.0 kt."})
        EXPECT_NE(t1.find(cell), std::string::npos) << cell << " in " << t1;
    for (const char* cell :
         {" 090 ", "8.00 nm", "5.66 nm.", " 135 ", "24.0 min.", " 225 ", "14.1 kt."})
        EXPECT_NE(t2.find(cell), std::string::npos) << cell << " in " << t2;
    // Every row of the table is as wide as its heading: the columns line up.
    EXPECT_EQ(t1.size(), LineOf(r.out, "Target").size());
    EXPECT_EQ(t2.size(), t1.size());
}

TEST_F(PlotDemo, NoTargets) {
    const Outcome r =
        Plot({"demo", Write("alone.dem", "Alone\r\n 1 \r\nSMALL, 090, 5\r\nNone.\r\n"), "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "{\"targets\":[]}\n");
}

TEST_F(PlotDemo, UnreadableFile) {
    for (const std::string& path : {(dir_ / "missing.dem").string(),
                                    Write("short.dem", "Broken\r\n 3 \r\nMEDIUM, 000, 10\r\n")}) {
        const Outcome r = Plot({"demo", path});
        EXPECT_EQ(r.code, 1) << path;
        EXPECT_TRUE(r.out.empty());
        EXPECT_TRUE(r.err.starts_with("marovane-plot: ")) << r.err;
        EXPECT_EQ(r.err.find("usage:"), std::string::npos);
    }
}

} // namespace
