#pragma once
// Where the console's tool windows stand. The console's work area is a main window of its own
// with the radar frame at its centre; each tool is docked in a side of it, so a tool never lies
// over the picture's centre, its read-outs or the control column: the picture scales to the
// room the docks leave. Docks are not floatable, so no window manager title bar (light in the
// night palette) comes with them, and they are drawn in the program's own palette. A window
// not inside a console (a test's, the replay's) floats, first placed at the left of the picture.

class QMainWindow;
class QWidget;

namespace mv {

// The object name of the console's work area, the main window the tools dock in.
inline constexpr const char* kToolArea = "wrkRadar";

enum class ToolSide { Left, Bottom };

// Docks the window in the work area that is a direct child of one of its parents, on that side
// unless the user has put it elsewhere before; false (and nothing changed) without one. The
// dock shows and hides with the window, and its close box closes the window.
bool DockTool(QWidget& window, ToolSide side);

// Where the user left the docks, kept between runs; restored before any tool opens, with every
// dock hidden until its tool is asked for.
void SaveToolPlaces(const QMainWindow& area);
void RestoreToolPlaces(QMainWindow& area);

// Below the top captions, beside the centre, or above the bottom read-outs.
enum class ColumnSpot { Top, Middle, Bottom };

// A floating window, sized to its contents and placed the first time it shows only, and kept
// on the screen; a docked window, or one without a parent, is left alone.
void PlaceOverColumnOnce(QWidget& window, ColumnSpot spot);

// A modal aid window (the manoeuvre panel, the CPA computer), sized to its contents and placed
// the first time it shows: on the screen and clear of the own ship at the picture's centre,
// over the control column, which it holds anyway while it is open; where it is wider than the
// room beside the own ship, above or below it.
void PlaceClearOfCentreOnce(QWidget& window);

} // namespace mv
