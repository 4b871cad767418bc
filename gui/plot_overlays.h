#pragma once
// The navigator's own marks over the radar picture: the parallel index lines with their
// legend, and a trial manoeuvre's predicted relative tracks with the TRIAL caption. Overlay
// items of their own, placed afresh from the plain state whenever it changes and at every
// tick, so they move with the own vessel and turn with the picture.

#include "core/aids/trial_maneuver.h"
#include "core/display/display_state.h"
#include "core/simulation.h"
#include "gui/palette.h"
#include "gui/world_picture.h"

#include <QString>

namespace mv {

namespace item {
// "lneIndex(2)": index line 2; "lblIndex(2)": its line of the legend.
QString lneIndex(int line);
QString lblIndex(int line);
// "lneTrial(3,1)": the second leg of vessel slot 3's predicted track.
QString lneTrial(int slot, int leg);
inline const QString lblTrial = QStringLiteral("lblTrial");
} // namespace item

// Legs of a trial track: to the order, through the manoeuvre, on to the CPA.
inline constexpr int kTrialLegs = 3;

// The part of the segment from a to b (nautical miles about the own vessel) inside the circle
// of `radius`; false when none of it is.
bool ClipToCircle(PointD& a, PointD& b, double radius);

class PlotOverlays {
  public:
    // Declares the items in the picture, all hidden.
    explicit PlotOverlays(WorldPicture& picture);
    void ShowIndexLines(const Simulation& sim, const RadarDisplayState& state,
                        const Palette& colours);
    // Each target's track under the trial, dashed; none shown without a trial.
    void ShowTrial(const Simulation& sim, const RadarDisplayState& state, const TrialOutcome* trial,
                   const Palette& colours);

  private:
    // A segment given about the own vessel, in true directions, drawn where the picture shows
    // it; hidden when it lies outside the range.
    void PlaceLine(const QString& name, const Simulation& sim, const TickDisplay& tick, PointD a,
                   PointD b, QColor colour, Qt::PenStyle style);

    WorldPicture& picture_;
};

} // namespace mv
