#include "gui/tool_place.h"

#include <QRect>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace mv {

void PlaceOverColumnOnce(QWidget& window, ColumnSpot spot) {
    const QWidget* p = window.parentWidget();
    if (!p || window.property("placedOverColumn").toBool()) return;
    window.setProperty("placedOverColumn", true);
    window.adjustSize();
    // The radar picture and the frame round it; without them, the parent's own left side.
    const QWidget* picture = p->findChild<QWidget*>("picRadarCRT");
    const QWidget* frame = picture && picture->parentWidget() ? picture->parentWidget() : p;
    const QRect pic = picture ? QRect(picture->mapToGlobal(QPoint()), picture->size())
                              : QRect(p->mapToGlobal(QPoint()), p->size());
    const QPoint frameTopLeft = frame->mapToGlobal(QPoint());
    // The captions take about the top eighth of the picture and the read-outs the bottom
    // sixth (three lines of text at a twentieth of its height and more).
    const int top = pic.top() + pic.height() / 8;
    const int bottom = pic.bottom() - pic.height() / 6;
    int y = top;
    if (spot == ColumnSpot::Middle) y = pic.center().y() + 40; // under the own ship
    if (spot == ColumnSpot::Bottom) y = bottom - window.height();
    y = std::max(top, std::min(y, bottom - window.height()));
    int x = frameTopLeft.x() + 8;
    // On the screen whatever its size: a window taller or wider than the room left is pushed
    // back inside, its title bar first.
    if (const QScreen* screen = p->screen()) {
        const QRect room = screen->availableGeometry();
        x = std::clamp(x, room.left(), std::max(room.left(), room.right() - window.width()));
        y = std::clamp(y, room.top() + 30,
                       std::max(room.top() + 30, room.bottom() - window.height()));
    }
    window.move(x, y);
}

} // namespace mv
