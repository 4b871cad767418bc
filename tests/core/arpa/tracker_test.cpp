// The tracker on the radar's plots, against what a navigator works out by hand for targets on
// straight lines: the time it takes, its lag on a turn, losing a faded echo, swapping echoes
// that pass close, and its capacity.

#include "core/arpa/tracker.h"
#include "core/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using Where = std::function<mv::PointD(int slot, double seconds)>;

// A vessel on a straight line from `start` (nautical miles) on `course` at `speed` knots.
mv::PointD Along(mv::PointD start, double course, double speed, double seconds) {
    mv::MovePoint(start, static_cast<float>(course), speed * seconds / 3600.0);
    return start;
}

// Scans `first` to `last` with every vessel where `where` puts it, each scan given to the
// tracker.
void Steps(mv::Tracker& tracker, const mv::RadarSettings& radar, const mv::VesselTables& v,
           int64_t first, int64_t last, const Where& where) {
    std::vector<mv::PointD> pos(static_cast<size_t>(v.NumVessels) + 1);
    for (int64_t k = first; k <= last; ++k) {
        for (int i = 0; i < v.NumVessels; ++i)
            pos[static_cast<size_t>(i)] = where(i, 2.5 * double(k));
        tracker.Update(mv::MakeScan(radar, k, v, pos));
    }
}

mv::VesselTables Vessels(int n, double size) {
    mv::VesselTables v;
    v.Create(static_cast<int16_t>(n));
    for (int i = 1; i < n; ++i)
        v.Vessel[static_cast<size_t>(i)].Size = size;
    return v;
}

double Days(double seconds) {
    return 0.5 + seconds / 86400.0;
}

// Own ship 000 at 10 kt from the origin; a coaster from 2 nm N, 3 nm E on 270 at 12 kt.
// Relative motion (-10, -12) kt from (2, 3): after 3 minutes the target lies at (1.5, 2.4)
// relative, TCPA (1.5 * 10 + 2.4 * 12) / 244 h = 10.77 min, CPA 0.384 nm. Past positions a
// minute apart are 12 / 60 = 0.2 nm apart. At 3.6 nm the largest bearing error a radar may
// have (2 degrees at 95 %) leaves about 3 degrees and 0.5 kt of error in a 3-minute track.
TEST(Tracker, SteadyTargetTrendInAMinutePredictionInThree) {
    for (uint64_t exercise = 1; exercise <= 10; ++exercise) {
        SCOPED_TRACE(exercise);
        const mv::RadarSettings radar{.Exercise = exercise};
        const auto v = Vessels(2, mv::kMedium);
        const Where where = [](int slot, double s) {
            return slot == 0 ? Along({0, 0}, 0, 10, s) : Along({2, 3}, 270, 12, s);
        };
        mv::Tracker tracker;
        const int id = *tracker.Acquire({2, 3}, Days(0));
        Steps(tracker, radar, v, 1, 23, where);
        const mv::Track& t = *tracker.Find(id);
        EXPECT_FALSE(t.Trend(tracker.Settings()));
        Steps(tracker, radar, v, 24, 24, where); // 60 s
        EXPECT_TRUE(t.Trend(tracker.Settings()));
        EXPECT_EQ(t.State, mv::TrackState::Tracked);
        Steps(tracker, radar, v, 25, 71, where);
        EXPECT_FALSE(t.Prediction(tracker.Settings()));
        Steps(tracker, radar, v, 72, 72, where); // 180 s
        ASSERT_TRUE(t.Prediction(tracker.Settings()));
        EXPECT_NEAR(std::remainder(t.Course() - 270.0, 360.0), 0.0, 8.0);
        EXPECT_NEAR(t.Speed(), 12.0, 1.5);
        const auto cpa = mv::TrackCpa(t, where(0, 180), 0, 10);
        EXPECT_NEAR(cpa.CPA, 0.384, 0.4);
        EXPECT_NEAR(cpa.TCPA, 10.77, 1.0);
        Steps(tracker, radar, v, 73, 120, where); // 5 minutes
        ASSERT_EQ(t.PastCount, 4);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(std::hypot(t.Past[i].Y - t.Past[i + 1].Y, t.Past[i].X - t.Past[i + 1].X),
                        0.2, 0.05);
    }
}

// A target on 000 at 15 kt turns at once to 060 after 6 minutes. A minute later the track's
// course lies between the two; eight minutes after the turn it has settled on 060.
TEST(Tracker, LagsATurnThenSettles) {
    for (uint64_t exercise = 1; exercise <= 5; ++exercise) {
        SCOPED_TRACE(exercise);
        const mv::RadarSettings radar{.Exercise = exercise};
        const auto v = Vessels(2, mv::kMedium);
        const mv::PointD turn = Along({-1, 2}, 0, 15, 360);
        const Where where = [&](int slot, double s) {
            if (slot == 0) return mv::PointD{};
            return s <= 360 ? Along({-1, 2}, 0, 15, s) : Along(turn, 60, 15, s - 360);
        };
        mv::Tracker tracker;
        const int id = *tracker.Acquire({-1, 2}, Days(0));
        Steps(tracker, radar, v, 1, 144 + 24, where); // to a minute after the turn
        const mv::Track& t = *tracker.Find(id);
        EXPECT_GT(t.Course(), 5.0);
        EXPECT_LT(t.Course(), 55.0);
        Steps(tracker, radar, v, 169, 144 + 192, where);
        EXPECT_NEAR(t.Course(), 60.0, 6.0);
        EXPECT_NEAR(t.Speed(), 15.0, 1.0);
    }
}

// Plots given by hand, one per scan, exactly on the target's line: "x" a plot, "." none.
// Lost at the scan that makes five misses among the last ten, not before; four misses in any
// ten, however often, keep it.
TEST(Tracker, LostAfterFiveMissesInTenScans) {
    struct Case {
        const char* scans;
        int lostAt; // index into scans, or -1
    } cases[] = {
        {".....", 4},
        {"....x.", 5},
        {"x.x.x.x.x.", 9},
        {"....xxxxxx....xxxxxx....x", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scans);
        mv::Tracker tracker;
        const int id = *tracker.Acquire({3, 0}, Days(0));
        int64_t k = 0;
        mv::PointD last;
        auto scan = [&](bool plot) {
            ++k;
            mv::Scan s{k, Days(2.5 * double(k)), {}, {}};
            const mv::PointD p = Along({3, 0}, 90, 12, 2.5 * double(k));
            if (plot) s.Plots.push_back({1, 90, 3, p}), last = p;
            tracker.Update(s);
        };
        for (int i = 0; i < 20; ++i)
            scan(true);
        tracker.TakeEvents();
        for (int i = 0; c.scans[i]; ++i) {
            scan(c.scans[i] == 'x');
            const bool lost = tracker.Find(id)->State == mv::TrackState::Lost;
            ASSERT_EQ(lost, c.lostAt >= 0 && i >= c.lostAt) << "scan " << i;
        }
        const auto events = tracker.TakeEvents();
        if (c.lostAt < 0) continue;
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].Kind, mv::TrackEventKind::Lost);
        EXPECT_EQ(events[0].Track, id);
        EXPECT_EQ(events[0].Position, last);
        EXPECT_EQ(tracker.Find(id)->Position, last);
    }
}

// A large ship from 8 nm N heads away at 30 kt with a 1 m antenna (a boat's radar): its
// horizon is 2.2 (1 + 5) = 13.2 nm, reached after 10.4 minutes (250 scans). It fades before
// that as its echo weakens, and is lost no later than five scans beyond it.
TEST(Tracker, FadingEchoIsLost) {
    const mv::RadarSettings radar{.Exercise = 5, .AntennaHeight = 1.0};
    const auto v = Vessels(2, mv::kLarge);
    const Where where = [](int slot, double s) {
        return slot == 0 ? mv::PointD{} : Along({8, 0}, 0, 30, s);
    };
    mv::Tracker tracker;
    const int id = *tracker.Acquire({8, 0}, Days(0));
    Steps(tracker, radar, v, 1, 24, where);
    EXPECT_EQ(tracker.Find(id)->State, mv::TrackState::Tracked);
    Steps(tracker, radar, v, 25, 255, where);
    EXPECT_EQ(tracker.Find(id)->State, mv::TrackState::Lost);
    const auto events = tracker.TakeEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().Kind, mv::TrackEventKind::Lost);
    EXPECT_LE(events.back().Position.X, 13.2 + 0.2);
}

// Two coasters at 12 kt on 000 and 020 that meet 3 nm N of a stopped own ship after 10
// minutes, within each other's gates for a few minutes. In exercise 1 each track is carried
// off on the other's echo, and says so.
TEST(Tracker, EchoesPassingCloseSwap) {
    const auto v = Vessels(3, mv::kMedium);
    const Where where = [](int slot, double s) {
        return slot == 0 ? mv::PointD{} : Along({3, 0}, slot == 1 ? 0 : 20, 12, s - 600);
    };
    mv::Tracker tracker;
    const int a = *tracker.Acquire(where(1, 0), Days(0));
    const int b = *tracker.Acquire(where(2, 0), Days(0));
    Steps(tracker, mv::RadarSettings{.Exercise = 1}, v, 1, 480, where);
    EXPECT_EQ(tracker.Find(a)->Echo, 2);
    EXPECT_EQ(tracker.Find(b)->Echo, 1);
    int last[3] = {0, 1, 2}; // the echo each track followed, by the events
    for (const auto& e : tracker.TakeEvents()) {
        if (e.Kind != mv::TrackEventKind::Swapped) continue;
        EXPECT_EQ(e.FromEcho, last[e.Track]);
        EXPECT_EQ(e.FromEcho + e.ToEcho, 3);
        last[e.Track] = e.ToEcho;
    }
    EXPECT_EQ(last[a], 2);
    EXPECT_EQ(last[b], 1);
}

// 95 % of 40 is 38: the 39th track warns, once; the 41st is refused. A cancelled track's
// number is given again.
TEST(Tracker, CapacityWarnsAt39AndRefusesThe41st) {
    mv::Tracker tracker;
    for (int i = 1; i <= 40; ++i)
        ASSERT_EQ(tracker.Acquire({double(i), 0}, Days(0)), i);
    EXPECT_FALSE(tracker.Acquire({0, 5}, Days(0)));
    std::vector<int> warned;
    int refused = 0;
    for (const auto& e : tracker.TakeEvents()) {
        if (e.Kind == mv::TrackEventKind::CapacityWarning) warned.push_back(e.Track);
        refused += e.Kind == mv::TrackEventKind::Refused;
    }
    EXPECT_EQ(warned, std::vector<int>{39});
    EXPECT_EQ(refused, 1);
    EXPECT_TRUE(tracker.Cancel(5));
    EXPECT_EQ(tracker.Acquire({0, 5}, Days(0)), 5);
    tracker.CancelAll();
    EXPECT_TRUE(tracker.Tracks().empty());
}

// Zones across north: 350 to 010 holds 355 and 005, not 180; equal ends are the whole ring.
// Three targets: in the zone, in an exclusion area within it, outside it. Only the first is
// acquired, once, and a third zone is refused.
TEST(Tracker, AutomaticAcquisitionInZonesOutsideExclusions) {
    const mv::RingSector north{2, 6, 350, 10}, ring{5, 6, 0, 0};
    EXPECT_TRUE(north.Contains(355, 3));
    EXPECT_TRUE(north.Contains(5, 3));
    EXPECT_FALSE(north.Contains(180, 3));
    EXPECT_FALSE(north.Contains(0, 7));
    EXPECT_TRUE(ring.Contains(200, 5.5));

    const auto v = Vessels(4, mv::kMedium);
    const Where where = [](int slot, double s) {
        const mv::PointD start[] = {{}, {4, -0.3}, {3, 0.3}, {-4, 0}};
        return Along(start[slot], 90, slot == 0 ? 0 : 10, s);
    };
    mv::Tracker tracker;
    EXPECT_TRUE(tracker.SetAutoZones({north, ring}));
    EXPECT_FALSE(tracker.SetAutoZones({north, ring, ring}));
    tracker.SetExclusions({{2.5, 3.5, 0, 10}});
    Steps(tracker, mv::RadarSettings{.Exercise = 4}, v, 1, 48, where);
    ASSERT_EQ(tracker.Tracks().size(), 1u);
    EXPECT_EQ(tracker.Tracks()[0].Echo, 1);
}

} // namespace
