#pragma once
// The radar-course aids' settings in the plain display state: what the student has switched on,
// the vector time, the alarm limits, the targets picked for their data and the alarms standing.
// Every aid starts off, and an exercise may forbid any of them.

#include "core/vessel.h"

#include <array>
#include <cstdint>
#include <vector>

namespace mv {

// Vector times a watchkeeper chooses from, minutes.
inline constexpr std::array<int, 5> kVectorMinutes{3, 6, 12, 15, 30};
inline constexpr int16_t kDefaultVectorIndex = 1; // 6 minutes
// Up to five echoes may be picked for their data at once.
inline constexpr std::size_t kMaxPicked = 5;

// Which aids the exercise allows. An aid not allowed is off and cannot be switched on.
struct AidPermissions {
    bool Vectors = true;
    bool TrueTrails = true;
    bool CourseUp = true;
    bool TargetData = true;
    bool CpaAlarm = true;
    bool GuardRing = true;
    bool Trial = true;      // the trial manoeuvre
    bool IndexLines = true; // parallel index lines
    // The aids may be worked from the truth; when not, the student has the tracker's (ARPA)
    // and cannot switch it off.
    bool TruthAids = true;
};

enum class VectorMode : int16_t { Off = 0, Relative = 1, True = 2 };

// The student's limits: a CPA closer than CpaLimit nautical miles within TcpaLimit minutes
// ahead is a danger; so is an echo inside the guard ring (GuardRange, nautical miles).
struct AlarmLimits {
    bool CpaAlarmOn = false;
    float CpaLimit = 1.0f;   // nautical miles
    float TcpaLimit = 12.0f; // minutes
    bool GuardOn = false;
    double GuardRange = 3.0; // nautical miles
};

enum class AlarmCause : int16_t { None = 0, Cpa = 1, Guard = 2 };

// Which targets are in danger and which of those the student has acknowledged. A target that
// leaves danger forgets its acknowledgement, so coming back sounds again.
struct AlarmState {
    std::array<AlarmCause, kMaxVessels> Cause{};
    std::array<bool, kMaxVessels> Acknowledged{};
    // The causes of this moment; true when a target came into danger: the alarm sounds once.
    bool Update(const std::array<AlarmCause, kMaxVessels>& now);
    void AcknowledgeAll();
    bool InDanger(int vessel) const;
    bool Unacknowledged(int vessel) const;
    bool AnyUnacknowledged() const;
};

struct AidSettings {
    AidPermissions Allowed;
    VectorMode Vectors = VectorMode::Off;
    int16_t VectorIndex = kDefaultVectorIndex;
    AlarmLimits Limits;
    AlarmState Alarms;
    std::vector<int> Picked; // vessel slots, in the order picked, at most kMaxPicked
    // The student's vectors, target data and alarms come from the tracker's tracks (ARPA)
    // rather than the truth; the CPA data and the CPA computer keep the truth.
    bool Arpa = false;
    std::vector<int> PickedTracks; // track numbers, as Picked, while ARPA is on
    // The tracks' true vectors, courses and speeds through the water (the current taken off:
    // the aspect the collision regulations go by) rather than over the ground.
    bool SeaStabilised = false;

    double VectorMinutes() const;
    // Picks a target, or lets it go when it is picked already; the oldest pick makes room for
    // a sixth. False for the own vessel or a slot out of range.
    bool TogglePick(int vessel, int ownVessel, int numVessels);
    // The same for a track's number while ARPA is on.
    void TogglePickTrack(int track);
    // Every aid the exercise forbids switched off, and ARPA on where the truth is forbidden.
    // A forbidden trial or index line is never drawn.
    void ApplyPermissions(bool& courseUp, bool& trueTrails);
};

} // namespace mv
