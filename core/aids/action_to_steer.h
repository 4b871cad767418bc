#pragma once
// The third problem of radar plotting, after the CPA and the target's true motion: the own
// course (speed kept) or the own speed (course kept) that makes a target pass at a wanted
// distance, the change made at a chosen moment and taken as made at once. Degrees true, knots,
// nautical miles, times of day as day fractions.

#include "core/aids/cpa.h"

#include <optional>
#include <string>

namespace mv {

// The most the manoeuvre window will order, knots: no faster speed is offered.
inline constexpr double kMaxSteerSpeed = 99.9;

struct SteerInput {
    Sighting Latest;        // the last sighting of the target
    float TargetCourse = 0; // her true course and speed, from the sightings
    float TargetSpeed = 0;
    float OwnCourse = 0, OwnSpeed = 0; // held until the action
    double ActTime = 0;                // day fraction; not before the last sighting
    double WantedCPA = 0;              // nautical miles
    bool ToPort = false;               // alter to port instead of starboard
};

struct SteerResult {
    // The smallest alteration to the chosen side that gives the wanted CPA at the own speed;
    // none when no course does.
    std::optional<float> Course;
    // The speed nearest the present one, below it where one serves, that gives the wanted CPA
    // on the own course; none when no speed does, or only one over kMaxSteerSpeed.
    std::optional<float> Speed;
    // A speed would give it, but only one the ship cannot be ordered to.
    bool SpeedBeyondLimit = false;
    // Set when nothing can be worked: the action before the sighting, or the target already
    // as close as the wanted CPA at the moment of action.
    std::string Error;
    // The present course and speed already give the wanted CPA or more, with the CPA ahead.
    bool AlreadyClear = false;
};

SteerResult ActionForCPA(const SteerInput& in);

// The texts of the new course ("063") and speed ("6.2"), or "none" for an action that no
// course or speed gives ("none within 99.9 kn" when only a faster speed would).
std::string SteerCourseText(const SteerResult& r);
std::string SteerSpeedText(const SteerResult& r);

} // namespace mv
