#include "core/aids/cpa_data.h"

#include "core/aids/cpa.h"
#include "core/geometry.h"
#include "core/number_text.h"

namespace mv {

bool CpaCautionShown(const Simulation& sim) {
    return sim.Maneuvering && sim.ManeuverPending();
}

std::string CpaDataTitle(std::string_view caption) {
    return "CPA data for target vessel " + std::string(caption);
}

CpaInput PresentCpaInput(const VesselTables& vessels, int target, double& range) {
    const VesselData& t = vessels.Vessel.at(static_cast<size_t>(target));
    const VesselData& own = vessels.Vessel.at(static_cast<size_t>(vessels.OwnVessel));
    CpaInput in;
    in.TargetCourse = t.Heading;
    in.TargetSpeed = t.Speed;
    in.OwnCourse = own.Heading;
    in.OwnSpeed = own.Speed;
    // Positions that are not numbers leave the bearing at 0; the figures still come out.
    range = 0.0;
    GetVector(vessels.VesselPos.at(static_cast<size_t>(vessels.OwnVessel)),
              vessels.VesselPos.at(static_cast<size_t>(target)), in.Bearing, range);
    in.Range = static_cast<float>(range);
    in.T0 = 0.0; // minutes from now
    return in;
}

CpaDataTexts DoCPA(const VesselTables& vessels, int vessel, bool finalData, BearingMode mode) {
    double range = 0.0;
    CpaInput in = PresentCpaInput(vessels, vessel, range);
    if (finalData) {
        const VesselData& target = vessels.Vessel.at(static_cast<size_t>(vessel));
        const VesselData& own = vessels.Vessel.at(static_cast<size_t>(vessels.OwnVessel));
        in.TargetCourse = static_cast<float>(target.NewHeading);
        in.TargetSpeed = target.NewSpeed;
        in.OwnCourse = static_cast<float>(own.NewHeading);
        in.OwnSpeed = own.NewSpeed;
    }

    const CpaResult r = ComputeCPA(in, mode);
    CpaDataTexts t;
    t.TargetCourse = DirectionText(in.TargetCourse);
    t.TargetSpeed = KnotsText(in.TargetSpeed);
    t.YourCourse = DirectionText(in.OwnCourse);
    t.YourSpeed = KnotsText(in.OwnSpeed);
    t.CPA = MilesText(r.CPA);
    t.BCPA = DirectionText(r.BCPA);
    t.SRM = KnotsText(r.SRM);
    t.DRM = DirectionText(r.DRM);
    t.TCPA = MinutesText(r.TCPA);
    if (!r.Computed) t.CPA = t.BCPA = t.SRM = t.DRM = t.TCPA = kCpaNotComputed;
    return t;
}

} // namespace mv
