#pragma once
// What the tick asks the windows to show. The radar console implements it; tests record it.

#include "core/motion.h"
#include "core/vessel.h"

#include <array>
#include <string>

namespace mv {

// An echo: a short line across the line of sight, centred on the target, in world units of
// the radar picture (nautical miles, X north and Y east, already turned for heads-up).
struct EchoLine {
    PointD P1, P2;
    PointD Centre; // where the identification label's corner goes
};

class VesselView {
  public:
    virtual ~VesselView() = default;

    // Identification labels shown or hidden at the start of every tick, as Identify left them.
    virtual void ShowIdentity(bool on) = 0;
    // A manoeuvre step of vessel i changed what its manoeuvre panel shows.
    virtual void ManeuverStep(int vessel, const ManeuverReadout& readout) = 0;
    // "Speed = 12.0 kn\r\nCourse = 090 T"
    virtual void StatusLine(const std::string& text) = 0;
    // "12:00:03 x 1"
    virtual void Clock(const std::string& text) = 0;
    // "hh:mm:ss" since plotting was switched on.
    virtual void PlotClock(const std::string& text) = 0;
    // The picture's world window is to be centred on the own vessel.
    virtual void CentreOn(const PointD& own) = 0;
    // The grey track point and label of vessel i in the true-motion window.
    virtual void TrueViewMark(int vessel, const PointD& position) = 0;
    // Vessel i came within collision distance (0.01 nm) of the own vessel; the view beeps,
    // draws the mark, tells the user and redraws the picture. Returns after the user has seen
    // the report.
    virtual void Collision(int vessel, const std::array<std::array<PointD, 9>, 2>& mark) = 0;
    virtual void ShowEcho(int vessel, const EchoLine& echo) = 0;
    virtual void HideEcho(int vessel) = 0;
    // A grey copy of the echo stays in the picture as a plot mark.
    virtual void PlotMark(int vessel, const EchoLine& echo) = 0;
    // The own vessel's label sits at the centre of the picture.
    virtual void OwnLabel(int vessel, const PointD& position) = 0;
    // Ship's heading line from the own vessel to `to`.
    virtual void HeadingLine(const PointD& from, const PointD& to) = 0;
    // Captions of the bearing scale at top, right, bottom and left ("000" format).
    virtual void CardinalLabels(const std::array<std::string, 4>& captions) = 0;
    // Positions that are not numbers: no bearing could be formed.
    virtual void BearingFailed() = 0;
};

// The tick without a screen: a copy of the simulation run ahead unseen, for a prediction, or
// the answer key's run for its arithmetic alone. A view that watches a few calls overrides
// just those. Over a wider kind of view (the display's, a scenario start's) it leaves the
// wider kind's own calls to a layer above it.
template <class View = VesselView> class Unseen : public View {
  public:
    void ShowIdentity(bool) override {}
    void ManeuverStep(int, const ManeuverReadout&) override {}
    void StatusLine(const std::string&) override {}
    void Clock(const std::string&) override {}
    void PlotClock(const std::string&) override {}
    void CentreOn(const PointD&) override {}
    void TrueViewMark(int, const PointD&) override {}
    void Collision(int, const std::array<std::array<PointD, 9>, 2>&) override {}
    void ShowEcho(int, const EchoLine&) override {}
    void HideEcho(int) override {}
    void PlotMark(int, const EchoLine&) override {}
    void OwnLabel(int, const PointD&) override {}
    void HeadingLine(const PointD&, const PointD&) override {}
    void CardinalLabels(const std::array<std::string, 4>&) override {}
    void BearingFailed() override {}
};
using UnseenView = Unseen<>;

} // namespace mv
