#pragma once
// Random traffic: the own vessel steering north at 5 knots and four medium targets 6 to 16
// nautical miles off, some on a collision course and the rest moving at random (easy) or
// passing close by (moderate, difficult). An exercise number seeds the draw, so the same
// number gives the same traffic on every machine.

#include "core/vessel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace mv {

enum class Difficulty : int16_t { Easy = 1, Moderate = 2, Difficult = 3 };
std::optional<Difficulty> DifficultyFromName(std::string_view name); // "easy", ...
std::string_view DifficultyName(Difficulty d);

// Uniform numbers in [0, 1): the Mersenne twister, whose sequence is fixed by the C++
// standard, and the top 24 bits of each output as a single-precision fraction.
class RandomNumbers {
  public:
    explicit RandomNumbers(uint32_t seed) : engine_(seed) {}
    float Rnd() { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

  private:
    std::mt19937 engine_;
};

// Closest approach (nautical miles) of a target at bearing b (degrees true) and range r
// (nautical miles) steering course c at v knots, the own vessel steering north at s knots.
// Worked in double precision: the single-precision figure of a flat triangle can be off by
// more than the margin a level promises, and a 1.0996-mile miss must not pass for 1.1.
double MissDistance(double c, double v, double s, double b, double r);

// One target as the generator left it.
struct RandomTarget {
    float Bearing = 0;    // degrees true from the own vessel
    float Range = 0;      // nautical miles
    float Course = 0;     // degrees true, unrounded
    float Speed = 0;      // knots
    bool Collide = false; // meant to be on a collision course
    bool Stopped = false; // lying stopped
};

struct RandomTraffic {
    VesselTables Tables; // five vessels, own vessel 0 at (1000, 1000) nm; start state not saved
    std::array<RandomTarget, 4> Targets;
    uint32_t Exercise = 0;
};

// The traffic of one exercise number. The same number and difficulty always give the same
// traffic.
RandomTraffic GenerateRandomTraffic(Difficulty difficulty, uint32_t exercise);

// The scenario's title, "Random traffic, moderate, exercise 42", and the sentence that opens
// its description (no line break after it).
std::string RandomTrafficTitle(Difficulty difficulty, uint32_t exercise);
std::string RandomTrafficSummary(Difficulty difficulty, uint32_t exercise);

// The number typed for an exercise: a whole number 0 to 4294967295, blanks around it allowed.
// Empty when the text is anything else (an empty field means: take one from the clock).
std::optional<uint32_t> ParseExerciseNumber(std::string_view text);

// An exercise number from the clock, 1 to 999999 so it can be read out to a class.
uint32_t ExerciseFromClock();

// Which targets (index 0 to 3 for targets 1 to 4) a draw p of 0 to 100 puts on a collision
// course.
std::array<bool, 4> CollisionTargets(int p);

} // namespace mv
