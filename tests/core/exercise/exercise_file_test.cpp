#include "core/exercise/exercise_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

const char* const kFog = R"(title = "Fog off the headland"
time_limit = 30
restricted_visibility = true

[scenario]
[[scenario.vessel]]
course = 0
speed = 12
[[scenario.vessel]]
size = "large"
course = 180
speed = 10
bearing = 5
range = 8
[[scenario.vessel]]
fixed = true
bearing = 90
range = 3

[current]
set = 45
drift = 2

[[order]]
at = 12:03:00
vessel = "B"
course = 90

[allow]
cpa_info = false
time_factors = [1, 2]

[[question]]
at = "12:06"
targets = ["B"]
figures = ["cpa", "tcpa", "aspect"]

[action]
min_cpa = 2
act_by = 12:20:00

[tolerance]
cpa = 0.3
speed = 1.5
drift = 0.8
)";

TEST(ExerciseFile, ReadsEverySectionAndBuildsItsSimulation) {
    const auto read = mv::ParseExercise(kFog, "Fog.toml");
    ASSERT_TRUE(read.ok()) << read.Error;
    const mv::AssessedExercise& e = *read.Exercise;
    EXPECT_TRUE(e.RestrictedVisibility);
    EXPECT_EQ(e.Current, (mv::SeaCurrent{45, 2}));
    EXPECT_FALSE(e.Allowed.CpaInfo);
    EXPECT_EQ(e.Allowed.TimeFactors, (std::vector<int16_t>{1, 2}));
    ASSERT_EQ(e.Questions.size(), 1u);
    EXPECT_NEAR(e.Questions[0].At, 0.5 + 6.0 / 1440, 1e-12);
    EXPECT_EQ(e.Questions[0].Line, 33);
    EXPECT_EQ(e.Tolerance.Cpa, 0.3);
    EXPECT_EQ(e.Tolerance.Tcpa, 2); // the default stands
    EXPECT_EQ(e.Tolerance.Of(mv::Figure::Speed), 1.5);
    EXPECT_EQ(e.Tolerance.Of(mv::Figure::Drift), 0.8);

    mv::Simulation sim;
    ASSERT_EQ(mv::BuildExerciseSimulation(e, {}, {}, sim), "");
    // The fixed echo steams against the current; B is given its order in the tick that
    // reaches 12:03:00 and turns from the next, 5 degrees a tick as a large vessel does.
    EXPECT_EQ(sim.Vessels.Vessel[2].Heading, 225);
    EXPECT_EQ(sim.Vessels.Vessel[2].Speed, 2);
    mv::TickDisplay display;
    mv::UnseenView view;
    for (int t = 0; t < 60; ++t)
        sim.Tick(display, view);
    EXPECT_EQ(sim.Vessels.Vessel[1].Heading, 180);
    sim.Tick(display, view);
    EXPECT_EQ(sim.Vessels.Vessel[1].Heading, 175);
    EXPECT_NEAR(sim.Vessels.VesselPos[2].Y, 3, 1e-6);
}

// The video keys, placed from the own ship wherever she starts: 4 nm due east of her, a
// shower's centre is 4 nm further east (Y); 2 nm on 180, a SART 2 nm further south (X).
TEST(ExerciseFile, VideoKeysPlaceTheWeatherFromTheOwnShip) {
    const auto read = mv::ParseExercise(R"([scenario]
[[scenario.vessel]]
course = 0
[video]
presentation = "video"
band = "S"
sea_state = 4
wind_from = 225
side_lobes = false
rain = [{bearing = 90, range = 4, radius = 1.5, intensity = 0.8, drift = 10}]
sector = [{from = 170, to = 190}]
racon = [{bearing = 0, range = 6, letter = "k"}]
sart = {bearing = 180, range = 2}
)",
                                        "x.toml");
    ASSERT_TRUE(read.ok()) << read.Error;
    const mv::ExerciseVideo& v = read.Exercise->Video;
    EXPECT_TRUE(v.Video);
    EXPECT_EQ(v.Band, mv::RadarBand::S);
    mv::VesselTables start;
    start.Create(1);
    start.VesselPos[0] = {10, -5};
    const mv::VideoWorld w = mv::VideoWorldFor(v, start);
    EXPECT_EQ(w.SeaState, 4);
    EXPECT_EQ(w.WindFrom, 225);
    EXPECT_FALSE(w.SideLobes);
    EXPECT_TRUE(w.MultipleEchoes && w.IndirectEchoes && !w.Ducting);
    ASSERT_EQ(w.Rain.size(), 1u);
    EXPECT_NEAR(w.Rain[0].Centre.X, 10, 1e-9);
    EXPECT_NEAR(w.Rain[0].Centre.Y, -1, 1e-9);
    EXPECT_EQ(w.Rain[0].Drift, 10);
    ASSERT_EQ(w.Sectors.size(), 1u);
    EXPECT_TRUE(w.Sectors[0].Blind); // a sector is blind unless the file says a shadow
    ASSERT_EQ(w.Racons.size(), 1u);
    EXPECT_EQ(w.Racons[0].Morse, "-.-"); // K, the letter in either case
    EXPECT_NEAR(w.Racons[0].Position.X, 16, 1e-9);
    ASSERT_EQ(w.Sarts.size(), 1u);
    EXPECT_NEAR(w.Sarts[0].X, 8, 1e-9);
    EXPECT_NEAR(w.Sarts[0].Y, -5, 1e-9);
    // No [video]: the plain picture, in X band, the Seas menu's sea.
    const mv::ExerciseVideo plain =
        mv::ParseExercise("[scenario]\ndemo = \"A.dem\"\n", "x.toml").Exercise->Video;
    EXPECT_FALSE(plain.Video || plain.SeaState || !plain.Rain.empty());
}

// Every exercise shipped opens with its scenario built, the radar-video lessons in video.
TEST(ExerciseFile, EveryShippedExerciseOpens) {
    int videos = 0;
    for (const auto& entry : std::filesystem::directory_iterator(MAROVANE_DATA_DIR)) {
        if (entry.path().extension() != ".toml") continue;
        mv::Simulation sim;
        const auto read = mv::LoadExercise(entry.path(), {MAROVANE_DATA_DIR}, sim);
        ASSERT_TRUE(read.ok()) << read.Error;
        EXPECT_GE(sim.Vessels.NumVessels, 2) << entry.path();
        const bool video = entry.path().filename().string().starts_with("Video");
        EXPECT_EQ(read.Exercise->Video.Video, video) << entry.path();
        videos += video;
    }
    EXPECT_EQ(videos, 6);
}

TEST(ExerciseFile, EveryMistakeIsToldWithItsLineAndKey) {
    const std::string own = "[scenario]\n[[scenario.vessel]]\ncourse = 0\n";
    const struct {
        std::string text, message;
    } cases[] = {
        {"title = \"x\"\n[scenario\n", "x.toml, line 2"},
        {"titel = \"x\"\n" + own, "line 1, titel: unknown key"},
        {"title = 1\n", "line 1, title: must be a text in quotes"},
        {"title = \"x\"\n", "line 1, scenario: is missing"},
        {"[scenario]\ndemo = \"A.dem\"\nlevel = \"easy\"\n", "line 1, scenario: must name exactly"},
        {"[scenario]\nlevel = \"hard\"\n", "line 2, scenario.level: must be \"easy\""},
        {own + "speed = 120\n", "line 4, scenario.vessel[1].speed: must be a number of knots"},
        {own + "[radar]\ngyro_error = 5.5\n",
         "line 5, radar.gyro_error: must be a number of degrees from -5 to 5"},
        {own + "[radar]\nlog_error = -12\n",
         "line 5, radar.log_error: must be a number of percent from -10 to 10"},
        {own + "[radar]\ncompass = 1\n", "line 5, radar.compass: unknown key"},
        {own + "[video]\npresentation = \"raw\"\n",
         "line 5, video.presentation: must be \"video\" or \"plain\""},
        {own + "[video]\nband = \"L\"\n", "line 5, video.band: must be \"X\""},
        {own + "[video]\nsea_state = 7\n", "line 5, video.sea_state: must be a number"},
        {own + "[video]\nsea_state = 2.5\n", "line 5, video.sea_state: must be a whole"},
        {own + "[video]\nwind = 90\n", "line 5, video.wind: unknown key"},
        {own + "[[video.rain]]\nbearing = 90\nrange = 3\nradius = 0\n",
         "line 7, video.rain[1].radius: must be a number of nautical miles from 0.1 to 10"},
        {own + "[[video.rain]]\nbearing = 90\nintensity = 1\n",
         "line 4, video.rain[1].range: is missing"},
        {own + "[video]\nrain = [" +
             [] {
                 std::string r;
                 for (int i = 0; i < 9; ++i)
                     r += "{bearing = 0, range = 1},";
                 return r;
             }() +
             "]\n",
         "line 5, video.rain: has 9 entries; at most 8"},
        {own + "[[video.sector]]\nfrom = 170\n", "line 4, video.sector[1].to: is missing"},
        {own + "[[video.racon]]\nbearing = 10\nrange = 4\nletter = \"DK\"\n",
         "line 7, video.racon[1].letter: must be one letter or digit"},
        {own + "[video.sart]\nbearing = 400\nrange = 2\n",
         "line 5, video.sart.bearing: must be a number of degrees true from 0 to 360"},
        {own + "[[scenario.vessel]]\nrange = 2\n",
         "line 4, scenario.vessel[2].bearing: is missing"},
        {own + "[current]\nset = 45\n", "line 4, current: needs both"},
        {own + "[current]\nset = 45.5\ndrift = 1\n", "line 5, current.set: must be whole"},
        {own + "[[order]]\nat = 11:00:00\n", "line 5, order[1].at: must be a time"},
        {own + "[[order]]\nat = 12:01:00\nvessel = \"A\"\n", "line 6, order[1].vessel: must name"},
        {own + "[[order]]\nat = 12:01:00\nvessel = \"B\"\n", "line 4, order[1]: orders nothing"},
        {own + "[allow]\ntime_factors = [3]\n", "line 5, allow.time_factors: must list"},
        {own + "[allow]\npause = \"no\"\n", "line 5, allow.pause: must be true or false"},
        {own + "[allow]\ntracking = \"apra\"\n",
         "line 5, allow.tracking: must be \"truth\" or \"arpa\""},
        {own + "[allow]\ntraking = \"arpa\"\n", "line 5, allow.traking: unknown key"},
        {own + "[[question]]\nat = 12:06:00\nfigures = [\"range\"]\n",
         "line 6, question[1].figures: must list"},
        {own + "[action]\nact_by = 12:10:00\n", "line 4, action.min_cpa: is missing"},
        {own + "[tolerance]\ncpa = -1\n", "line 5, tolerance.cpa: must be a number"},
        // The exercise ends in the tick that reaches its time limit: nothing is asked then.
        {"time_limit = 30\n" + own + "[[question]]\nat = 12:30:00\nfigures = [\"cpa\"]\n",
         "line 6, question[1].at: must come before the time limit, 12:30:00"},
        {"time_limit = 30\n" + own + "[action]\nmin_cpa = 2\nact_by = 12:30:03\n",
         "line 7, action.act_by: must be no later than the time limit, 12:30:00"},
        {own + "[action]\nmin_cpa = 2\ntargets = [\"B\", \"C\", \"B\"]\n",
         "line 6, action.targets: names B twice"},
        // Letters beyond ASCII are welcome in quotes and comments, and nowhere else.
        {"# caf\xc3\xa9\ntitle = \"\"\"\n\xce\xa9\"\"\"\"\nx = \xce\xa9\n", "x.toml, line 4"},
        {"bearing = 95\"\"\"\xef\xb1\xbf\"\"\"\n", "x.toml, line 1"},
        {"\xc3\xa9 = 1\n", "x.toml, line 1: a letter beyond plain ASCII"},
        {"tiqle = 66\\sced[\"\xca\x93\xc9\x9a = 6-[", "x.toml, line 1"},
    };
    for (const auto& c : cases) {
        const auto read = mv::ParseExercise(c.text, "x.toml");
        EXPECT_FALSE(read.ok()) << c.text;
        EXPECT_NE(read.Error.find(c.message), std::string::npos) << read.Error;
    }
    // A question in the last minute and an action due at the limit itself are fair.
    EXPECT_TRUE(mv::ParseExercise("time_limit = 30\n" + own +
                                      "[[question]]\nat = 12:29:00\nfigures = [\"cpa\"]\n"
                                      "[action]\nmin_cpa = 2\nact_by = 12:30:00\n",
                                  "x.toml")
                    .ok());
    // A target the scenario does not have is caught when the simulation is built.
    auto read =
        mv::ParseExercise(own + "[[order]]\nat = 12:01:00\nvessel = \"C\"\nspeed = 0\n", "x.toml");
    ASSERT_TRUE(read.ok()) << read.Error;
    mv::Simulation sim;
    EXPECT_NE(mv::BuildExerciseSimulation(*read.Exercise, {}, {}, sim).find("line 4"),
              std::string::npos);
    EXPECT_EQ(sim.Vessels.NumVessels, 0);
}

} // namespace
