#include "core/aids/action_to_steer.h"

#include "core/number_text.h"

#include <cmath>
#include <numbers>

namespace mv {

namespace {

// Vectors east and north: positions in nautical miles, velocities in knots.
struct V {
    double e = 0, n = 0;
};
V operator+(V a, V b) {
    return {a.e + b.e, a.n + b.n};
}
V operator-(V a, V b) {
    return {a.e - b.e, a.n - b.n};
}
V operator*(double k, V a) {
    return {k * a.e, k * a.n};
}
double Dot(V a, V b) {
    return a.e * b.e + a.n * b.n;
}
double Cross(V a, V b) {
    return a.e * b.n - a.n * b.e;
}
double Length(V a) {
    return std::hypot(a.e, a.n);
}

constexpr double kRadPerDeg = std::numbers::pi / 180.0;
V VecAlong(double degrees, double length) {
    return {length * std::sin(degrees * kRadPerDeg), length * std::cos(degrees * kRadPerDeg)};
}
double BearingOf(V a) {
    const double b = std::atan2(a.e, a.n) / kRadPerDeg;
    return b < 0 ? b + 360.0 : b;
}
V Rotated(V a, double radians) {
    const double c = std::cos(radians), s = std::sin(radians);
    return {a.e * c + a.n * s, -a.e * s + a.n * c}; // clockwise, as bearings turn
}
// Alteration from one course to another, -180 (port) to +180 (starboard) degrees.
double TurnBetween(double from, double to) {
    double a = std::fmod(to - from, 360.0);
    if (a > 180.0) a -= 360.0;
    if (a <= -180.0) a += 360.0;
    return a;
}

constexpr double kTiny = 1e-9;

} // namespace

SteerResult ActionForCPA(const SteerInput& in) {
    SteerResult r;
    if (in.ActTime < in.Latest.Time) {
        r.Error = "The action cannot come before the last sighting.";
        return r;
    }
    const V target = VecAlong(in.TargetCourse, in.TargetSpeed);
    const V own = VecAlong(in.OwnCourse, in.OwnSpeed);
    // Where she will be from the own ship when the action comes, both holding on till then.
    const double hours = (in.ActTime - in.Latest.Time) * 24.0;
    const V p = VecAlong(in.Latest.Bearing, in.Latest.Range) + hours * (target - own);
    const double range = Length(p);
    if (range <= in.WantedCPA) {
        r.Error = "The target will be closer than the wanted CPA when you act.";
        return r;
    }
    // Opening, still, or closing to pass at the wanted distance or more: nothing is needed.
    const V rel = target - own;
    const double speed = Length(rel);
    r.AlreadyClear =
        speed <= kTiny || Dot(p, rel) >= 0 || std::fabs(Cross(p, rel)) / speed >= in.WantedCPA;

    // The two relative tracks from her position that touch the circle of the wanted CPA.
    const V home = (-1.0 / range) * p;
    const double spread = std::asin(in.WantedCPA / range);
    const V tracks[] = {Rotated(home, spread), Rotated(home, -spread)};

    // New course at the own speed: the relative velocity k u with |target - k u| = own speed.
    std::optional<double> best;
    for (const V& u : tracks) {
        const double tu = Dot(target, u);
        const double disc = tu * tu - Dot(target, target) + double(in.OwnSpeed) * in.OwnSpeed;
        if (disc < 0) continue;
        for (const double k : {tu - std::sqrt(disc), tu + std::sqrt(disc)}) {
            if (k <= kTiny) continue;
            const double course = BearingOf(target - k * u);
            const double turn = TurnBetween(in.OwnCourse, course);
            if (in.ToPort ? turn >= 0 : turn <= 0) continue;
            if (!best || std::fabs(turn) < std::fabs(TurnBetween(in.OwnCourse, *best)))
                best = course;
        }
    }
    if (best && in.OwnSpeed > 0) r.Course = static_cast<float>(*best >= 359.95 ? 0.0 : *best);

    // New speed on the own course: target = s h + k u, s at least 0, k above 0.
    const V h = VecAlong(in.OwnCourse, 1.0);
    std::optional<double> slower, faster;
    for (const V& u : tracks) {
        const double d = Cross(h, u);
        if (std::fabs(d) < kTiny) continue;
        const double s = Cross(target, u) / d, k = Cross(h, target) / d;
        if (k <= kTiny || s < 0) continue;
        if (s < in.OwnSpeed) {
            if (!slower || s > *slower) slower = s;
        } else if (!faster || s < *faster) {
            faster = s;
        }
    }
    // A target closing fast end-on may need some thousands of knots to be passed wide.
    if (!slower && faster && *faster > kMaxSteerSpeed) {
        r.SpeedBeyondLimit = true;
        faster.reset();
    }
    if (slower || faster) r.Speed = static_cast<float>(slower ? *slower : *faster);
    return r;
}

std::string SteerCourseText(const SteerResult& r) {
    return r.Course ? DirectionText(*r.Course) : "none";
}

std::string SteerSpeedText(const SteerResult& r) {
    if (r.Speed) return KnotsFigure(*r.Speed);
    return r.SpeedBeyondLimit ? "none within " + KnotsText(kMaxSteerSpeed) : "none";
}

} // namespace mv
