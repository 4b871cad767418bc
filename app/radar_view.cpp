#include "app/radar_view.h"

#include "core/display/markers.h"
#include "gui/radar_items.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

namespace mv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

RadarView::RadarView(Exercise& exercise, Dialogs& dialogs, QWidget* parent)
    : QFrame(parent), exercise_(exercise), sim_(exercise.simulation()),
      display_(exercise.display()), dialogs_(dialogs) {
    setObjectName("pnlRadar");
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    picRadarCRT_ = new WorldPictureWidget(this);
    picRadarCRT_->setObjectName("picRadarCRT");
    radar_ = std::make_unique<RadarPicture>(picRadarCRT_->picture(), display_);
    // Every resize repaints the face from scratch; the vessels follow when there are any.
    connect(picRadarCRT_, &WorldPictureWidget::pictureResized, this, [this] {
        RedrawRadar();
        RedrawVessels();
    });

    auto& pic = picRadarCRT_->picture();
    for (const QString* name : {&item::lbl000, &item::lbl090, &item::lbl180, &item::lbl270,
                                &item::lblCRTRange, &item::lblMode})
        pic.setVisible(*name, true);
    SetLabel(item::lblPlotTime, "00:00:00");
    pic.setLabel(item::lblNoExercise, "No exercise loaded", colours().notice);
    for (int i = 0; i < kMaxVessels; ++i) {
        pic.setOverlayLine(item::lneVessel(i), 0, 0, 0, 0, colours().echo, 2);
        // The letters of the vessel buttons: A for the own vessel, then B to F.
        pic.setLabel(item::lblVessel(i), Q(VesselLetter(i)), colours().vesselLetter);
    }
    pic.setOverlayLine(item::lneSHL, 0, 0, 0, 0, colours().trace, 1);
    ShowDisplayItems();
    ShowColours();
    connect(&exercise_, &Exercise::changed, this, [this] {
        // Another palette: every item takes its colour, and the face is drawn in it.
        if (shownColours_ != display_.Colours) {
            ShowColours();
            RedrawRadar();
            RedrawVessels();
            return;
        }
        // A scenario started or ended: the face says whether an exercise is loaded.
        if (picture().isVisible(item::lblNoExercise) == exercise_.isLoaded()) RedrawRadar();
    });
}

const Palette& RadarView::colours() const {
    return PaletteFor(display_.Colours);
}

void RadarView::ShowColours() {
    shownColours_ = display_.Colours;
    const Palette& c = colours();
    QPalette frame = palette();
    frame.setColor(QPalette::Window, c.frame);
    setPalette(frame);
    setAutoFillBackground(true);
    auto& pic = picture();
    for (const QString* name :
         {&item::lbl000, &item::lbl090, &item::lbl180, &item::lbl270, &item::lblCRTRange,
          &item::lblCRTEBL, &item::lblCRTVRM, &item::lblRange, &item::lblBearing, &item::lblPlot,
          &item::lblPlotTime, &item::lblVesselData, &item::lblMode, &item::lblRR, &item::lneSHL})
        pic.setColour(*name, c.trace);
    pic.setColour(item::lblNoExercise, c.notice);
    for (const QString* name : {&item::lneEBL, &item::shpVRM})
        pic.setColour(*name, c.marker);
    for (const QString* name : {&item::lneHCursor, &item::lneVCursor})
        pic.setColour(*name, c.cursor);
    for (int i = 0; i < kMaxVessels; ++i) {
        pic.setColour(item::lneVessel(i), echoColour ? echoColour(i) : c.echo);
        pic.setColour(item::lblVessel(i), c.vesselLetter);
    }
}

WorldPicture& RadarView::picture() {
    return picRadarCRT_->picture();
}

void RadarView::SetLabel(const QString& name, const QString& text) {
    picture().setLabel(name, text, colours().trace);
}

void RadarView::Refresh() {
    picRadarCRT_->update();
}

// --- the display commands' drawing ----------------------------------------------------------

void RadarView::RedrawRadar() {
    const PointD own = exercise_.ownPos();
    PrepareFullRedraw(display_, own);
    radar_->RedrawRadar(own);
    SetLabel(item::lblCRTRange, Q(RangeCaption(display_.Tick.Range)));
    PlaceVRM(); // the ring with its caption
    // Without an exercise the face is still drawn, and says why it is empty.
    auto& pic = picture();
    pic.setVisible(item::lblNoExercise, !exercise_.isLoaded());
    pic.moveLabel(item::lblNoExercise, own.Y - pic.labelWidth(item::lblNoExercise) / 2,
                  own.X + 0.2 * display_.Tick.Range);
    picRadarCRT_->update();
}

void RadarView::RedrawVessels() {
    if (!exercise_.isLoaded()) return;
    // Only the tick moves vessels: a redraw shows them where they are.
    sim_.UpdateVessels(display_.Tick, *this, false);
    picRadarCRT_->update();
}

void RadarView::ShowDisplayItems() {
    auto& pic = picture();
    const bool cursor = display_.CursorMode == InputMode::Cursor;
    const std::pair<const QString*, bool> items[] = {
        {&item::lblRR, display_.RingsOn},
        {&item::lneSHL, display_.Tick.ShowSHL},
        {&item::lblPlot, display_.Tick.PlotOn},
        {&item::lblPlotTime, display_.Tick.PlotOn},
        {&item::lblVesselData, display_.NavOn},
        {&item::lneEBL, display_.EBLOn},
        {&item::lblCRTEBL, display_.EBLOn},
        {&item::shpVRM, display_.VRMOn},
        {&item::lblCRTVRM, display_.VRMOn},
        {&item::lblRange, cursor},
        {&item::lblBearing, cursor},
        {&item::lneHCursor, cursor},
        {&item::lneVCursor, cursor},
    };
    for (const auto& [name, visible] : items)
        pic.setVisible(*name, visible);
    SetLabel(item::lblPlot, Q(PlotCaption(display_.Tick.PlotFreqIndex)));
}

void RadarView::PlaceEBL() {
    const WorldSegment line = mv::PlaceEBL(display_, exercise_.ownPos());
    picture().setOverlayLine(item::lneEBL, line.From.Y, line.From.X, line.To.Y, line.To.X,
                             colours().marker, 1);
    ShowEBLCaption();
    picRadarCRT_->update();
}

void RadarView::ShowEBLCaption() {
    const Simulation& s = sim_;
    const float course =
        exercise_.isLoaded()
            ? static_cast<float>(
                  s.Vessels.Vessel[static_cast<size_t>(s.Vessels.OwnVessel)].NewHeading)
            : 0.0f;
    SetLabel(item::lblCRTEBL, Q(EBLCaption(display_, exercise_.ownHeading(), course)));
}

void RadarView::PlaceVRM() {
    // Placed even while hidden, so that switching it on shows the ring its caption reads.
    const PointD own = exercise_.ownPos();
    picture().setOverlayCircle(item::shpVRM, own.Y, own.X, display_.VRMRange, colours().marker);
    SetLabel(item::lblCRTVRM, Q(VRMCaption(display_.VRMRange)));
    picRadarCRT_->update();
}

void RadarView::DrawCursor() {
    const CursorCross c = mv::DrawCursor(display_);
    for (const auto& [name, arm] :
         {std::pair{item::lneHCursor, c.Horizontal}, std::pair{item::lneVCursor, c.Vertical}})
        picture().setOverlayLine(name, arm.From.Y, arm.From.X, arm.To.Y, arm.To.X, colours().cursor,
                                 1);
    picRadarCRT_->update();
}

void RadarView::ShowCursorReadouts() {
    SetLabel(item::lblRange, Q(CursorRangeCaption(display_.VRMRange)));
    SetLabel(item::lblBearing, Q(CursorBearingCaption(display_.EBLBearing)));
}

// --- a scenario start's -------------------------------------------------------------------

void RadarView::SetRange(double range) {
    SetRadarRange(display_, range);
    RedrawRadar();
    if (display_.Tick.TrueViewOn) emit trueViewRepaintWanted();
}

void RadarView::ShowSlotMarkers(int slot, bool radarLine, bool trueViewLabel) {
    picture().setVisible(item::lneVessel(slot), radarLine);
    picture().setVisible(item::lblVessel(slot), false);
    emit trueViewLabelShown(slot, trueViewLabel);
}

// --- the tick's ---------------------------------------------------------------------------

void RadarView::ShowIdentity(bool on) {
    auto& pic = picture();
    for (int i = 0; i < sim_.Vessels.NumVessels && i < kMaxVessels; ++i)
        if (pic.isVisible(item::lneVessel(i)) || i == sim_.Vessels.OwnVessel)
            pic.setVisible(item::lblVessel(i), on);
}

void RadarView::StatusLine(const std::string& text) {
    SetLabel(item::lblVesselData, Q(text));
}

void RadarView::PlotClock(const std::string& text) {
    SetLabel(item::lblPlotTime, Q(text));
}

void RadarView::CentreOn(const PointD& own) {
    radar_->SetRadarScale(own);
}

void RadarView::Collision(int vessel, const std::array<std::array<PointD, 9>, 2>& mark) {
    exercise_.Log("collision", vessel, Q("Collision with " + VesselLetter(vessel)));
    dialogs_.beep();
    auto& pic = picture();
    pic.setPenWidth(display_.EchoWidth);
    for (const auto& chain : mark)
        for (size_t s = 0; s + 1 < chain.size(); ++s)
            pic.line(chain[s].Y, chain[s].X, chain[s + 1].Y, chain[s + 1].X, colours().collision);
    // The mark is on the screen before the message asks for the user's attention.
    picRadarCRT_->repaint();
    dialogs_.message("COLLISION!");
    RedrawRadar();
}

void RadarView::ShowEcho(int vessel, const EchoLine& echo) {
    auto& pic = picture();
    pic.setOverlayLine(item::lneVessel(vessel), echo.P1.Y, echo.P1.X, echo.P2.Y, echo.P2.X,
                       echoColour ? echoColour(vessel) : colours().echo, display_.EchoWidth);
    pic.setVisible(item::lneVessel(vessel), true);
    pic.moveLabel(item::lblVessel(vessel), echo.Centre.Y, echo.Centre.X);
}

void RadarView::HideEcho(int vessel) {
    picture().setVisible(item::lneVessel(vessel), false);
    picture().setVisible(item::lblVessel(vessel), false);
}

void RadarView::PlotMark(int, const EchoLine& echo) {
    auto& pic = picture();
    pic.setPenWidth(display_.EchoWidth);
    pic.line(echo.P1.Y, echo.P1.X, echo.P2.Y, echo.P2.X, colours().plotMark);
}

void RadarView::OwnLabel(int vessel, const PointD& position) {
    picture().moveLabel(item::lblVessel(vessel), position.Y, position.X);
}

void RadarView::HeadingLine(const PointD& from, const PointD& to) {
    picture().setOverlayLine(item::lneSHL, from.Y, from.X, to.Y, to.X, colours().trace, 1);
    picture().setVisible(item::lneSHL, display_.Tick.ShowSHL);
}

void RadarView::CardinalLabels(const std::array<std::string, 4>& captions) {
    SetLabel(item::lbl000, Q(captions[0]));
    SetLabel(item::lbl090, Q(captions[1]));
    SetLabel(item::lbl180, Q(captions[2]));
    SetLabel(item::lbl270, Q(captions[3]));
}

void RadarView::BearingFailed() {
    dialogs_.message("Radians not set in GetVector");
}

} // namespace mv
