#pragma once
// The CPA data panel's figures for one target: a snapshot from the present positions and
// either the present or the ordered courses and speeds of both vessels.

#include "core/aids/cpa.h"
#include "core/display_fields.h"
#include "core/simulation.h"
#include "core/vessel.h"

#include <string>
#include <string_view>

namespace mv {

// What CPA and TCPA read when the figures cannot be computed: never a CPA of 0.00, which
// would read as a collision.
inline constexpr const char* kCpaNotComputed = "cannot be computed";

inline constexpr const char* kCpaCaution = "Caution, data changing while vessels are maneuvering.";

// The caution stands only while a manoeuvre is under way: one ordered and not yet reached by
// some vessel. The flag alone is raised as soon as the panel opens, whether or not anything
// is ordered.
bool CpaCautionShown(const Simulation& sim);

// A target's CPA input as the vessels stand: both vessels' present courses and speeds, the
// target's true bearing and range from the own vessel, from now. Every present CPA the program
// and the answer key show starts here, so none can disagree. `range` is the range at double
// precision, nautical miles.
CpaInput PresentCpaInput(const VesselTables& vessels, int target, double& range);

// "CPA data for target vessel C", with the caption of the vessel button pressed.
std::string CpaDataTitle(std::string_view caption);

struct CpaDataTexts {
    std::string TargetCourse; // lblTargetCourse "000"
    std::string TargetSpeed;  // lblTargetSpeed "12.0 kn"
    std::string YourCourse;   // lblYourcourse "000"
    std::string YourSpeed;    // lblYourspeed "12.0 kn"
    std::string CPA;          // lblCPA "0.50 nm"
    std::string BCPA;         // lblBCPA "000", always true
    std::string SRM;          // lblSRM "20.0 kn"
    std::string DRM;          // lblDRM "000", relative to the own course in Relative mode
    std::string TCPA;         // lblTCPA "21.0 min", negative once the CPA is past
    friend bool operator==(const CpaDataTexts&, const CpaDataTexts&) = default;
};

// finalData: the ordered headings and speeds ("after the ordered manoeuvres") instead of the
// present ones.
CpaDataTexts DoCPA(const VesselTables& vessels, int vessel, bool finalData, BearingMode mode);

} // namespace mv
