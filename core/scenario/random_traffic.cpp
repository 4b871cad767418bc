#include "core/scenario/random_traffic.h"

#include "core/geometry.h"
#include "core/number_text.h"
#include "core/scenario/field_reader.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace mv {
namespace {

// The single-precision factor the traffic was always worked out with.
constexpr float kRad = 0.017453292f;
constexpr float kOwnSpeed = 5.0f; // knots, steering north

// A raising loop that has not reached its miss distance after this many raises never will:
// its miss distance tends to a limit below the one wanted.
constexpr int kMaxRaises = 200;

// A collision course is searched for this many times before the target is placed anew.
constexpr int kMaxCourseTries = 10000;
// A bearing whose sine is smaller than this lies too near dead ahead or dead astern (within
// about 0.06 degrees) for a collision course to be found in single precision.
constexpr float kLeastSine = 1e-3f;

// Step 2: the 20th of twenty draws of a range 6 to 16 nm. A bearing dead ahead or dead
// astern has no collision course to search for, so such a draw is made again.
void DrawPosition(RandomNumbers& rng, RandomTarget& t) {
    float r = 0, b = 0;
    for (int round = 0; round < 20; ++round) {
        do {
            r = 20.0f * rng.Rnd();
            b = 360.0f * rng.Rnd();
        } while (!(r >= 6.0f && r <= 16.0f) || !(std::fabs(std::sin(b * kRad)) >= kLeastSine));
    }
    t.Range = r;
    t.Bearing = b;
}

// Step 4: a course and speed that keep the target's bearing steady until it reaches the own
// vessel within three hours, at no more than 30 knots. False when the search gives up.
bool CollisionCourse(RandomNumbers& rng, const RandomTarget& t, float& c, float& v) {
    const float s = kOwnSpeed;
    const float b = t.Bearing, r = t.Range;
    const float bp = b >= 180.0f ? 360.0f - b : b;
    const float sinB = std::sin(bp * kRad);
    float a = 0, R = 0;
    for (int tries = 0; tries < kMaxCourseTries; ++tries) {
        a = 180.0f * rng.Rnd();
        const float sinAB = std::sin((a - bp) * kRad);
        v = s * sinB / sinAB;
        R = std::sqrt(v * v + s * s + 2.0f * s * v * std::cos(a * kRad));
        if ((s / 30.0f) * sinB < sinAB && v <= 30.0f && r / 3.0f <= R) {
            c = b <= 180.0f ? a + 180.0f : 180.0f - a;
            return true;
        }
    }
    return false;
}

// Step 5 for a target that is to pass: false when its speed-raising loop gives up.
bool PassingCourse(RandomNumbers& rng, Difficulty difficulty, RandomTarget& t, float c, float v) {
    switch (difficulty) {
    case Difficulty::Easy:
        t.Course = 360.0f * rng.Rnd();
        t.Speed = 20.0f * rng.Rnd();
        return true;
    case Difficulty::Moderate: {
        t.Course = FoldDegrees(c - 15.0f);
        t.Speed = v;
        for (int raises = 0; MissDistance(t.Course, t.Speed, kOwnSpeed, t.Bearing, t.Range) < 1.1;
             ++raises) {
            if (raises == kMaxRaises) return false;
            t.Speed += 0.3f * v;
        }
        return true;
    }
    case Difficulty::Difficult: {
        const int q = RoundToInt16(100.0f * rng.Rnd());
        // Two numbers that the offset never used; drawn so that the sequence stays the same.
        rng.Rnd();
        rng.Rnd();
        const float offset = std::atan((q % 4 == 1 ? 1.0f : 0.5f) / t.Range) / kRad;
        t.Course = FoldDegrees(c + offset);
        t.Speed = v;
        for (int raises = 0; MissDistance(t.Course, t.Speed, kOwnSpeed, t.Bearing, t.Range) < 0.5;
             ++raises) {
            if (raises == kMaxRaises) return false;
            t.Speed += 0.1f * v;
        }
        return true;
    }
    }
    return true;
}

} // namespace

std::optional<Difficulty> DifficultyFromName(std::string_view name) {
    if (name == "easy") return Difficulty::Easy;
    if (name == "moderate") return Difficulty::Moderate;
    if (name == "difficult") return Difficulty::Difficult;
    return std::nullopt;
}

std::string_view DifficultyName(Difficulty d) {
    switch (d) {
    case Difficulty::Easy:
        return "easy";
    case Difficulty::Moderate:
        return "moderate";
    case Difficulty::Difficult:
        return "difficult";
    }
    return "";
}

double MissDistance(double c, double v, double s, double b, double r) {
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    const double cp = c > 180.0 ? 360.0 - c : c;
    const double R = std::sqrt(v * v + s * s - 2.0 * s * v * std::cos(c * kRadians));
    if (R == 0.0) return 0.0;
    // Rounding can carry the cosine a hair past 1 in a flat triangle.
    const double q = std::clamp((s * s - v * v + R * R) / (2.0 * s * R), -1.0, 1.0);
    const double B = std::acos(q) / kRadians;
    const double X = 180.0 - cp - B;
    double D = std::fmod(c < 180.0 ? c + X : c - X, 360.0);
    if (D < 0.0) D += 360.0;
    return std::fabs(r * std::sin((D - (b + 180.0)) * kRadians));
}

std::array<bool, 4> CollisionTargets(int p) {
    const bool even = p % 2 == 0;
    if (p >= 1 && p <= 16) return {true, false, false, false};
    if (p >= 17 && p <= 32) return {false, true, false, false};
    if (p >= 33 && p <= 48) return {false, false, even, !even};
    if (p >= 49 && p <= 56) return {even, !even, false, true};
    if (p >= 57 && p <= 64) return {false, true, true, false};
    if (p >= 65 && p <= 72) return {true, false, true, false};
    if (p >= 73 && p <= 86) return {true, true, true, false};
    return {false, false, false, false};
}

RandomTraffic GenerateRandomTraffic(Difficulty difficulty, uint32_t exercise) {
    RandomTraffic traffic;
    traffic.Exercise = exercise;
    RandomNumbers rng(exercise);

    for (RandomTarget& t : traffic.Targets)
        DrawPosition(rng, t);
    const auto collide = CollisionTargets(RoundToInt16(100.0f * rng.Rnd()));

    // Steps 4 to 6 for target 1 completely, then target 2, and so on.
    for (size_t k = 0; k < traffic.Targets.size(); ++k) {
        RandomTarget& t = traffic.Targets[k];
        t.Collide = collide[k];
        float c = 0, v = 0;
        for (;;) {
            if (!CollisionCourse(rng, t, c, v)) {
                DrawPosition(rng, t); // no collision course from here: place it anew
                continue;
            }
            t.Course = c;
            t.Speed = v;
            if (t.Collide || PassingCourse(rng, difficulty, t, c, v)) break;
            DrawPosition(rng, t); // this target cannot pass clear from here: place it anew
        }
        if (100.0f * rng.Rnd() < 13.0f) {
            t.Stopped = true;
            t.Speed = 0;
            t.Course = 0;
            // Stopped dead ahead, so the own vessel still runs her down.
            if (t.Collide) t.Bearing = 0;
        }
    }

    VesselTables& tables = traffic.Tables;
    tables.Create(5);
    tables.OwnVessel = 0;
    auto setVessel = [](VesselData& v, float course, float speed) {
        v.Size = kMedium;
        v.Heading = course;
        // Ordered headings are whole degrees 0 to 359: 359.6 orders 000, not 360.
        v.NewHeading = FoldDegrees16(RoundToInt16(course));
        v.Speed = v.NewSpeed = speed;
    };
    tables.VesselPos[0] = {1000.0, 1000.0};
    setVessel(tables.Vessel[0], 0.0f, kOwnSpeed);
    for (size_t k = 0; k < traffic.Targets.size(); ++k) {
        const RandomTarget& t = traffic.Targets[k];
        PolarOffset(tables.VesselPos[0], tables.VesselPos[k + 1], t.Bearing, t.Range);
        setVessel(tables.Vessel[k + 1], t.Course, t.Speed);
    }
    return traffic;
}

std::string RandomTrafficTitle(Difficulty difficulty, uint32_t exercise) {
    return "Random traffic, " + std::string(DifficultyName(difficulty)) + ", exercise " +
           std::to_string(exercise);
}

std::string RandomTrafficSummary(Difficulty difficulty, uint32_t exercise) {
    return "Random traffic exercise " + std::to_string(exercise) + " at the " +
           std::string(DifficultyName(difficulty)) +
           " level: you steer 000 at 5 knots with four targets 6 to 16 miles off.";
}

std::optional<uint32_t> ParseExerciseNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) return std::nullopt;
    // Checked digit by digit, so leading zeros ("0042") of any number stay allowed.
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - '0');
        if (value > UINT32_MAX) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

uint32_t ExerciseFromClock() {
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    return static_cast<uint32_t>(static_cast<unsigned long long>(ticks) % 999999ULL) + 1U;
}

} // namespace mv
