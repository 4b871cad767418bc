#pragma once
// The tracker's symbols over the radar picture, after the radar presentation standard: a
// track being acquired is a broken circle, a tracked one a full circle with its vector (true
// or relative, the vector time) and four past positions, a lost one a circle crossed at its
// last position; a dangerous one red and flashing until acknowledged, a selected one boxed;
// the track's number beside. Overlay items of their own, placed afresh from plain state.

#include "core/arpa/tracking.h"
#include "core/display/display_state.h"
#include "core/simulation.h"
#include "gui/world_picture.h"

#include <QPointF>
#include <QString>

#include <vector>

namespace mv {

namespace item {
// "shpTrack(3)": track 3's full circle; the others likewise by the track's number.
QString shpTrack(int id);
QString ptsTrackAcquiring(int id); // the broken circle
QString lneTrackVector(int id);
QString ptsTrackPast(int id);
QString lneTrackLost(int id, int stroke);   // the two strokes of the cross, 0 and 1
QString lneTrackSelected(int id, int side); // the square's four sides, 0 to 3
QString lblTrack(int id);
} // namespace item

class RadarTracks {
  public:
    // Declares the items of every track number the tracker may give, all hidden.
    RadarTracks(WorldPicture& picture, int capacity);
    // Every track's symbol placed and shown from plain state, the live picture's or a recorded
    // moment's; everything hidden when ARPA is off. A track with a danger alert is red, and
    // while that alert is unacknowledged shows only in `flashOn`, the flash's lit half.
    void Show(const Simulation& sim, const RadarDisplayState& state,
              const std::vector<TrackView>& tracks, const std::vector<TrackAlert>& alerts,
              bool flashOn);

  private:
    // One track number's item names, made once: a redraw hides every track's items, and
    // formatting some hundred names each time cost more than the drawing.
    struct Names {
        QString circle, acquiring, vector, past, label;
        QString lost[2];
        QString selected[4];
    };
    void HideAll();

    WorldPicture& picture_;
    int capacity_;
    std::vector<Names> names_;  // [id - 1]
    std::vector<int> shown_;    // the track numbers whose items the last Show put up
    std::vector<QPointF> dots_; // reused
};

} // namespace mv
