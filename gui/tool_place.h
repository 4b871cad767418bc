#pragma once
// Where a tool window of the console first opens: at the right edge of its parent, over the
// control column and clear of the radar picture the student is working on. Later showings
// keep wherever the student has moved it.

class QWidget;

namespace mv {

enum class ColumnSpot { Top, Middle, Bottom };

// Sized to its contents and placed, the first time it shows only; a window without a parent
// is left where the window manager puts it.
void PlaceOverColumnOnce(QWidget& window, ColumnSpot spot);

} // namespace mv
