#include "aids/cpa_computer.h"
#include "core/number_text.h"
#include "tests/support/angles.h"
#include "tests/support/clock_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using mv::SightingEntries;
using mv::SightingRows;
using mv::test::AngleGap;
using mv::test::ClockMinutes;

TEST(CpaComputer, TextbookTwoSightingProblem) {
    // Own vessel 000 at 12 kn. Sightings as read off the radar:
    //   10:00:00  bearing 036.9  range 10.0 nm  -> (N 8.0, E 6.0)
    //   10:12:00  bearing 021.8  range 5.39 nm  -> (N 5.0, E 2.0)
    // Worked on the plotting sheet:
    //   relative motion in 12 min: (-3.0, -4.0), 5.0 nm -> SRM 25.0 kn, DRM 233.1
    //   CPA: 5.0 x 2.0 along the track projects to 4.6 nm still to run; the foot of the
    //   perpendicular lies at (2.24, -1.68): CPA 2.80 nm bearing 323.1
    //   TCPA: 4.6 nm at 25 kn = 11.04 min after 10:12:00 -> 10:23:02
    //   target true vector = own (12, 0) + relative (-15, -20) = (-3, -20):
    //   course 261.5, speed 20.2 kn
    // Held to what a plotting examiner allows: 0.2 nm, 3 degrees, 0.5 kn, 1 minute.
    const SightingRows rows{SightingEntries{"10", "00", "00", "10", "36.9"},
                            SightingEntries{"10", "12", "00", "5.39", "21.8"}};
    const auto got = mv::ComputeCpaComputer(rows, 0, 12);
    ASSERT_TRUE(got.ok()) << got.Error;
    const auto& t = *got.Texts;
    EXPECT_LT(AngleGap(std::stod(t.Course), 261.5), 3) << t.Course;
    EXPECT_NEAR(std::stod(t.Speed), 20.2, 0.5) << t.Speed;
    EXPECT_NEAR(std::stod(t.CPA), 2.80, 0.2) << t.CPA;
    EXPECT_TRUE(t.CPA.ends_with(" NM")) << t.CPA;
    EXPECT_LT(AngleGap(std::stod(t.BCPA), 323.1), 3) << t.BCPA;
    EXPECT_NEAR(ClockMinutes(t.TCPA), ClockMinutes("10:23:02"), 1) << t.TCPA;
    EXPECT_NEAR(std::stod(t.SRM), 25.0, 0.5) << t.SRM;
    EXPECT_LT(AngleGap(std::stod(t.DRM), 233.1), 3) << t.DRM;
    EXPECT_EQ(t.YourCourse, "000");
    EXPECT_EQ(t.YourSpeed, "12.0");
}

TEST(CpaComputer, StandingEchoAndStoppedOwnVessel) {
    // The same range and bearing twice: no relative motion, the CPA is where it is now.
    const SightingRows still{SightingEntries{"12", "00", "00", "4", "100"},
                             SightingEntries{"12", "06", "00", "4", "100"}};
    const auto got = mv::ComputeCpaComputer(still, 45, 12);
    ASSERT_TRUE(got.ok()) << got.Error;
    EXPECT_EQ(got.Texts->SRM, ".0");
    EXPECT_EQ(got.Texts->DRM, "000");
    EXPECT_EQ(got.Texts->CPA, "4.00 NM");
    EXPECT_EQ(got.Texts->BCPA, "100");
    EXPECT_EQ(got.Texts->TCPA, "12:06:00");

    // Stopped, the own vessel gives no speed triangle: reported, not computed.
    const auto stopped = mv::ComputeCpaComputer(still, 45, 0);
    EXPECT_FALSE(stopped.ok());
    EXPECT_FALSE(stopped.Error.empty());
}

TEST(CpaComputer, Validation) {
    const SightingEntries first{"12", "00", "00", "6", "45"}, second{"12", "06", "00", "5", "44"};
    EXPECT_TRUE(mv::ValidateSightings({first, second}));
    const struct {
        const char* name;
        SightingEntries first, second;
        bool valid;
    } cases[] = {
        {"range 36", first, {"12", "06", "00", "36", "44"}, true},
        {"range 36.01", first, {"12", "06", "00", "36.01", "44"}, false},
        {"range 0", first, {"12", "06", "00", "0", "44"}, false},
        {"bearing 359.9", first, {"12", "06", "00", "5", "359.9"}, true},
        {"bearing 360", first, {"12", "06", "00", "5", "360"}, false},
        {"bearing with two points", first, {"12", "06", "00", "5", "4.4.1"}, false},
        {"empty minutes", first, {"12", "", "00", "5", "44"}, false},
        {"hour 24", first, {"24", "06", "00", "5", "44"}, false},
        {"single digits", first, {"12", "6", "0", "5", "44"}, true},
        {"same time", first, {"12", "00", "00", "5", "44"}, false},
        {"across midnight", {"23", "58", "00", "6", "45"}, {"00", "01", "00", "5", "44"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mv::ValidateSightings({c.first, c.second}).has_value(), c.valid) << c.name;
    EXPECT_NEAR(*mv::ParseTimeOfDay("12:06:30"), (12 * 3600 + 6 * 60 + 30) / 86400.0, 1e-12);
}

TEST(CpaComputer, FieldCeilingsAndCopy) {
    using mv::TimePart;
    EXPECT_EQ(mv::TimeFieldCeiling("75", TimePart::Minute), "59");
    EXPECT_EQ(mv::TimeFieldCeiling("25", TimePart::Hour), "24");
    EXPECT_EQ(mv::TimeFieldCeiling("07", TimePart::Minute), "07");

    // 12:34:56 on the clock, VRM at 4.25 nm, EBL at 123.5 degrees.
    const double t = (12 * 3600 + 34 * 60 + 56) / 86400.0;
    EXPECT_EQ(mv::CopyEBLVRM(t, 4.25, 123.5f),
              (SightingEntries{"12", "34", "56", "4.25", "123.5"}));
    // A marker placed by the mouse is a single-precision figure and reads as one.
    EXPECT_EQ(mv::CopyEBLVRM(t, 0.1f, 0.1f).Range, ".1");
}

} // namespace
