#pragma once
// The pictures on the console's marker and range buttons, and the cursor-mode panel's picture,
// drawn with QPainter at whatever size and device pixel ratio the screen asks for.

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSize>

class QPainter;

namespace mv {

enum class ButtonFace {
    EBLClock,    // cmdEBLClock: turn the bearing line clockwise
    EBLCtrClock, // cmdEBLCtrClock: anticlockwise
    VRMIn,       // cmdVRMIn: smaller range ring
    VRMOut,      // cmdVRMOut: larger
    RangeUp,     // cmdRangeUp: next longer range scale
    RangeDown,   // cmdRangeDown: next shorter
};

// Draws a face into rect (logical pixels), dark on the button when active, grey when greyed.
void PaintButtonFace(QPainter& p, const QRectF& rect, ButtonFace face, bool active);
// A face at a logical size, its pixels sharp at the given device pixel ratio.
QPixmap ButtonFacePixmap(ButtonFace face, bool active, QSize logical, qreal ratio);
// An icon that draws the face afresh for every size, ratio and mode: the disabled mode shows
// the greyed face, so a disabled button greys itself.
QIcon ButtonFaceIcon(ButtonFace face);

// The lamp on a console button whose command is on or off, as a check mark is on its menu
// entry: lit (the icon's On state, which a checked button shows) in the palette's lamp colour,
// dark and hollow when off, grey on a greyed button.
QIcon StateLampIcon();
void PaintStateLamp(QPainter& p, const QRectF& rect, bool lit, bool active);

// imgCursorMode: a radar face with the pointer clicking a cursor cross, the bearing line and
// range ring through it, and the names of the range and bearing read-outs it produces.
void PaintCursorModePicture(QPainter& p, const QRectF& rect);

} // namespace mv
