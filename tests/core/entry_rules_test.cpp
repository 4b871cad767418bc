// What the navigator reads and gets: directions that never read 360, the copied sighting, the
// hold's rate and the moderate traffic's margin.

#include "core/aids/cpa_computer.h"
#include "core/display/markers.h"
#include "core/number_text.h"

#include <gtest/gtest.h>

namespace {

using namespace mv;

TEST(EntryRules, DirectionsFoldToNorthBeforeTheyRead360) {
    const struct {
        double degrees;
        bool tenths;
        const char* text;
    } cases[] = {
        {359.4, false, "359"},     {359.5, false, "000"},   {359.99, false, "000"},
        {-0.4, false, "000"},      {-1, false, "359"},      {720.2, false, "000"},
        {45.06543, true, "045.1"}, {359.96, true, "000.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DirectionText(c.degrees, c.tenths), c.text) << c.degrees;
}

TEST(EntryRules, CopiedSightingIsTheTrueBearingInTheFieldsFigures) {
    const struct {
        bool northUp;
        float heading, screen;
        const char* bearing;
    } cases[] = {
        {false, 90.0f, 45.5f, "135.5"},   // heads-up: the screen counts from the heading
        {false, 300.0f, 59.96f, "000.0"}, // past north, and never 360.0
        {true, 90.0f, 45.06543f, "045.1"},
    };
    for (const auto& c : cases) {
        RadarDisplayState s;
        s.Tick.NorthUp = c.northUp;
        s.EBLBearing = c.screen;
        // 12:34:56 on the clock.
        EXPECT_EQ(CopyEBLVRM(45296 / 86400.0, 6.296166, EBLTrueBearing(s, c.heading)),
                  (SightingEntries{"12", "34", "56", "6.30", c.bearing}));
    }
}

TEST(EntryRules, AHeldEblTurnsAsFarAsItsTimeSaysHoweverLateTheTimerFires) {
    // A second held turns the EBL 5 x 1 + 5 x 5 = 30 degrees; the timer's firings come every
    // `interval` milliseconds, and the release at `held` catches up what is left.
    const struct {
        int interval, held;
        float degrees;
    } cases[] = {{105, 1000, 30}, {250, 1000, 30}, {105, 400, 4}};
    for (const auto& c : cases) {
        RadarDisplayState s;
        s.EBLOn = true;
        ASSERT_TRUE(PressMarkerButton(s, MarkerButton::EBLClock));
        const auto run = [&s](int due) {
            for (int i = 0; i < due; ++i)
                UtilityTick(s);
        };
        for (int t = c.interval; t <= c.held; t += c.interval)
            run(UtilityTicksDue(s.HoldCount, t, true));
        run(UtilityTicksDue(s.HoldCount, c.held, false));
        EXPECT_EQ(s.EBLBearing, c.degrees) << c.interval << " ms";
    }
}

} // namespace
