#pragma once
// The radar-course aids drawn over the radar picture: each target's relative or true vector,
// the own vessel's true vector, the true trails, the guard ring, and the marks of picked
// targets and of targets in danger. Overlay items of their own, placed afresh from the plain
// state at every tick, so the retained face and the grey trails are never touched.

#include "core/aids/target_aids.h"
#include "core/display/display_state.h"
#include "core/simulation.h"
#include "gui/world_picture.h"

#include <QPointF>
#include <QString>

#include <vector>

namespace mv {

namespace item {
// "lneVector(2)": vessel slot 2's vector; "ptsTrueTrail(2)": its true trail.
QString lneVector(int slot);
QString ptsTrueTrail(int slot);
QString shpPicked(int slot);
QString shpAlarm(int slot);
inline const QString lneOwnVector = QStringLiteral("lneOwnVector");
inline const QString shpGuardRing = QStringLiteral("shpGuardRing");
} // namespace item

class RadarAids {
  public:
    // Declares the aids' items in the picture, all hidden.
    explicit RadarAids(WorldPicture& picture);
    // Every aid item placed and shown or hidden from the state; `aids` holds one entry per
    // target of this moment.
    void Show(const Simulation& sim, const RadarDisplayState& state,
              const std::vector<TargetAid>& aids);

  private:
    void ShowTrail(const Simulation& sim, const RadarDisplayState& state, int vessel);

    WorldPicture& picture_;
    std::vector<PointD> trail_; // reused from tick to tick
    std::vector<QPointF> dots_;
};

} // namespace mv
