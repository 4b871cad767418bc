#pragma once
// The true-motion window's arithmetic: its own range steps, the square piece of sea it shows
// around the own vessel, and the reference grid with its caption. Plain functions over the
// display state; the window draws what they give.

#include "core/display/display_state.h"
#include "core/vessel.h"

#include <string>
#include <vector>

namespace mv {

// A world window as the pictures take it: left and top edges, width and height (negative:
// north is up), all in nautical miles.
struct TrueViewWindow {
    double Left = 0.0;
    double Top = 0.0;
    double Width = 0.0;
    double Height = 0.0;
};

struct GridLine {
    PointD From; // (north, east), nautical miles
    PointD To;
};

// One step down or up the range table; false, and nothing changed, at either end.
bool TrueViewRangeDown(RadarDisplayState& s);
bool TrueViewRangeUp(RadarDisplayState& s);
// Back to the 12-mile view, as a demo or the user's own targets start.
void ResetTrueViewScale(RadarDisplayState& s);

// A square of side twice the view's range centred on the own vessel, north up.
TrueViewWindow CenteredTrueViewWindow(const PointD& own, double tvRange);

// Nautical miles between grid lines for a view range.
float TrueViewGridSpacing(double tvRange);
// Horizontal lines from the bottom edge up, then vertical lines from one spacing in from the
// left edge; none on the top or right edge.
std::vector<GridLine> TrueViewGridLines(const TrueViewWindow& w, double tvRange);
// "True View   Grid 2.00 nm" with the grid on, "True View" without.
std::string TrueViewCaption(bool gridOn, double tvRange);

// Top-left corner of a vessel's label of the given size (nautical miles) centred on it.
PointD TrueViewLabelCorner(const PointD& position, double width, double height);

} // namespace mv
