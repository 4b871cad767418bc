#pragma once
// Where a compass bearing meets a circle on a painted picture: the button faces and the splash
// draw their radar scopes with it.

#include <QPointF>

#include <cmath>
#include <numbers>

namespace mv {

// A point on a circle of radius r about c at a compass bearing (degrees clockwise from up), in
// a y-down frame.
inline QPointF OnCircle(QPointF c, double r, double bearingDeg) {
    const double a = bearingDeg * std::numbers::pi / 180.0;
    return {c.x() + r * std::sin(a), c.y() - r * std::cos(a)};
}

} // namespace mv
