#pragma once
// Where a tool window of the console first opens: at the left of the radar picture, in the
// frame's margin and over the picture's port side, clear of the own ship at the centre, of the
// captions at the top and the read-outs at the foot, and of the control column with its clock
// and PAUSED flag. Later showings keep wherever the student has moved it.

class QWidget;

namespace mv {

// Below the top captions, beside the centre, or above the bottom read-outs.
enum class ColumnSpot { Top, Middle, Bottom };

// Sized to its contents and placed, the first time it shows only, and kept on the screen; a
// window without a parent is left where the window manager puts it.
void PlaceOverColumnOnce(QWidget& window, ColumnSpot spot);

} // namespace mv
