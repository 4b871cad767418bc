#pragma once
// The tracker's accuracy as the performance standard for plotting aids checks it: four
// situations, each run on many exercise numbers, the target acquired at its first plot and
// its errors taken one minute (the trend) and three minutes (the prediction) later against
// the straight-line truth. Shared by the accuracy test and bench/arpa_accuracy, which prints
// the table. Nautical miles (X north, Y east), knots, degrees true, minutes.

#include "core/arpa/tracker.h"
#include "core/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace mv::accuracy {

// Own ship on 000. The target's start relative to the own ship and its relative motion are
// the standard's; its true motion is worked by hand as own velocity plus relative velocity
// (north, east):
//  1  own 10 kn, target 8 nm dead ahead, relative 180/20: (10,0) + (-20,0) = (-10,0): 180/10,
//     closing head on, CPA 0 in 24 min.
//  2  own 10 kn, target at 1 nm N 0.5 nm W (333.4, 1.12 nm), relative 090/10:
//     (10,0) + (0,10) = 045/14.14; crosses ahead, CPA 1.00 nm dead ahead in 3 min.
//  3  own 5 kn, target 8 nm on 045, relative 225/20 = (-14.14,-14.14):
//     (-9.14,-14.14): 237.1/16.84; a steady bearing, CPA 0 in 24 min.
//  4  as 3 with own 25 kn: (10.86,-14.14): 307.5/17.83.
struct Situation {
    const char* Name;
    double OwnSpeed;
    PointD Start;          // relative, nautical miles
    double TrueCourse;     // degrees, worked above
    double TrueSpeed;      // knots
    double RelativeCourse; // the standard's
    double RelativeSpeed;
};

inline const std::vector<Situation>& Situations() {
    static const std::vector<Situation> s = {
        {"ARPA test 1", 10, {8, 0}, 180.0, 10.0, 180, 20},
        {"ARPA test 2", 10, {1, -0.5}, 45.0, 14.142, 90, 10},
        {"ARPA test 3", 5, {5.6569, 5.6569}, 237.12, 16.84, 225, 20},
        {"ARPA test 4", 25, {5.6569, 5.6569}, 307.52, 17.83, 225, 20},
    };
    return s;
}

// The errors of one run at one moment; course errors in degrees, speeds knots, CPA nm, TCPA
// minutes.
struct Errors {
    double RelCourse = 0, RelSpeed = 0, Cpa = 0, Tcpa = 0, TrueCourse = 0, TrueSpeed = 0;
};

inline double AngleError(double a, double b) {
    return std::abs(std::remainder(a - b, 360.0));
}

inline double CourseOf(double vx, double vy) {
    const double c = std::atan2(vy, vx) * 180.0 / 3.14159265358979323846;
    return c < 0 ? c + 360.0 : c;
}

// One run: errors at 1 and 3 minutes after acquisition, or false if the target was never
// seen in the first 40 scans (100 s).
inline bool Run(const Situation& sit, uint64_t exercise, Errors& trend, Errors& prediction) {
    constexpr double kScan = 2.5; // seconds
    const RadarSettings radar{.Exercise = exercise};
    VesselTables v;
    v.Create(2);
    v.Vessel[0].Speed = static_cast<float>(sit.OwnSpeed);
    v.Vessel[1].Size = kLarge;
    const double rad = 3.14159265358979323846 / 180.0;
    const double tvx = sit.TrueSpeed * std::cos(sit.TrueCourse * rad);
    const double tvy = sit.TrueSpeed * std::sin(sit.TrueCourse * rad);
    auto at = [&](double seconds) {
        const double h = seconds / 3600.0;
        const PointD own{sit.OwnSpeed * h, 0};
        return std::vector<PointD>{own, {sit.Start.X + tvx * h, sit.Start.Y + tvy * h}, {}};
    };
    Tracker tracker;
    int64_t first = 0;
    std::optional<int> id;
    for (int64_t k = 0; k < 40 && !id; ++k) {
        const Scan s = MakeScan(radar, k, v, at(kScan * double(k)));
        if (s.Plots.empty()) continue;
        id = tracker.Acquire(s.Plots[0].Position, s.Time);
        tracker.Update(s);
        first = k;
    }
    if (!id) return false;
    for (int64_t k = first + 1; k <= first + 72; ++k) {
        const double seconds = kScan * double(k);
        const auto pos = at(seconds);
        tracker.Update(MakeScan(radar, k, v, pos));
        if (k != first + 24 && k != first + 72) continue;
        const Track& t = *tracker.Find(*id);
        // The truth by the straight line: relative position r and velocity w, TCPA -r.w/w.w.
        const double wx = sit.RelativeSpeed * std::cos(sit.RelativeCourse * rad);
        const double wy = sit.RelativeSpeed * std::sin(sit.RelativeCourse * rad);
        const double rx = pos[1].X - pos[0].X, ry = pos[1].Y - pos[0].Y;
        const double tcpa = -(rx * wx + ry * wy) / (wx * wx + wy * wy); // hours
        const double cpa = std::hypot(rx + wx * tcpa, ry + wy * tcpa);
        const double ex = t.VX - sit.OwnSpeed, ey = t.VY;
        const CpaResult c = TrackCpa(t, pos[0], 0.0f, static_cast<float>(sit.OwnSpeed));
        Errors& e = k == first + 24 ? trend : prediction;
        e.RelCourse = AngleError(CourseOf(ex, ey), sit.RelativeCourse);
        e.RelSpeed = std::abs(std::hypot(ex, ey) - sit.RelativeSpeed);
        e.Cpa = std::abs(c.CPA - cpa);
        e.Tcpa = std::abs(c.TCPA - tcpa * 60.0);
        e.TrueCourse = AngleError(CourseOf(t.VX, t.VY), sit.TrueCourse);
        e.TrueSpeed = std::abs(std::hypot(t.VX, t.VY) - sit.TrueSpeed);
    }
    return true;
}

// The 95th percentile of each error over exercises 1 .. runs.
struct Table {
    Errors Trend, Prediction;
    int Runs = 0;
};

inline double Percentile95(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<size_t>(std::ceil(0.95 * double(v.size()))) - 1;
    return v[i];
}

inline Table Measure(const Situation& sit, int runs) {
    std::vector<Errors> trend, prediction;
    for (int i = 1; i <= runs; ++i) {
        Errors a, b;
        if (Run(sit, static_cast<uint64_t>(i), a, b)) {
            trend.push_back(a);
            prediction.push_back(b);
        }
    }
    auto p95 = [](const std::vector<Errors>& all) {
        Errors out;
        double Errors::*fields[] = {&Errors::RelCourse, &Errors::RelSpeed,   &Errors::Cpa,
                                    &Errors::Tcpa,      &Errors::TrueCourse, &Errors::TrueSpeed};
        for (auto f : fields) {
            std::vector<double> v;
            for (const Errors& e : all)
                v.push_back(e.*f);
            out.*f = Percentile95(v);
        }
        return out;
    };
    return {p95(trend), p95(prediction), static_cast<int>(trend.size())};
}

// The standard's limits at 95 %: relative speed and true speed "or a share of the speed,
// whichever is greater".
inline Errors TrendLimits(const Situation& s) {
    return {11.0, std::max(1.5, 0.10 * s.RelativeSpeed), 1.0, 0, 0, 0};
}
inline Errors PredictionLimits(const Situation& s) {
    return {3.0, std::max(0.8, 0.01 * s.RelativeSpeed), 0.3, 0.5,
            5.0, std::max(0.5, 0.01 * s.TrueSpeed)};
}

} // namespace mv::accuracy
