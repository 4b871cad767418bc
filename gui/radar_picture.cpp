#include "gui/radar_picture.h"

#include "core/display/markers.h"
#include "core/geometry.h"
#include "core/number_text.h"
#include "gui/radar_items.h"
#include "gui/radar_video.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace mv {

RadarPicture::RadarPicture(WorldPicture& picture, RadarDisplayState& state)
    : picture_(picture), state_(state) {
    picture_.setBackground(colours().face);
    if (!picture_.isDeclared(item::lblMode)) DeclareRadarItems(picture_);
}

void RadarPicture::ShowStartItems() {
    for (const QString* name : {&item::lbl000, &item::lbl090, &item::lbl180, &item::lbl270,
                                &item::lblCRTRange, &item::lblMode})
        picture_.setVisible(*name, true);
    SetCaption(item::lblPlotTime, "00:00:00");
    picture_.setLabel(item::lblNoExercise, "No exercise loaded", colours().notice);
    for (int i = 0; i < kMaxVessels; ++i) {
        picture_.setOverlayLine(item::lneVessel(i), 0, 0, 0, 0, colours().echo, 2);
        // The letters of the vessel buttons: A for the own vessel, then B to F.
        picture_.setLabel(item::lblVessel(i), QString::fromStdString(VesselLetter(i)),
                          colours().vesselLetter);
    }
    picture_.setOverlayLine(item::lneSHL, 0, 0, 0, 0, colours().trace, 1);
}

void RadarPicture::ShowColours(const std::function<QColor(int)>& echoColour) {
    const Palette& c = colours();
    for (const QString* name :
         {&item::lbl000, &item::lbl090, &item::lbl180, &item::lbl270, &item::lblCRTRange,
          &item::lblCRTEBL, &item::lblCRTVRM, &item::lblRange, &item::lblBearing, &item::lblPlot,
          &item::lblPlotTime, &item::lblVesselData, &item::lblMode, &item::lblRR, &item::lblVector,
          &item::lblStabilisation, &item::lneSHL, &item::lblCRTEBL2, &item::lblCRTVRM2})
        picture_.setColour(*name, c.trace);
    picture_.setColour(item::lblEBL2Origin, c.trace);
    picture_.setColour(item::lblNoExercise, c.notice);
    for (const QString* name : {&item::lneEBL, &item::shpVRM, &item::lneEBL2, &item::shpVRM2})
        picture_.setColour(*name, c.marker);
    for (const QString* name : {&item::lneHCursor, &item::lneVCursor})
        picture_.setColour(*name, c.cursor);
    for (int i = 0; i < kMaxVessels; ++i) {
        picture_.setColour(item::lneVessel(i), echoColour ? echoColour(i) : c.echo);
        picture_.setColour(item::lblVessel(i), c.vesselLetter);
    }
}

void RadarPicture::ShowDisplayItems() {
    const bool cursor = state_.CursorMode == InputMode::Cursor;
    const std::pair<const QString*, bool> items[] = {
        {&item::lblRR, state_.RingsOn},       {&item::lneSHL, state_.Tick.ShowSHL},
        {&item::lblPlot, state_.Tick.PlotOn}, {&item::lblPlotTime, state_.Tick.PlotOn},
        {&item::lblVesselData, state_.NavOn}, {&item::lneEBL, state_.EBLOn},
        {&item::lblCRTEBL, state_.EBLOn},     {&item::shpVRM, state_.VRMOn},
        {&item::lblCRTVRM, state_.VRMOn},     {&item::lblRange, cursor},
        {&item::lblBearing, cursor},          {&item::lneHCursor, cursor},
        {&item::lneVCursor, cursor},
    };
    for (const auto& [name, visible] : items)
        picture_.setVisible(*name, visible);
    ShowSecondMarkers();
    SetCaption(item::lblPlot, QString::fromStdString(PlotCaption(state_.Tick.PlotFreqIndex)));
    ShowModeReadouts();
}

void RadarPicture::ShowSecondMarkers() {
    const std::pair<const QString*, bool> items[] = {
        {&item::lblCRTEBL2, state_.EBL2On},
        {&item::lblCRTVRM2, state_.VRM2On},
        {&item::shpVRM2, state_.VRM2On},
        {&item::lblEBL2Origin, state_.EBL2On && state_.EBL2Offset},
        // An offset line drifted out of the picture has nothing to show.
        {&item::lneEBL2, state_.EBL2On && ebl2Inside_},
    };
    for (const auto& [name, visible] : items)
        picture_.setVisible(*name, visible);
}

void RadarPicture::ShowModeReadouts() {
    SetCaption(item::lblMode, QString::fromStdString(ModeCaption(state_.Tick)));
    const std::string vectors = VectorCaption(state_.Aids);
    SetCaption(item::lblVector, QString::fromStdString(vectors));
    picture_.setVisible(item::lblVector, !vectors.empty());
    SetCaption(item::lblStabilisation, QString::fromStdString(StabilisationCaption(state_)));
    picture_.setVisible(item::lblStabilisation, true);
}

void RadarPicture::SetCaption(const QString& name, const QString& text) {
    picture_.setLabel(name, text, colours().trace);
    // A read-out against the right edge moves with its text's width.
    PlaceReadout(name);
}

void RadarPicture::PlaceVRM(const PointD& own) {
    picture_.setOverlayCircle(item::shpVRM, own.Y, own.X, state_.VRMRange, colours().marker);
    SetCaption(item::lblCRTVRM, QString::fromStdString(VRMCaption(state_.VRMRange)));
    // The second ring dashed, so the two are told apart where they lie close.
    picture_.setOverlayCircle(item::shpVRM2, own.Y, own.X, state_.VRM2Range, colours().marker,
                              Qt::DashLine);
    SetCaption(item::lblCRTVRM2, QString::fromStdString(VRM2Caption(state_.VRM2Range)));
}

void RadarPicture::PlaceEBL(const PointD& own, float ownHeading, float ownCourse) {
    const WorldSegment line = mv::PlaceEBL(state_, own);
    picture_.setOverlayLine(item::lneEBL, line.From.Y, line.From.X, line.To.Y, line.To.X,
                            colours().marker, 1);
    SetCaption(item::lblCRTEBL, QString::fromStdString(EBLCaption(state_, ownHeading, ownCourse)));
    // The second line dash-dotted: the dashed lines of the picture are predicted tracks.
    const float up = PictureUpOf(state_.Tick, ownHeading, ownCourse);
    const auto second = mv::PlaceEBL2(state_, own, up);
    ebl2Inside_ = second.has_value();
    if (second)
        picture_.setOverlayLine(item::lneEBL2, second->From.Y, second->From.X, second->To.Y,
                                second->To.X, colours().marker, 1, Qt::DashDotLine);
    SetCaption(item::lblCRTEBL2,
               QString::fromStdString(EBL2Caption(state_, ownHeading, ownCourse)));
    SetCaption(item::lblEBL2Origin,
               QString::fromStdString(EBL2OriginCaption(state_, own, ownHeading)));
    ShowSecondMarkers();
}

void RadarPicture::ShowEcho(int vessel, const EchoLine& echo, const QColor& colour) {
    picture_.setOverlayLine(item::lneVessel(vessel), echo.P1.Y, echo.P1.X, echo.P2.Y, echo.P2.X,
                            colour, state_.EchoWidth);
    picture_.setVisible(item::lneVessel(vessel), true);
    picture_.moveLabel(item::lblVessel(vessel), echo.Centre.Y, echo.Centre.X);
}

void RadarPicture::HideEcho(int vessel) {
    picture_.setVisible(item::lneVessel(vessel), false);
    picture_.setVisible(item::lblVessel(vessel), false);
}

void RadarPicture::PlotMark(const EchoLine& echo) {
    picture_.setPenWidth(state_.EchoWidth);
    picture_.line(echo.P1.Y, echo.P1.X, echo.P2.Y, echo.P2.X, colours().plotMark);
}

void RadarPicture::HeadingLine(const PointD& from, const PointD& to) {
    picture_.setOverlayLine(item::lneSHL, from.Y, from.X, to.Y, to.X, colours().trace, 1);
    picture_.setVisible(item::lneSHL, state_.Tick.ShowSHL);
}

void RadarPicture::CardinalLabels(const std::array<std::string, 4>& captions) {
    const QString* names[] = {&item::lbl000, &item::lbl090, &item::lbl180, &item::lbl270};
    for (size_t k = 0; k < captions.size(); ++k)
        SetCaption(*names[k], QString::fromStdString(captions[k]));
}

void RadarPicture::ShowIdentity(bool on, int vessels, int own) {
    for (int i = 0; i < vessels && i < kMaxVessels; ++i)
        if (picture_.isVisible(item::lneVessel(i)) || i == own)
            picture_.setVisible(item::lblVessel(i), on);
}

void RadarPicture::SetRadarScale(const PointD& centre) {
    const double r = state_.Tick.Range;
    picture_.setWindow(centre.Y - r, centre.X + 1.1 * r, 2 * r, -2.23 * r);
}

void RadarPicture::FitLabelFont() {
    QFont f = picture_.labelFont();
    // A 44th of the height keeps a read-out line inside the 0.1 range band above the circle
    // (the picture is 2.23 ranges high); 8 pixels at the least, for the smallest picture.
    f.setPixelSize(std::clamp(picture_.size().height() / 44, 8, 40));
    picture_.setLabelFont(f);
}

namespace {

// Where each read-out stands: in one of the picture's four corners, outside the range circle,
// at a line counted from the top or the bottom edge, against the left or the right edge. The
// slots are fixed, so a read-out is always found in the same place whatever else is shown. The
// top-left corner's fourth line is left to the radar video's read-out.
struct ReadoutSlot {
    const QString* name;
    bool right;  // against the right edge, else the left
    bool bottom; // lines counted up from the bottom edge, else down from the top
    int line;    // 0 at the edge
    int lines;   // lines the read-out takes
};

const std::array<ReadoutSlot, 16>& ReadoutSlots() {
    static const std::array<ReadoutSlot, 16> table{{
        {&item::lblMode, false, false, 0, 1},
        {&item::lblCRTRange, false, false, 1, 1},
        {&item::lblRR, false, false, 2, 1},
        {&item::lblVideo, false, false, 3, 1},
        {&item::lblVector, true, false, 0, 1},
        {&item::lblStabilisation, true, false, 1, 1},
        {&item::lblPlot, true, false, 2, 1},
        {&item::lblPlotTime, true, false, 3, 1},
        {&item::lblCRTVRM, false, true, 0, 1},
        {&item::lblCRTEBL, false, true, 1, 1},
        // The second pair above the first, the offset line's origin under its bearing; the
        // ring's read-out, the narrowest, highest, where the range circle leaves least room.
        {&item::lblEBL2Origin, false, true, 2, 1},
        {&item::lblCRTEBL2, false, true, 3, 1},
        {&item::lblCRTVRM2, false, true, 4, 1},
        {&item::lblVesselData, true, true, 0, 2},
        {&item::lblBearing, true, true, 2, 1},
        {&item::lblRange, true, true, 3, 1},
    }};
    return table;
}

} // namespace

void RadarPicture::PlaceLabels() {
    for (const ReadoutSlot& slot : ReadoutSlots())
        PlaceReadout(*slot.name);
}

void RadarPicture::PlaceReadout(const QString& name) {
    const auto& table = ReadoutSlots();
    const auto found = std::find_if(table.begin(), table.end(),
                                    [&](const ReadoutSlot& s) { return *s.name == name; });
    // A picture without the radar video (the debrief's, the report's) has no video read-out.
    if (found == table.end() || !picture_.isDeclared(name)) return;
    const double r = state_.Tick.Range;
    // A small margin from the picture's edges: 1 % of the range across and down.
    const double margin = 0.01 * r;
    // Every read-out line is as high as the one-line mode caption.
    const double lineH = picture_.labelHeight(item::lblMode);
    const double l = picture_.left();
    const double t = picture_.top();
    const double width = picture_.labelWidth(name);
    const double left = found->right ? l + 2 * r - margin - width : l + margin;
    const double top = found->bottom ? t - 2.23 * r + margin + (found->line + found->lines) * lineH
                                     : t - margin - found->line * lineH;
    picture_.moveLabel(name, left, top);
}

void RadarPicture::RedrawRadar(const PointD& centre) {
    SetRadarScale(centre);
    FitLabelFont();
    PlaceLabels();
    DrawFrame(centre);
    const QColor trace = colours().trace;
    // The fixed captions before they are placed: the side ones stand by their width.
    const auto& d = state_.Tick;
    if ((d.Bearing == BearingMode::Relative && d.HeadsUp()) ||
        (d.Bearing == BearingMode::Course && d.NorthUp)) {
        picture_.setLabel(item::lbl000, "000", trace);
        picture_.setLabel(item::lbl090, "090", trace);
        picture_.setLabel(item::lbl180, "180", trace);
        picture_.setLabel(item::lbl270, "270", trace);
    }
    PlaceCardinalLabels(centre);
    SetCaption(item::lblRR, QString::fromStdString(RingCaption(RingSpacing())));

    // Echo lines and plot marks take the width of the range scale.
    picture_.setPenWidth(state_.EchoWidth);
    ShowModeReadouts();
}

void RadarPicture::DrawFrame(const PointD& centre) {
    const double r = state_.Tick.Range;
    // The centre's pixel depends on the picture's size alone: the window follows the centre.
    FrameKey key{picture_.image().size(), {}, ScaleHasTicks(), state_.Colours};
    const Palette& c = colours();
    picture_.setBackground(c.face);
    const std::vector<double> rings =
        state_.RingsOn ? RingRadii(r, RingSpacing()) : std::vector<double>{};
    for (double radius : rings)
        key.rings.push_back(radius / r);
    // The green edge is smoothed over a pixel or two outside the range circle.
    constexpr double kEdgeMargin = 2.0;
    const auto found =
        std::find_if(faces_.begin(), faces_.end(), [&](const Face& f) { return f.key == key; });
    if (found != faces_.end()) {
        std::rotate(faces_.begin(), found, found + 1);
        picture_.restoreDisc(faces_.front().kept);
        return;
    }
    // The edge's band is cleared too, so the frame kept is the same whatever lay under it.
    picture_.fillDisc(centre.Y, centre.X, r, kEdgeMargin, c.face);
    picture_.setFill(WorldPicture::Fill::Transparent);
    picture_.setPenWidth(1);
    picture_.circle(centre.Y, centre.X, r, c.trace);
    for (double radius : rings)
        picture_.circle(centre.Y, centre.X, radius, c.trace);
    DrawBearingScale(centre);
    picture_.setFill(WorldPicture::Fill::Solid, c.face);
    // Kept only once the size has settled: a drag changes the size at every step, and keeping
    // each of those frames would cost a pass over the picture for nothing.
    const QImage& drawn = picture_.image();
    if (drawn.size() != lastSize_) {
        lastSize_ = drawn.size();
        faces_.clear();
        return;
    }
    // All that is drawn lies on the rings and in the bearing scale's band at the edge.
    std::vector<KeptDisc::Band> drawnOn{{0.9 * r, r}};
    for (double radius : rings)
        drawnOn.push_back({radius, radius});
    // Eight faces: every ring spacing with the rings on and off, in one bearing reference.
    constexpr size_t kFacesKept = 8;
    if (faces_.size() == kFacesKept) faces_.pop_back();
    faces_.insert(faces_.begin(), Face{std::move(key), {}});
    picture_.keepDisc(faces_.front().kept, centre.Y, centre.X, r, kEdgeMargin, c.face, drawnOn);
}

float RadarPicture::RingSpacing() const {
    return kRingSpacing.at(static_cast<size_t>(std::clamp<int>(state_.RangeIndex, 0, 9)));
}

bool RadarPicture::ScaleHasTicks() const {
    const auto& d = state_.Tick;
    // Course-up turns the scale by the ordered course: dots, as heads-up with true bearings.
    return (d.Bearing == BearingMode::Relative && !d.CourseUp) || d.NorthUp;
}

namespace {

// Cosine and sine of every whole degree, worked out once with the same conversion as any
// other bearing, so the scale lands on exactly the points a bearing-by-bearing offset gives.
const std::array<std::array<double, 2>, 361>& WholeDegrees() {
    static const auto table = [] {
        std::array<std::array<double, 2>, 361> t{};
        for (int i = 0; i <= 360; ++i) {
            const double a = static_cast<double>(static_cast<float>(i)) * kDegToRad;
            t[static_cast<size_t>(i)] = {std::cos(a), std::sin(a)};
        }
        return t;
    }();
    return table;
}

} // namespace

void RadarPicture::DrawBearingScale(const PointD& centre) {
    const double r = state_.Tick.Range;
    const bool ticks = ScaleHasTicks();
    const auto& unit = WholeDegrees();
    const auto at = [&](int i, double distance) {
        const auto& cs = unit[static_cast<size_t>(i)];
        return PointD{centre.X + cs[0] * distance, centre.Y + cs[1] * distance};
    };
    picture_.setPenWidth(1);
    std::vector<WorldPicture::Segment> strokes;
    strokes.reserve(72);
    for (int i = 1; i <= 360; ++i) {
        const PointD edge = at(i, r);
        double innerFactor = 0.98;
        if (ticks && i % 45 == 0)
            innerFactor = 0.92;
        else if (ticks && i % 5 == 0)
            innerFactor = 0.95;
        const PointD inner = at(i, innerFactor * r);
        if (innerFactor < 0.98)
            strokes.push_back({inner.Y, inner.X, edge.Y, edge.X});
        else
            picture_.point(inner.Y, inner.X, colours().trace);
    }
    picture_.lines(strokes, colours().trace);
}

void RadarPicture::PlaceCardinalLabels(const PointD& centre) {
    const double r = state_.Tick.Range;
    // The side captions stand against the inner end of the 45-degree ticks, or of the dots
    // where there are no ticks.
    const double inner = (ScaleHasTicks() ? 0.92 : 0.98) * r;
    const auto& unit = WholeDegrees();
    const auto at = [&](int i, double distance) {
        const auto& cs = unit[static_cast<size_t>(i)];
        return PointD{centre.X + cs[0] * distance, centre.Y + cs[1] * distance};
    };
    const PointD top = at(360, r), right = at(90, r), bottom = at(180, r), left = at(270, r);
    picture_.moveLabel(item::lbl000, top.Y - picture_.labelWidth(item::lbl000) / 2,
                       top.X + picture_.labelHeight(item::lbl000));
    picture_.moveLabel(item::lbl090, at(90, inner).Y - picture_.labelWidth(item::lbl090),
                       right.X + picture_.labelHeight(item::lbl090) / 2);
    picture_.moveLabel(item::lbl180, bottom.Y - picture_.labelWidth(item::lbl180) / 2, bottom.X);
    picture_.moveLabel(item::lbl270, at(270, inner).Y,
                       left.X + picture_.labelHeight(item::lbl270) / 2);
}

} // namespace mv
