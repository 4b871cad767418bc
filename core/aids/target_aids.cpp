#include "core/aids/target_aids.h"

#include "core/aids/cpa_data.h"
#include "core/geometry.h"
#include "core/number_text.h"
#include "core/simulation.h"

#include <cmath>

namespace mv {

TargetAid ComputeTargetAid(const VesselTables& vessels, int vessel, double vectorMinutes) {
    TargetAid aid;
    aid.Vessel = vessel;
    aid.Position = vessels.VesselPos.at(static_cast<size_t>(vessel));
    // The very input the CPA data panel gives ComputeCPA with present data.
    const CpaInput in = PresentCpaInput(vessels, vessel, aid.Range);
    aid.Bearing = in.Bearing;
    aid.Course = in.TargetCourse;
    aid.Speed = in.TargetSpeed;
    // True DRM: the vector is drawn over the picture, not read against the own course.
    aid.Cpa = ComputeCPA(in, BearingMode::Course);

    const double hours = vectorMinutes / 60.0;
    aid.RelativeEnd = aid.Position;
    // Below 0.001 kt ComputeCPA calls the relative motion nil and sets DRM to 0: no vector.
    if (aid.Cpa.Computed && aid.Cpa.SRM >= 0.001f)
        MovePoint(aid.RelativeEnd, aid.Cpa.DRM, static_cast<double>(aid.Cpa.SRM) * hours);
    PolarOffset(aid.Position, aid.TrueEnd, in.TargetCourse,
                static_cast<double>(in.TargetSpeed) * hours);
    return aid;
}

std::vector<TargetAid> TargetAids(const VesselTables& vessels, double vectorMinutes) {
    std::vector<TargetAid> aids;
    for (int i = 0; i < vessels.NumVessels; ++i)
        if (i != vessels.OwnVessel) aids.push_back(ComputeTargetAid(vessels, i, vectorMinutes));
    return aids;
}

bool StepTruthAlarms(const VesselTables& vessels, AidSettings& aids) {
    std::erase_if(aids.Picked,
                  [&vessels](int i) { return i >= vessels.NumVessels || i == vessels.OwnVessel; });
    if (aids.Arpa) return aids.Alarms.Update({});
    return aids.Alarms.Update(AlarmCauses(TargetAids(vessels, aids.VectorMinutes()), aids.Limits));
}

PointD OwnTrueVectorEnd(const VesselTables& vessels, double vectorMinutes) {
    const auto ownIdx = static_cast<size_t>(vessels.OwnVessel);
    const VesselData& own = vessels.Vessel.at(ownIdx);
    PointD end;
    PolarOffset(vessels.VesselPos.at(ownIdx), end, own.Heading,
                static_cast<double>(own.Speed) * vectorMinutes / 60.0);
    return end;
}

std::string VectorText(const PointD& from, const PointD& to) {
    float direction = 0.0f;
    double length = 0.0;
    GetVector(from, to, direction, length);
    // Under half a hundredth of a mile the vector reads 0.00: it has no direction to show.
    if (length < 0.005) return "none";
    return DirectionText(direction) + " " + MilesText(length);
}

TargetDataTexts TargetData(const TargetAid& aid) {
    TargetDataTexts t;
    t.Name = VesselLetter(aid.Vessel);
    t.Range = MilesText(aid.Range);
    t.Bearing = DirectionText(aid.Bearing);
    t.Course = DirectionText(aid.Course);
    t.Speed = KnotsText(aid.Speed);
    if (aid.Cpa.Computed) {
        t.CPA = MilesText(aid.Cpa.CPA);
        t.TCPA = MinutesText(aid.Cpa.TCPA);
    } else {
        t.CPA = t.TCPA = "cannot be computed";
    }
    t.TrueVector = VectorText(aid.Position, aid.TrueEnd);
    t.RelativeVector = aid.Cpa.Computed ? VectorText(aid.Position, aid.RelativeEnd) : t.CPA;
    return t;
}

AlarmCause AlarmFor(const TargetAid& aid, const AlarmLimits& limits) {
    const CpaResult& c = aid.Cpa;
    // A CPA already past (negative TCPA) is opening: no danger from it any more.
    if (limits.CpaAlarmOn && c.Computed && c.CPA < limits.CpaLimit && c.TCPA >= 0.0 &&
        c.TCPA <= static_cast<double>(limits.TcpaLimit))
        return AlarmCause::Cpa;
    if (limits.GuardOn && aid.Range < limits.GuardRange) return AlarmCause::Guard;
    return AlarmCause::None;
}

std::array<AlarmCause, kMaxVessels> AlarmCauses(const std::vector<TargetAid>& aids,
                                                const AlarmLimits& limits) {
    std::array<AlarmCause, kMaxVessels> now{};
    for (const TargetAid& a : aids)
        if (a.Vessel >= 0 && a.Vessel < kMaxVessels)
            now[static_cast<size_t>(a.Vessel)] = AlarmFor(a, limits);
    return now;
}

std::vector<std::string> AlarmList(const std::vector<TargetAid>& aids, const AlarmState& state) {
    std::vector<std::string> lines;
    for (const TargetAid& a : aids) {
        if (a.Vessel < 0 || a.Vessel >= kMaxVessels) continue;
        const AlarmCause cause = state.Cause[static_cast<size_t>(a.Vessel)];
        if (cause == AlarmCause::None) continue;
        std::string line = VesselLetter(a.Vessel) + "  ";
        if (cause == AlarmCause::Cpa)
            line += "CPA " + FormatNumber(a.Cpa.CPA, "##0.00") + " nm in " +
                    FormatNumber(a.Cpa.TCPA, "##.0") + " min";
        else
            line += "inside guard ring";
        if (state.Acknowledged[static_cast<size_t>(a.Vessel)]) line += "  (acknowledged)";
        lines.push_back(line);
    }
    return lines;
}

std::optional<int> PickTarget(const VesselTables& vessels, const TickDisplay& display,
                              const PointD& click, double reach) {
    std::optional<int> best;
    double bestDistance = reach;
    for (int i = 0; i < vessels.NumVessels; ++i) {
        if (i == vessels.OwnVessel) continue;
        const PointD p = ToPicture(vessels, display, vessels.VesselPos[static_cast<size_t>(i)]);
        const double d = std::hypot(p.X - click.X, p.Y - click.Y);
        if (d <= bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace mv
