#include "app/radar_view.h"

#include "app/window_text.h"
#include "core/arpa/tracking.h"
#include "core/display/markers.h"
#include "gui/radar_items.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <cmath>
#include <cstdlib>

namespace mv {

RadarView::RadarView(Exercise& exercise, Dialogs& dialogs, QWidget* parent)
    : QFrame(parent), exercise_(exercise), sim_(exercise.simulation()),
      display_(exercise.display()), dialogs_(dialogs) {
    setObjectName("pnlRadar");
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    picRadarCRT_ = new WorldPictureWidget(this);
    picRadarCRT_->setObjectName("picRadarCRT");
    radar_ = std::make_unique<RadarPicture>(picRadarCRT_->picture(), display_);
    // Every resize repaints the face from scratch; the vessels follow when there are any. The
    // first comes as the console is first shown, with the size the picture shows at.
    connect(picRadarCRT_, &WorldPictureWidget::pictureResized, this, [this] {
        sized_ = true;
        RedrawRadar();
        RedrawVessels();
    });

    radar_->ShowStartItems();
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

    DeclareVideoItems(picture());
    video_.tmrSweep = new QTimer(this);
    video_.tmrSweep->setObjectName("tmrSweep");
    // 25 frames a second: the sweep turns 6 degrees a frame at 24 rpm.
    video_.tmrSweep->setInterval(40);
    connect(video_.tmrSweep, &QTimer::timeout, this, &RadarView::tmrSweep_Timer);
    RadarVideoSession& video = exercise_.video();
    connect(&video, &RadarVideoSession::changed, this, &RadarView::ShowVideoState);
    connect(&video, &RadarVideoSession::repainted, this, [this] {
        video_.sweep.Clear();
        ShowWholeVideo();
    });
    connect(&video, &RadarVideoSession::spanRecorded, this, [this] { video_.sinceTick.restart(); });
    ShowVideoState();
    // For a look at the video without the menus (a screenshot, a class's projector).
    if (const char* on = std::getenv("MAROVANE_VIDEO"); on != nullptr && *on == '1')
        video.SetOn(true);
}

// --- radar video ----------------------------------------------------------------------------

bool RadarView::videoOn() const {
    return exercise_.video().on();
}

void RadarView::ShowVideoState() {
    const bool on = videoOn();
    ShowVideoReadout();
    if (on == video_.shownOn) return picRadarCRT_->update();
    video_.shownOn = on;
    auto& pic = picture();
    pic.setVisible(item::imgVideo, on);
    pic.setVisible(item::lneSweep, on);
    if (on) {
        video_.sinceTick.start();
        video_.tmrSweep->start();
    } else {
        video_.tmrSweep->stop();
        // The sweep's image and its table of the disc's pixels (some 11 MB at 1080p) go with
        // the video; the next switch on lays them out afresh.
        video_.sweep = VideoSweep{};
        pic.setOverlayImage(item::imgVideo, QImage(), 0, 0);
    }
    // The clean echoes go with the video on and come back with it off.
    RedrawVessels();
    picRadarCRT_->update();
}

void RadarView::ShowVideoReadout() {
    const RadarVideoSession& video = exercise_.video();
    auto& pic = picture();
    pic.setLabel(item::lblVideo, Q(VideoReadout(video.controls(), PulseFor(display_.Tick.Range))),
                 colours().echo);
    radar_->PlaceReadout(item::lblVideo);
    pic.setVisible(item::lblVideo, video.on());
}

void RadarView::ShowWholeVideo() {
    if (!videoOn()) return;
    auto& pic = picture();
    const double range = display_.Tick.Range;
    const double perPixel = std::abs(pic.unitsPerPixelX());
    if (!(perPixel > 0) || pic.size().isEmpty()) return;
    const qreal dpr = pic.devicePixelRatio();
    video_.sweep.Resize(static_cast<int>(std::lround(2 * range / perPixel * dpr)), dpr);
    // A buffer painted at another range scale is wiped at its next paint; until then nothing.
    const bool sameScale = exercise_.video().buffer().rangeScale() == range;
    if (!sameScale) video_.sweep.Clear();
    ShowVideoFrame(0, sameScale ? RadarVideo::kLines : 0);
    ShowVideoReadout();
}

void RadarView::ShowVideoFrame(int first, int count) {
    const PointD own = exercise_.ownPos();
    const double range = display_.Tick.Range;
    const VesselTables& v = sim_.Vessels;
    const float up = exercise_.isLoaded()
                         ? PictureUp(v.Vessel[static_cast<size_t>(v.OwnVessel)], display_.Tick)
                         : 0.0f;
    const RadarVideo& buffer = exercise_.video().buffer();
    video_.sweep.Paint(buffer, first, count, up, colours().echo);
    auto& pic = picture();
    pic.setOverlayImage(item::imgVideo, video_.sweep.image(), own.Y - range, own.X + range);
    const double b = ((buffer.sweepLine() + 0.5) * 360.0 / RadarVideo::kLines - up) * kDegToRad;
    pic.setOverlayLine(item::lneSweep, own.Y, own.X, own.Y + range * std::sin(b),
                       own.X + range * std::cos(b), colours().echo, 1);
}

void RadarView::tmrSweep_Timer() {
    RadarVideoSession& video = exercise_.video();
    const double share =
        std::min(1.0, static_cast<double>(video_.sinceTick.elapsed()) / kTickIntervalMs);
    if (!video.PaintUpTo(video.from() + (video.to() - video.from()) * share)) return;
    const RadarVideo& buffer = video.buffer();
    ShowVideoFrame(buffer.firstPainted(), buffer.paintedCount());
    picRadarCRT_->update();
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
    radar_->ShowColours(echoColour);
}

WorldPicture& RadarView::picture() {
    return picRadarCRT_->picture();
}

void RadarView::SetLabel(const QString& name, const QString& text) {
    radar_->SetCaption(name, text);
}

void RadarView::Refresh() {
    picRadarCRT_->update();
}

// --- the display commands' drawing ----------------------------------------------------------

void RadarView::RedrawRadar() {
    const PointD own = exercise_.ownPos();
    PrepareFullRedraw(display_, own);
    if (!sized_) return;
    radar_->RedrawRadar(own);
    SetLabel(item::lblCRTRange, Q(RangeCaption(display_.Tick.Range)));
    PlaceVRM(); // the ring with its caption
    // Without an exercise the face is still drawn, and says why it is empty.
    auto& pic = picture();
    pic.setVisible(item::lblNoExercise, !exercise_.isLoaded());
    pic.moveLabel(item::lblNoExercise, own.Y - pic.labelWidth(item::lblNoExercise) / 2,
                  own.X + 0.2 * display_.Tick.Range);
    ShowWholeVideo();
    picRadarCRT_->update();
}

void RadarView::RedrawVessels() {
    if (!exercise_.isLoaded() || !sized_) return;
    // Only the tick moves vessels: a redraw shows them where they are.
    sim_.UpdateVessels(display_.Tick, *this, false);
    // The letters stay as Identify left them, paused or running.
    ShowIdentity(display_.Tick.IdentifyOn);
    picRadarCRT_->update();
}

void RadarView::ShowDisplayItems() {
    radar_->ShowDisplayItems();
}

float RadarView::OwnCourse() const {
    const Simulation& s = sim_;
    return exercise_.isLoaded()
               ? static_cast<float>(
                     s.Vessels.Vessel[static_cast<size_t>(s.Vessels.OwnVessel)].NewHeading)
               : 0.0f;
}

void RadarView::PlaceEBL() {
    radar_->PlaceEBL(exercise_.ownPos(), exercise_.ownHeading(), OwnCourse());
    picRadarCRT_->update();
}

void RadarView::ShowEBLCaption() {
    SetLabel(item::lblCRTEBL, Q(EBLCaption(display_, exercise_.ownHeading(), OwnCourse())));
}

void RadarView::PlaceVRM() {
    radar_->PlaceVRM(exercise_.ownPos());
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
    radar_->ShowIdentity(on, sim_.Vessels.NumVessels, sim_.Vessels.OwnVessel);
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
    // The video shows the echo as the receiver gives it, or not at all.
    if (videoOn()) return radar_->HideEcho(vessel);
    radar_->ShowEcho(vessel, echo, echoColour ? echoColour(vessel) : colours().echo);
}

void RadarView::HideEcho(int vessel) {
    radar_->HideEcho(vessel);
}

void RadarView::PlotMark(int, const EchoLine& echo) {
    radar_->PlotMark(echo);
}

void RadarView::OwnLabel(int vessel, const PointD& position) {
    picture().moveLabel(item::lblVessel(vessel), position.Y, position.X);
}

void RadarView::HeadingLine(const PointD& from, const PointD& to) {
    radar_->HeadingLine(from, to);
}

void RadarView::CardinalLabels(const std::array<std::string, 4>& captions) {
    radar_->CardinalLabels(captions);
}

void RadarView::BearingFailed() {
    dialogs_.message("Radians not set in GetVector");
}

} // namespace mv
