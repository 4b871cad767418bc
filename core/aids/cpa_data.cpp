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

CpaDataTexts DoCPA(const VesselTables& vessels, int vessel, bool finalData, BearingMode mode) {
    const VesselData& target = vessels.Vessel.at(static_cast<size_t>(vessel));
    const VesselData& own = vessels.Vessel.at(static_cast<size_t>(vessels.OwnVessel));
    CpaInput in;
    if (finalData) {
        in.TargetCourse = static_cast<float>(target.NewHeading);
        in.TargetSpeed = target.NewSpeed;
        in.OwnCourse = static_cast<float>(own.NewHeading);
        in.OwnSpeed = own.NewSpeed;
    } else {
        in.TargetCourse = target.Heading;
        in.TargetSpeed = target.Speed;
        in.OwnCourse = own.Heading;
        in.OwnSpeed = own.Speed;
    }
    // Positions that are not numbers leave the bearing at 0; the figures still come out.
    double range = 0.0;
    GetVector(vessels.VesselPos.at(static_cast<size_t>(vessels.OwnVessel)),
              vessels.VesselPos.at(static_cast<size_t>(vessel)), in.Bearing, range);
    in.Range = static_cast<float>(range);
    in.T0 = 0.0; // minutes from now

    const CpaResult r = ComputeCPA(in, mode);
    CpaDataTexts t;
    t.TargetCourse = DirectionText(in.TargetCourse);
    t.TargetSpeed = FormatNumber(in.TargetSpeed, "##.0") + " kt.";
    t.YourCourse = DirectionText(in.OwnCourse);
    t.YourSpeed = FormatNumber(in.OwnSpeed, "##.0") + " kt.";
    t.CPA = FormatNumber(r.CPA, "##0.00") + " nm.";
    t.BCPA = DirectionText(r.BCPA);
    t.SRM = FormatNumber(r.SRM, "###.0") + " kt.";
    t.DRM = DirectionText(r.DRM);
    t.TCPA = FormatNumber(r.TCPA, "##.0") + " min.";
    if (!r.Computed) t.CPA = t.BCPA = t.SRM = t.DRM = t.TCPA = kCpaNotComputed;
    return t;
}

} // namespace mv
