#include "gui/tool_place.h"

#include <QWidget>

#include <algorithm>

namespace mv {

void PlaceOverColumnOnce(QWidget& window, ColumnSpot spot) {
    const QWidget* p = window.parentWidget();
    if (!p || window.property("placedOverColumn").toBool()) return;
    window.setProperty("placedOverColumn", true);
    window.adjustSize();
    // 8 pixels clear of the parent's right and top edges; 40 clear of the foot, above the
    // status line.
    int y = 8;
    if (spot == ColumnSpot::Middle) y = (p->height() - window.height()) / 2;
    if (spot == ColumnSpot::Bottom) y = p->height() - window.height() - 40;
    window.move(
        p->mapToGlobal(QPoint(std::max(0, p->width() - window.width() - 8), std::max(0, y))));
}

} // namespace mv
