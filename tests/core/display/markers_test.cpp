#include "core/display/display_commands.h"
#include "core/display/index_lines.h"
#include "core/display/markers.h"
#include "core/display/true_view_logic.h"

#include "core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace mv {
namespace {

const PointD kOwn{3.0, -4.0}; // north, east: away from the origin so no sign hides a bug

RadarDisplayState Display(double range) {
    RadarDisplayState s;
    s.Tick.Range = range;
    s.EBLOn = s.VRMOn = true;
    return s;
}

TEST(CursorClick, MeasuresFromTheOwnVesselWithinTheRing) {
    const struct {
        float bearing;
        double distance;
        int16_t mode;
        bool taken;
        float ebl;
        const char* rangeText;
        const char* bearingText;
    } cases[] = {
        {359.6f, 5.0, 1, true, 0.0f, "R 5.00 nm", "B 000"}, // would read 360: reads 000
        {0.0f, 12.0, 1, true, 0.0f, "R 12.00 nm", "B 000"}, // on the ring itself
        {90.0f, 12.01, 1, false, 0, "", ""},                // just outside the ring
        {90.0f, 5.0, 0, false, 0, "", ""},                  // keys mode
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bearing << " deg " << c.distance << " nm");
        RadarDisplayState s = Display(12.0);
        s.CursorMode = static_cast<InputMode>(c.mode);
        s.EBLBearing = 200.0f;
        s.VRMRange = 6.0;
        PointD p;
        PolarOffset(kOwn, p, c.bearing, c.distance);
        EXPECT_EQ(CursorClick(s, kOwn, p.Y, p.X), c.taken);
        EXPECT_EQ(s.EBLPending && s.VRMPending, c.taken);
        if (!c.taken) {
            EXPECT_TRUE(s.EBLBearing == 200.0f && s.VRMRange == 6.0 && !s.EBLPending &&
                        !s.VRMPending);
            continue;
        }
        EXPECT_NEAR(s.EBLBearing, c.ebl, 1e-3);
        EXPECT_NEAR(s.VRMRange, c.distance, 1e-5);
        EXPECT_EQ((PointD{s.CursorNorth, s.CursorEast}), p);
        EXPECT_EQ(CursorRangeCaption(s.VRMRange), c.rangeText);
        EXPECT_EQ(CursorBearingCaption(s.EBLBearing), c.bearingText);
        // The cross's arms reach 5 % of the range, 0.6 nm, each way.
        EXPECT_NEAR(DrawCursor(s).Horizontal.To.Y - p.Y, 0.6, 1e-9);
    }
}

// The picture's read-outs in the units the navigator reads everywhere else: miles to two
// decimals with "nm" (a range scale as the menu gives it), vectors in whole minutes.
TEST(Readouts, CarryTheirUnits) {
    RadarDisplayState s = Display(0.125);
    s.Tick.CourseUp = true;
    AidSettings rel;
    rel.Vectors = VectorMode::Relative;
    rel.VectorIndex = 2; // 3, 6, 12: the third choice
    AidSettings vectorsTrue;
    vectorsTrue.Vectors = VectorMode::True;
    s.Tick.Bearing = BearingMode::Course;
    TickDisplay northUp;
    northUp.NorthUp = true;
    RadarDisplayState sea = s;
    sea.Aids.SeaStabilised = true;
    const std::pair<std::string, std::string> cases[] = {
        {StabilisationCaption(sea), "SEA"},
        {VRMCaption(3.0), "VRM 3.00 nm"},
        {VRMCaption(0.245f), "VRM 0.25 nm"}, // a hair over 0.245 at single precision
        {CursorRangeCaption(0.5), "R 0.50 nm"},
        {RangeCaption(0.125), "RANGE 0.125 nm"},
        {RangeCaption(12), "RANGE 12 nm"},
        {RingCaption(0.05f), "RR 0.05 nm"},
        {RingCaption(2), "RR 2 nm"},
        {ModeCaption(s.Tick), "RM  C UP  COURSE"},
        {ModeCaption(northUp), "RM  N UP  RELATIVE"},
        {ModeCaption(TickDisplay{}), "RM  H UP  RELATIVE"},
        {VectorCaption(rel), "REL VECT 12 min"},
        {VectorCaption(vectorsTrue), "TRUE VECT 6 min"}, // six minutes unless chosen
        {VectorCaption(AidSettings{}), ""},
        {StabilisationCaption(s), "GND"},
    };
    for (const auto& [shown, expected] : cases)
        EXPECT_EQ(shown, expected);
}

TEST(EBLCaption, ReadsInTheChosenReference) {
    const struct {
        bool northUp;
        BearingMode mode;
        float ebl, heading;
        const char* caption;
    } cases[] = {
        {false, BearingMode::Relative, 90, 300, "EBL 090 RELATIVE"},
        {false, BearingMode::Course, 90, 300, "EBL 030 COURSE"}, // 390 comes round to 030
        {true, BearingMode::Course, 90, 300, "EBL 090 COURSE"},
        {true, BearingMode::Relative, 90, 300, "EBL 150 RELATIVE"}, // -210 comes round to 150
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        RadarDisplayState s = Display(12.0);
        s.Tick.NorthUp = c.northUp;
        s.Tick.Bearing = c.mode;
        s.EBLBearing = c.ebl;
        EXPECT_EQ(EBLCaption(s, c.heading), c.caption);
    }
}

TEST(VRMLimits, NeverZeroNeverPastTheRange) {
    const struct {
        double vrm;
        MarkerButton button;
        int16_t held; // ticks already held
        double after;
    } cases[] = {
        {0.12, MarkerButton::VRMIn, 0, 0.12},   // at one small step (1 % of 12): stays
        {0.13, MarkerButton::VRMIn, 0, 0.01},   // just above it: goes in
        {0.48, MarkerButton::VRMIn, 5, 0.48},   // at one large step (4 %): stays
        {11.9, MarkerButton::VRMOut, 0, 11.9},  // less than a step short of the edge: stays
        {11.88, MarkerButton::VRMOut, 0, 12.0}, // exactly a step short: reaches the edge
        {11.6, MarkerButton::VRMOut, 5, 11.6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.vrm << " held " << c.held);
        RadarDisplayState s = Display(12.0);
        s.VRMRange = static_cast<float>(c.vrm);
        ASSERT_TRUE(PressMarkerButton(s, c.button));
        s.HoldCount = c.held;
        UtilityTick(s);
        EXPECT_NEAR(s.VRMRange, c.after, 1e-5);
        EXPECT_FALSE(ReleaseMarkerButton(s, MarkerButton::EBLClock)); // not the one held
    }
}

TEST(EBLSteps, ComeRoundThroughNorthEitherWay) {
    for (auto [from, button, after] : {std::tuple{0.5f, MarkerButton::EBLCtrClock, 359.5f},
                                       {359.5f, MarkerButton::EBLClock, 0.5f}}) {
        RadarDisplayState s = Display(12.0);
        s.EBLBearing = from;
        ASSERT_TRUE(PressMarkerButton(s, button));
        EXPECT_EQ(UtilityTick(s), UtilityTickResult::EBLMoved);
        EXPECT_EQ(s.EBLBearing, after) << from;
    }
}

TEST(VRMLimits, WheelAndAShorterRange) {
    RadarDisplayState s = Display(6.0);
    s.VRMRange = 3.0;
    EXPECT_TRUE(WheelVRM(s, 2)); // a notch is one small step, 1 % of the range
    EXPECT_NEAR(s.VRMRange, 3.12, 1e-5);
    // A shorter range pulls the ring in to its edge; a ring inside it stays.
    for (auto [vrm, range, after] : {std::tuple{10.0, 6.0, 6.0}, {1.5, 6.0, 1.5}}) {
        s.VRMRange = vrm;
        SetRadarRange(s, range);
        EXPECT_EQ(s.Tick.Range, range);
        EXPECT_EQ(s.VRMRange, after) << vrm;
    }
}

// Worked with a pencil about an own vessel away from the origin: 3-4-5 triangles, a chord
// through the centre, a line from outside the ring and lines that miss it.
TEST(SecondEBL, LineInsideTheRangeCircle) {
    const double r2 = 7.0 * std::sqrt(2.0); // a chord at 45 degrees from a point on a 5 nm ring
    const struct {
        double north, east, bearing, radius; // origin from the own vessel, nm and degrees
        bool crosses;
        double enter, leave;
    } cases[] = {
        {0, 0, 45, 6, true, 0, 6},    // from the own vessel: the range out to the ring
        {3, 0, 90, 5, true, 0, 4},    // 3 north, going east: the ring 4 nm on
        {3, 0, 0, 5, true, 0, 2},     // going north: 2 nm to the ring
        {3, 0, 180, 5, true, 0, 8},   // going south through the centre to the far side
        {0, 3, 270, 5, true, 0, 8},   // 3 east, going west through the centre
        {-3, 4, 315, 5, true, 0, r2}, // from a point on the ring, across it
        {10, 0, 180, 6, true, 4, 16}, // from outside: enters 4 nm on, leaves 16 nm on
        {10, 0, 0, 6, false, 0, 0},   // from outside, pointing away
        {10, 0, 90, 6, false, 0, 0},  // passes the ring by
        {6, 0, 90, 6, false, 0, 0},   // only grazes it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.north << " N " << c.east << " E " << c.bearing);
        const PointD origin{kOwn.X + c.north, kOwn.Y + c.east};
        const auto inside = LineInCircle(origin, c.bearing, kOwn, c.radius);
        ASSERT_EQ(inside.has_value(), c.crosses);
        if (!inside) continue;
        EXPECT_NEAR(inside->first, c.enter, 1e-9);
        EXPECT_NEAR(inside->second, c.leave, 1e-9);
    }
    const struct {
        double north, east, bearing, range;
    } points[] = {
        {3, 4, 53.1301, 5}, {0, -3, 270, 3}, {-2, 0, 180, 2}, {-1, -1, 225, std::sqrt(2.0)},
        {0, 0, 0, 0}, // the origin itself
    };
    for (const auto& p : points) {
        const BearingRange b = FromOrigin(kOwn, PointD{kOwn.X + p.north, kOwn.Y + p.east});
        EXPECT_NEAR(b.Bearing, p.bearing, 1e-4) << p.north << " N " << p.east << " E";
        EXPECT_NEAR(b.Range, p.range, 1e-9) << p.north << " N " << p.east << " E";
    }
}

// Heads-up on 090: the cursor 2 nm up the picture is 2 nm east of the own vessel. After the own
// vessel has run 2 nm north the origin lies 135 true, 045 relative, 2.83 nm off, up and to the
// right of the picture's centre by 2 nm each way.
TEST(SecondEBL, OffsetOriginStaysOnTheSea) {
    RadarDisplayState s = Display(6.0);
    s.Tick.NorthUp = false;
    s.CursorNorth = kOwn.X + 2;
    s.CursorEast = kOwn.Y;
    EXPECT_FALSE(OffsetEBL2(s, kOwn, 90.0f)); // keys mode: no cursor to start from
    EXPECT_FALSE(s.EBL2Offset || s.EBL2On);
    s.CursorMode = InputMode::Cursor;
    ASSERT_TRUE(OffsetEBL2(s, kOwn, 90.0f));
    EXPECT_TRUE(s.EBL2On && s.SelectedEBL == 2);
    EXPECT_NEAR(s.EBL2Origin.X, kOwn.X, 1e-9);
    EXPECT_NEAR(s.EBL2Origin.Y, kOwn.Y + 2, 1e-9);

    const PointD moved{kOwn.X + 2, kOwn.Y};
    const PointD onPicture = EBL2OriginOnPicture(s, moved, 90.0f);
    EXPECT_NEAR(onPicture.X, moved.X + 2, 1e-9);
    EXPECT_NEAR(onPicture.Y, moved.Y + 2, 1e-9);
    EXPECT_EQ(EBL2OriginCaption(s, moved, 90.0f), "FROM 045 2.83 nm");
    s.Tick.Bearing = BearingMode::Course;
    EXPECT_EQ(EBL2OriginCaption(s, moved, 90.0f), "FROM 135 2.83 nm");
    // The line itself: from the origin down the picture (screen 180) it crosses the centre's
    // row 2 nm below the origin and leaves the 6 nm ring on the far side.
    s.EBL2Bearing = 180.0f;
    const auto line = PlaceEBL2(s, moved, 90.0f);
    ASSERT_TRUE(line.has_value());
    EXPECT_NEAR(line->From.X, onPicture.X, 1e-9);
    EXPECT_NEAR(line->To.Y, moved.Y + 2, 1e-9);
    EXPECT_NEAR(line->To.X, moved.X - std::sqrt(32.0), 1e-9); // 2^2 + n^2 = 6^2
    EXPECT_EQ(EBL2Caption(s, 90.0f), "EBL2 270 COURSE");
    EXPECT_EQ(VRM2Caption(3.25), "VRM2 3.25 nm");
}

// The arrows and the wheel move the marker switched on last, and its twin once it goes off.
TEST(SecondEBL, TheLastSwitchedOnIsMoved) {
    Simulation sim;
    RadarDisplayState s = Display(12.0);
    s.EBLOn = s.VRMOn = false;
    DisplayCommands show(sim, s);
    show.ToggleEBL();
    show.ToggleEBL2();
    show.ToggleVRM2();
    show.ToggleVRM();
    s.VRMRange = s.VRM2Range = 6.0;
    const auto turn = [&s] {
        PressMarkerButton(s, MarkerButton::EBLClock);
        UtilityTick(s);
        ReleaseMarkerButton(s, MarkerButton::EBLClock);
    };
    turn();
    EXPECT_EQ(s.EBL2Bearing + 10 * s.EBLBearing, 1.0f); // the second line turned
    EXPECT_TRUE(WheelVRM(s, 1));
    EXPECT_NEAR(s.VRMRange - s.VRM2Range, 0.12, 1e-5); // the first ring moved
    show.ToggleEBL2();
    show.ToggleVRM();
    turn();
    EXPECT_EQ(s.EBL2Bearing + 10 * s.EBLBearing, 11.0f);
    EXPECT_TRUE(WheelVRM(s, -1));
    EXPECT_NEAR(s.VRM2Range, 5.88, 1e-5);
    show.ToggleVRM2(); // both rings off: nothing for the wheel
    EXPECT_FALSE(WheelVRM(s, 1));
    // A shorter scale pulls the second ring in as it does the first.
    SetRadarRange(s, 3.0);
    EXPECT_EQ(s.VRMRange + s.VRM2Range, 6.0);
}

TEST(TrueView, RangeStepsStopAtTheEndsOfTheTableAndTheGridFollows) {
    // From index: moved up, range after; moved down, range after. 36 and 0.125 nm are the ends.
    for (auto [from, up, upRange, down, downRange] :
         {std::tuple{9, false, 36.0, true, 24.0}, {0, true, 0.25, false, 0.125}}) {
        RadarDisplayState s;
        s.TVRangeIndex = static_cast<int16_t>(from);
        s.TVRange = static_cast<double>(kRangeScales.at(static_cast<size_t>(from)));
        RadarDisplayState d = s;
        EXPECT_EQ(TrueViewRangeUp(s), up) << from;
        EXPECT_EQ(s.TVRange, upRange) << from;
        EXPECT_EQ(TrueViewRangeDown(d), down) << from;
        EXPECT_EQ(d.TVRange, downRange) << from;
    }
    EXPECT_EQ(
        TrueViewCaption(true, 36) + "|" + TrueViewCaption(true, 1.5) + "|" +
            TrueViewCaption(true, 0.125) + "|" + TrueViewCaption(false, 12),
        "True View   Grid 5.00 nm|True View   Grid 0.25 nm|True View   Grid 0.10 nm|True View");
}

// An index line runs at its true bearing at its distance from the own ship: a click through a
// point lays it there, and the picture's circle or its own length bounds it.
TEST(IndexLines, LieAtTheirBearingAndDistance) {
    const struct {
        float bearing;
        PointD through; // north, east
        double length, range;
        const char* caption;
        double half; // half its drawn length; 0: not drawn
    } lines[] = {
        {0, {4, 3}, 0, 12, "PI 1  000  3.00R", std::sqrt(144.0 - 9)},
        {0, {4, -3}, 4, 12, "PI 1  000  3.00L", 2},
        {45, {0, 2}, 0, 12, "PI 1  045  1.41R", std::sqrt(144.0 - 2)},
        {270, {1, 5}, 0, 6, "PI 1  270  1.00R", std::sqrt(35.0)},
        {90, {7, 0}, 0, 6, "PI 1  090  7.00L", 0},
    };
    for (const auto& l : lines) {
        SCOPED_TRACE(l.caption);
        const IndexLine line{true, l.bearing, OffsetThrough(l.bearing, l.through), l.length};
        EXPECT_EQ(IndexLineCaption(0, line), l.caption);
        const auto ends = IndexLineEnds(line, l.range);
        ASSERT_EQ(ends.has_value(), l.half > 0);
        if (!ends) continue;
        const auto [a, b] = *ends;
        // Both ends and the point lie on one line of the bearing; the ends straddle the foot.
        float bearing = 0;
        double length = 0;
        GetVector(a, b, bearing, length);
        EXPECT_NEAR(bearing, l.bearing, 1e-3);
        EXPECT_NEAR(length, 2 * l.half, 1e-9);
        const double cross = (b.X - a.X) * (l.through.Y - a.Y) - (b.Y - a.Y) * (l.through.X - a.X);
        EXPECT_NEAR(cross, 0, 1e-9);
        EXPECT_NEAR(std::hypot(a.X + b.X, a.Y + b.Y) / 2, std::fabs(line.Offset), 1e-9);
    }
}

} // namespace
} // namespace mv
