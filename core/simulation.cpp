#include "core/simulation.h"

#include "core/closest_approach.h"
#include "core/geometry.h"
#include "core/motion.h"
#include "core/number_text.h"

namespace mv {

namespace {

// The flag table, the echo and the plot mark of one target, drawn after it has moved.
// `ownStart` and `targetStart` are where the two were when the tick began (their present
// positions in a pass that moves nothing).
void DrawEcho(const VesselTables& vessels, std::vector<int16_t>& flags, int i, TickDisplay& display,
              VesselView& view, const PointD& ownStart, const PointD& targetStart) {
    const PointD& own = vessels.VesselPos[static_cast<size_t>(vessels.OwnVessel)];
    const PointD& target = vessels.VesselPos[static_cast<size_t>(i)];
    float bearing = 0.0f;
    double distance = 0.0;
    if (GetVector(own, target, bearing, distance) != 0) view.BearingFailed();

    // At x30 and above a tick carries two ships closing at 20 knots a mile or more, so the
    // hulls are tested all along the tick, not only where it ends: a target that passed
    // through the own vessel between two ticks has collided.
    const double closest = ClosestApproachInTick(ownStart, own, targetStart, target);
    int16_t& flag = flags[static_cast<size_t>(i)];
    if (closest < kCollisionDistance) {
        // Reported once per approach: the flag stays set until the target opens again. It is
        // set before the report, so a pass nested inside the report (the window redrawn behind
        // the message box) neither reports this approach again nor skips another target's.
        if (flag == kFalse) {
            flag = kTrue;
            view.Collision(i, CollisionMark(own, display.Range));
            display.FirstFrame = true; // the report ends in a full redraw of the picture
        }
    } else {
        flag = kFalse;
    }

    if (const auto echo = EchoGeometry(vessels, i, display, bearing, distance)) {
        view.ShowEcho(i, *echo);
        if (display.PlotOn && (display.PlotDue() || display.FirstFrame)) {
            if (display.TrueTrails)
                display.Trails.Add(i, target);
            else
                view.PlotMark(i, *echo);
        }
    } else {
        view.HideEcho(i);
    }
}

} // namespace

std::optional<EchoLine> EchoGeometry(const VesselTables& vessels, int target,
                                     const TickDisplay& display, float bearing, double distance) {
    // Compared at single precision: a target exactly at the range ring is not shown.
    if (!(static_cast<double>(static_cast<float>(distance)) < display.Range)) return std::nullopt;
    const VesselData& ownVessel = vessels.Vessel[static_cast<size_t>(vessels.OwnVessel)];
    const PointD& ownPos = vessels.VesselPos[static_cast<size_t>(vessels.OwnVessel)];
    PointD p = vessels.VesselPos[static_cast<size_t>(target)];
    float rel = bearing;
    if (!display.NorthUp) {
        const float up = PictureUp(ownVessel, display);
        rel = bearing - up;
        if (rel < 0.0f) rel += 360.0f;
        RotateBy(up, p, ownPos);
    }
    // Across the line of sight: wider across the beam than along it, and the same length on
    // the screen at every range scale.
    float a1 = rel + 90.0f;
    if (a1 >= 360.0f) a1 -= 360.0f;
    const double half = display.Range / 6.0 * vessels.Vessel[static_cast<size_t>(target)].Size;
    EchoLine echo;
    PolarOffset(p, echo.P1, a1, half);
    float a2 = a1 - 180.0f;
    if (a2 < 0.0f) a2 += 360.0f;
    PolarOffset(p, echo.P2, a2, half);
    echo.Centre = p;
    return echo;
}

float PictureUp(const VesselData& own, const TickDisplay& display) {
    if (display.NorthUp) return 0.0f;
    if (display.CourseUp) return static_cast<float>(FoldDegrees16(own.NewHeading));
    return own.Heading;
}

PointD ToPicture(const VesselTables& vessels, const TickDisplay& display, PointD point) {
    if (display.NorthUp || vessels.NumVessels <= 0) return point;
    const auto own = static_cast<size_t>(vessels.OwnVessel);
    RotateBy(PictureUp(vessels.Vessel[own], display), point, vessels.VesselPos[own]);
    return point;
}

PointD HeadingLineEnd(const VesselData& own, const PointD& ownPos, const TickDisplay& display) {
    if (display.HeadsUp()) return PointD{ownPos.X + display.Range, ownPos.Y};
    PointD end;
    // Course-up: the line swings off the top by the yaw, as the ship's head does.
    PolarOffset(ownPos, end, FoldDegrees(own.Heading - PictureUp(own, display)), display.Range);
    return end;
}

std::optional<std::array<std::string, 4>>
CardinalCaptions(float ownHeading, const TickDisplay& display, int ownCourse) {
    const int h = RoundToInt16(ownHeading);
    std::array<int, 4> v{};
    if (display.HeadsUp() && display.Bearing == BearingMode::Course) {
        // True bearing at each edge of a heads-up picture; 359.5 or more reads 000 at the top.
        v = {h, h + 90, h + 180, h + 270};
        for (int k = 1; k < 4; ++k)
            if (v[static_cast<size_t>(k)] >= 360) v[static_cast<size_t>(k)] -= 360;
    } else if (display.NorthUp && display.Bearing == BearingMode::Relative) {
        // Relative bearing at each edge of a north-up picture; heading 0 reads 000 at the top.
        v = {360 - h, 90 - h, 180 - h, 270 - h};
        for (int k = 1; k < 4; ++k)
            if (v[static_cast<size_t>(k)] < 0) v[static_cast<size_t>(k)] += 360;
    } else if (display.CourseUp && !display.NorthUp) {
        // The ordered course at the top: true bearings from it, or relative ones off the head.
        int top = FoldDegrees16(static_cast<int16_t>(ownCourse));
        if (display.Bearing == BearingMode::Relative)
            top = FoldDegrees16(static_cast<int16_t>(top - h));
        v = {top, top + 90, top + 180, top + 270};
        for (int k = 1; k < 4; ++k)
            if (v[static_cast<size_t>(k)] >= 360) v[static_cast<size_t>(k)] -= 360;
    } else {
        return std::nullopt;
    }
    std::array<std::string, 4> captions;
    for (size_t k = 0; k < 4; ++k)
        captions[k] = DirectionText(v[k]);
    return captions;
}

std::string StatusLineText(const VesselData& own) {
    return "Speed = " + KnotsText(own.Speed) + "\r\nCourse = " + DirectionText(own.Heading) + " T";
}

std::string ExerciseTitle(std::string_view title, std::string_view fileName) {
    const auto blank = [](std::string_view t) {
        return t.find_first_not_of(" \t\r\n") == std::string_view::npos;
    };
    if (!blank(title)) return std::string(title);
    if (!blank(fileName)) return std::string(fileName);
    return "Untitled exercise";
}

std::string ClockText(const SimClock& clock) {
    return FormatClock(clock.SimTime) + " x " + std::to_string(clock.TimeFactor);
}

PointD Simulation::OwnPosition() const {
    if (Vessels.NumVessels <= 0) return PointD{};
    return Vessels.VesselPos[static_cast<size_t>(Vessels.OwnVessel)];
}

bool Simulation::ManeuverPending() const {
    for (int i = 0; i < Vessels.NumVessels; ++i) {
        const VesselData& v = Vessels.Vessel[static_cast<size_t>(i)];
        if (v.Speed != v.NewSpeed) return true;
        const bool mayTurn = i != Vessels.OwnVessel || Turning;
        if (mayTurn && TurnPending(v, Clock.TimeFactor)) return true;
    }
    return false;
}

void Simulation::ApplyYaw() {
    VesselData& own = Vessels.Vessel[static_cast<size_t>(Vessels.OwnVessel)];
    // Large vessels hold their heading in any sea; an empty table has nothing to apply.
    if (SeaState <= 0 || own.Size == kLarge || Yaw.YawCount() <= 0) return;
    const int column = (own.Size == kSmall ? 0 : 2) + (SeaState == 1 ? 0 : 1);
    ++YawIndex;
    while (YawIndex >= Yaw.YawCount())
        YawIndex = static_cast<int16_t>(YawIndex - Yaw.YawCount());
    while (YawIndex < 0)
        YawIndex = 0;
    // Yaw swings the heading only; the ordered heading stays, so no turn is started.
    own.Heading = FoldDegrees(own.Heading -
                              Yaw.Rows[static_cast<size_t>(YawIndex)][static_cast<size_t>(column)]);
}

void Simulation::Tick(TickDisplay& display, VesselView& view) {
    if (Vessels.NumVessels <= 0) return;
    const int ownIndex = Vessels.OwnVessel;
    VesselData& own = Vessels.Vessel[static_cast<size_t>(ownIndex)];
    view.ShowIdentity(display.IdentifyOn);

    // Speed before heading. An order of course and speed together runs both to their ordered
    // values: the manoeuvre ends only when nothing ordered is left to reach.
    if (own.Speed != own.NewSpeed && Maneuvering) {
        ManeuverReadout readout;
        const bool reached = SpeedStep(own, Clock.TimeFactor, readout);
        view.ManeuverStep(ownIndex, readout);
        if (reached && !ManeuverPending()) Maneuvering = false;
    }
    if (own.Heading != static_cast<float>(own.NewHeading) && Turning && Maneuvering) {
        ManeuverReadout readout;
        const bool reached = TurnStep(own, Clock.TimeFactor, readout);
        view.ManeuverStep(ownIndex, readout);
        if (own.Heading == static_cast<float>(own.NewHeading)) Turning = false;
        if (reached && !ManeuverPending()) Maneuvering = false;
    }

    ApplyYaw();
    const PointD ownStart = Vessels.VesselPos[static_cast<size_t>(ownIndex)];
    MoveVessel(own, Vessels.VesselPos[static_cast<size_t>(ownIndex)], Clock.HoursPerTick);
    DriftWithCurrent(Current, Vessels.VesselPos[static_cast<size_t>(ownIndex)], Clock.HoursPerTick);
    view.StatusLine(StatusLineText(own));

    const double tickStart = Clock.SimTime;
    Clock.SimTime += Clock.TimeStep;
    view.Clock(ClockText(Clock));
    if (display.PlotOn) {
        display.SinceLastPlot += Clock.TimeStep;
        display.PlotTime += Clock.TimeStep;
        view.PlotClock(FormatClock(display.PlotTime));
    }

    UpdateVessels(display, view, true, &ownStart);

    // Reset only after every vessel is drawn, so that all of them get their mark this tick.
    if (display.PlotDue()) display.SinceLastPlot = 0.0;
    // Carried out from the next tick, as an order given at this moment by hand would be.
    GiveScriptedOrders(tickStart, Clock.SimTime);
}

void Simulation::GiveScriptedOrders(double from, double to) {
    // The clock adds a step of days each tick, so 12:06:00 may be reached a hair early or late.
    constexpr double halfSecond = 0.5 / 86400.0;
    for (const ScriptedOrder& order : Script) {
        if (!(order.At > from + halfSecond && order.At <= to + halfSecond)) continue;
        if (order.Vessel < 0 || order.Vessel >= Vessels.NumVessels) continue;
        VesselData& v = Vessels.Vessel[static_cast<size_t>(order.Vessel)];
        if (order.Course) v.NewHeading = FoldDegrees16(*order.Course);
        if (order.Speed) v.NewSpeed = *order.Speed;
        if (order.Vessel == Vessels.OwnVessel && order.Course) Turning = true;
        Maneuvering = true;
    }
}

void Simulation::UpdateVessels(TickDisplay& display, VesselView& view, bool stepTargets,
                               const PointD* ownStartOfTick) {
    if (Vessels.NumVessels <= 0) return;
    const int ownIndex = Vessels.OwnVessel;
    const PointD ownStart =
        ownStartOfTick ? *ownStartOfTick : Vessels.VesselPos[static_cast<size_t>(ownIndex)];
    view.CentreOn(Vessels.VesselPos[static_cast<size_t>(ownIndex)]);

    for (int i = 0; i < Vessels.NumVessels; ++i) {
        const auto idx = static_cast<size_t>(i);
        if (display.TrueViewOn) view.TrueViewMark(i, Vessels.VesselPos[idx]);
        if (i == ownIndex) {
            view.OwnLabel(i, Vessels.VesselPos[idx]);
            continue;
        }
        VesselData& v = Vessels.Vessel[idx];
        const PointD targetStart = Vessels.VesselPos[idx];
        if (stepTargets) {
            if (v.Speed != v.NewSpeed && Maneuvering) {
                ManeuverReadout readout;
                const bool reached = SpeedStep(v, Clock.TimeFactor, readout);
                view.ManeuverStep(i, readout);
                if (reached && !ManeuverPending()) Maneuvering = false;
            }
            if (v.Heading != static_cast<float>(v.NewHeading) && Maneuvering) {
                ManeuverReadout readout;
                const bool reached = TurnStep(v, Clock.TimeFactor, readout);
                view.ManeuverStep(i, readout);
                if (reached && !ManeuverPending()) Maneuvering = false;
            }
            // A target stopped in the water makes no way through it and is never moved
            // backwards; the current carries it all the same, as it carries the own vessel.
            if (v.Speed > 0.0f) MoveVessel(v, Vessels.VesselPos[idx], Clock.HoursPerTick);
            DriftWithCurrent(Current, Vessels.VesselPos[idx], Clock.HoursPerTick);
        }
        DrawEcho(Vessels, Vessels.VesselFlag, i, display, view, ownStart, targetStart);
    }

    display.FirstFrame = false;
    const VesselData& own = Vessels.Vessel[static_cast<size_t>(ownIndex)];
    const PointD& ownPos = Vessels.VesselPos[static_cast<size_t>(ownIndex)];
    if (display.ShowSHL) view.HeadingLine(ownPos, HeadingLineEnd(own, ownPos, display));
    if (const auto captions = CardinalCaptions(own.Heading, display, own.NewHeading))
        view.CardinalLabels(*captions);
}

} // namespace mv
