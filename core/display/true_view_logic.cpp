#include "core/display/true_view_logic.h"

#include "core/number_text.h"

namespace mv {

namespace {

void SetTrueViewIndex(RadarDisplayState& s, int16_t index) {
    s.TVRangeIndex = index;
    s.TVRange = static_cast<double>(kRangeScales.at(static_cast<size_t>(index)));
}

// Lines are laid at whole multiples of the spacing; a line that would fall on the far edge
// only through rounding (ten 0.1-mile steps over a mile) is left off, as the edge itself is.
constexpr double kEdgeSlack = 1e-9;

} // namespace

bool TrueViewRangeDown(RadarDisplayState& s) {
    if (s.TVRangeIndex <= 0) return false;
    SetTrueViewIndex(s, static_cast<int16_t>(s.TVRangeIndex - 1));
    return true;
}

bool TrueViewRangeUp(RadarDisplayState& s) {
    if (s.TVRangeIndex >= static_cast<int16_t>(kRangeScales.size()) - 1) return false;
    SetTrueViewIndex(s, static_cast<int16_t>(s.TVRangeIndex + 1));
    return true;
}

void ResetTrueViewScale(RadarDisplayState& s) {
    SetTrueViewIndex(s, kDefaultRangeIndex);
}

TrueViewWindow CenteredTrueViewWindow(const PointD& own, double tvRange) {
    return {own.Y - tvRange, own.X + tvRange, 2.0 * tvRange, -2.0 * tvRange};
}

float TrueViewGridSpacing(double tvRange) {
    const auto r = static_cast<float>(tvRange);
    if (r == 24.0f || r == 36.0f) return 5.0f;
    if (r == 12.0f) return 2.0f;
    if (r == 3.0f || r == 6.0f) return 1.0f;
    if (r == 0.75f || r == 1.5f) return 0.25f;
    return 0.1f;
}

std::vector<GridLine> TrueViewGridLines(const TrueViewWindow& w, double tvRange) {
    const double g = static_cast<double>(TrueViewGridSpacing(tvRange));
    const double top = w.Top;
    const double bottom = top - 2.0 * tvRange;
    const double right = w.Left + w.Width;
    const double slack = g * kEdgeSlack;
    std::vector<GridLine> lines;
    for (int k = 0;; ++k) {
        const double y = bottom + k * g;
        if (y >= top - slack) break;
        lines.push_back({{y, w.Left}, {y, right}});
    }
    for (int k = 1;; ++k) {
        const double x = w.Left + k * g;
        if (x >= right - slack) break;
        lines.push_back({{top, x}, {bottom, x}});
    }
    return lines;
}

std::string TrueViewCaption(bool gridOn, double tvRange) {
    if (!gridOn) return "True View";
    return "True View   Grid " + MilesText(TrueViewGridSpacing(tvRange));
}

PointD TrueViewLabelCorner(const PointD& position, double width, double height) {
    return {position.X + height / 2.0, position.Y - width / 2.0};
}

} // namespace mv
