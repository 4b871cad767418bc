#pragma once
// The radar-course aids for every target: relative and true vectors, the target data of a
// picked echo, and the CPA/TCPA and guard-ring alarms. All of them come from the speed
// triangle of the CPA data (ComputeCPA) with the present courses and speeds, so the picture,
// the data panel and the answer key cannot disagree. Degrees true, knots, nautical miles,
// minutes.

#include "core/aid_settings.h"
#include "core/aids/cpa.h"
#include "core/display_fields.h"
#include "core/vessel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mv {

// One target's figures at this moment: where its echo lies, its motion and its CPA.
struct TargetAid {
    int Vessel = 0;
    PointD Position;   // nautical miles, over the water
    float Bearing = 0; // degrees true from the own vessel
    double Range = 0;  // nautical miles
    float Course = 0;  // degrees true
    float Speed = 0;   // knots
    CpaResult Cpa;     // DRM always true here
    // Ends of the vectors drawn from the echo (relative: along the relative motion; true:
    // along the course and speed) for the vector time asked.
    PointD RelativeEnd, TrueEnd;
};

// The target's aid figures for a vector time in minutes. Present data: the courses and
// speeds the vessels steer now.
TargetAid ComputeTargetAid(const VesselTables& vessels, int vessel, double vectorMinutes);
// The own vessel's true vector end for the same time, from its present position.
PointD OwnTrueVectorEnd(const VesselTables& vessels, double vectorMinutes);

// "270 1.20 nm": a vector's direction (degrees true, "000") and length (nautical miles,
// "##0.00"), or "none" for one shorter than shows.
std::string VectorText(const PointD& from, const PointD& to);

// Texts of the target data panel in the number formats of the CPA data: range "#0.00",
// bearing and course "000", speed "##.0", CPA "##0.00", TCPA "##.0", and the true and
// relative vectors for the vector time.
struct TargetDataTexts {
    std::string Name, Range, Bearing, Course, Speed, CPA, TCPA, TrueVector, RelativeVector;
    friend bool operator==(const TargetDataTexts&, const TargetDataTexts&) = default;
};
TargetDataTexts TargetData(const TargetAid& aid);

AlarmCause AlarmFor(const TargetAid& aid, const AlarmLimits& limits);
// The causes of every target of this moment, for AlarmState::Update.
std::array<AlarmCause, kMaxVessels> AlarmCauses(const std::vector<TargetAid>& aids,
                                                const AlarmLimits& limits);

// Every target's aid figures of this moment, the own vessel left out.
std::vector<TargetAid> TargetAids(const VesselTables& vessels, double vectorMinutes);
// The truth's alarm state brought to this moment (with ARPA on the truth sounds nothing: the
// student's alarms are the tracker's), and picks of slots that are no longer targets let go.
// True when a target came into danger: the alarm sounds once.
bool StepTruthAlarms(const VesselTables& vessels, AidSettings& aids);

// "C  CPA 0.40 nm in 8.5 min" or "C  inside guard ring", one line per target in danger, with
// "  (acknowledged)" once the student has acknowledged it.
std::vector<std::string> AlarmList(const std::vector<TargetAid>& aids, const AlarmState& state);

// The target whose echo on the picture lies nearest a click (a point of the picture, turned as
// the picture is) within `reach` nautical miles, or none; the own vessel is never picked.
std::optional<int> PickTarget(const VesselTables& vessels, const TickDisplay& display,
                              const PointD& click, double reach);

} // namespace mv
