#pragma once
// The simulation: vessels, clock, manoeuvre flags, sea state and yaw, and the tick that
// advances them in a fixed order.

#include "core/clock.h"
#include "core/display_fields.h"
#include "core/motion.h"
#include "core/vessel.h"
#include "core/vessel_view.h"
#include "core/yaw.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mv {

// Where the vessels of the scenario came from: a demo file, the user's own targets, or random
// traffic.
enum class ScenarioSource : int16_t { Demo = 0, OwnTargets = 1, Random = 2 };

// Closer than this the hulls touch: 0.01 nm is about 18 metres.
inline constexpr double kCollisionDistance = 0.01;

// An order written into an exercise: at a set time a vessel is ordered to a new heading and/or
// speed, which it then reaches at its size class's rates, as an order from the manoeuvre
// window is carried out.
struct ScriptedOrder {
    double At = 0.5; // days of sea time; 0.5 is 12:00:00
    int16_t Vessel = 0;
    std::optional<int16_t> Course; // degrees true, whole
    std::optional<float> Speed;    // knots
    friend bool operator==(const ScriptedOrder&, const ScriptedOrder&) = default;
};

struct Simulation {
    VesselTables Vessels;
    SimClock Clock;
    bool Maneuvering = false; // a manoeuvre ordered from the manoeuvre panel is under way
    bool Turning = false;     // the own vessel's ordered heading change is under way
    int16_t SeaState = 0;     // 0 calm, 1 moderate, 2 heavy
    YawTable Yaw;
    int16_t YawIndex = 0;
    // Carries every vessel over the ground; none unless an exercise gives one.
    SeaCurrent Current;
    // The exercise's orders, each given in the tick whose clock passes its time.
    std::vector<ScriptedOrder> Script;
    // The scenario in force: its title (the console's caption) and description, and where it
    // came from.
    std::string Title, Description;
    ScenarioSource TrafficSource = ScenarioSource::Demo;

    // One tick of sea time: own vessel manoeuvre, yaw and motion, read-outs and clocks, then
    // every target.
    void Tick(TickDisplay& display, VesselView& view);

    // The per-pass update of every vessel. With stepTargets the targets manoeuvre and move
    // one tick; without, they are only drawn where they are (a redraw). `ownStartOfTick` is
    // where the own vessel was before the tick moved it: collisions are looked for along the
    // whole tick. Without it the own vessel is taken as not having moved.
    void UpdateVessels(TickDisplay& display, VesselView& view, bool stepTargets,
                       const PointD* ownStartOfTick = nullptr);

    // Whether any vessel still has an ordered heading or speed to reach.
    bool ManeuverPending() const;
    // The own vessel's position (nautical miles), the origin before any scenario is loaded.
    PointD OwnPosition() const;

    void ApplyYaw();
    // Gives every scripted order whose time lies after `from` and no later than `to` (days,
    // to within half a second), in the order written.
    void GiveScriptedOrders(double from, double to);
};

// The echo of a target: geometry only. Empty when it lies at or beyond the range scale.
std::optional<EchoLine> EchoGeometry(const VesselTables& vessels, int target,
                                     const TickDisplay& display, float bearing, double distance);

// The true bearing at the top of the picture (degrees): 0 north-up, the own heading heads-up,
// the own ordered course course-up.
float PictureUp(const VesselData& own, const TickDisplay& display);
// A point over the water (nautical miles) where the picture shows it: turned about the own
// vessel so that the picture's up bearing is up.
PointD ToPicture(const VesselTables& vessels, const TickDisplay& display, PointD point);

// The end of the ship's heading line, the length of the range scale ahead.
PointD HeadingLineEnd(const VesselData& own, const PointD& ownPos, const TickDisplay& display);

// Bearing-scale captions for the own heading, or empty where the fixed captions stand.
// `ownCourse` is the ordered course (whole degrees), the top of a course-up picture.
std::optional<std::array<std::string, 4>>
CardinalCaptions(float ownHeading, const TickDisplay& display, int ownCourse = 0);

std::string StatusLineText(const VesselData& own);
std::string ClockText(const SimClock& clock);

// The title the main window shows for an exercise: its own title, or for a demo without one
// the file's name, or "Untitled exercise" when there is no name either.
std::string ExerciseTitle(std::string_view title, std::string_view fileName = {});

} // namespace mv
