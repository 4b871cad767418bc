#include "app/radar_console.h"

#include "app/control_column.h"
#include "app/index_lines_window.h"
#include "app/marker_tools.h"
#include "app/radar_view.h"
#include "app/target_data_window.h"
#include "app/trial_window.h"
#include "app/true_view.h"
#include "app/vessel_panel.h"
#include "gui/command_actions.h"
#include "gui/help_topics.h"
#include "gui/palette.h"
#include "gui/plot_overlays.h"
#include "gui/radar_aids.h"
#include "gui/radar_items.h"
#include "gui/radar_tracks.h"
#include "gui/tool_place.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QMainWindow>
#include <QResizeEvent>
#include <QTimer>

#include <cmath>

namespace mv {

namespace {

// Pixels of dark frame around the picture, and the narrowest the control panel may become.
constexpr int kPictureMargin = 4;
constexpr int kMinControlsWidth = 300;
// The control column's width in logical pixels whatever the screen: the buttons' captions fit
// with room, and all the width left over goes to the radar picture's side.
constexpr int kControlsWidth = 400;

} // namespace

// The aids' items in the picture and what was last drawn in them.
struct RadarConsole::Aids {
    explicit Aids(WorldPicture& picture)
        : targets(picture), tracks(picture, TrackerSettings{}.Capacity) {}
    RadarAids targets;
    RadarTracks tracks;
    std::vector<TargetAid> targetAids; // one per target of this moment
    std::vector<TrackView> trackViews; // none with ARPA off
    // A dangerous track flashes until acknowledged: half a second on, half off, between ticks.
    QTimer flash;
    bool flashOn = true;
};

RadarConsole::RadarConsole(Exercise& exercise, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), exercise_(exercise), dialogs_(dialogs) {
    setObjectName("frmRadar");
    setWindowTitle("Radar");
    // The work area left of the control column: the radar frame at its centre and the tools
    // docked round it, so that no tool ever lies over the picture or the column.
    area_ = new QMainWindow(this);
    area_->setWindowFlags(Qt::Widget); // a main window is made a window of its own
    area_->show();                     // with the console
    area_->setObjectName(kToolArea);
    area_->setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks |
                          QMainWindow::AllowTabbedDocks);
    view_ = new RadarView(exercise_, dialogs, this);
    area_->setCentralWidget(view_);
    // The picture keeps room to be plotted on however many tools are open; they scroll.
    view_->setMinimumSize(240, 240);
    view_->installEventFilter(this);
    exercise_.setView(view_);
    WorldPictureWidget* pic = view_->pictureWidget();
    // A click gives the picture the keyboard, so the arrows move the markers at once.
    pic->setFocusPolicy(Qt::StrongFocus);
    hold_ = new MarkerHold(exercise_, *view_, dialogs, this);
    keysTool_ = new KeysTool(exercise_, *view_, *hold_, this);
    cursorTool_ = new CursorTool(exercise_, *view_, *hold_, this);
    cursorTool_->setPicture(pic, &pic->picture());
    frmTrueView_ = new TrueView(exercise_, this);
    RegisterConsoleCommands(*this, exercise_, dialogs);
    actions_ = new CommandActions(exercise_, this);
    picControls_ = new ControlColumn(exercise_, dialogs, *actions_, *hold_, this, this);
    aids_ = std::make_unique<Aids>(pic->picture());
    aids_->flash.setObjectName("tmrFlash");
    aids_->flash.setInterval(500);
    connect(&aids_->flash, &QTimer::timeout, this, [this] {
        Aids& a = *aids_;
        a.flashOn = !a.flashOn;
        for (const TrackView& t : a.trackViews)
            if (exercise_.tracking().DangerUnacknowledged(t.Id)) {
                a.tracks.Show(exercise_.simulation(), exercise_.display(), a.trackViews,
                              exercise_.tracking().alerts(), a.flashOn);
                pictureWidget()->update();
                return;
            }
    });
    // The exercise steps the alarms; the console's answer to one is a beep and the data.
    connect(&exercise_, &Exercise::alarmRaised, this, [this] {
        dialogs_.beep();
        if (!targetDataShown()) targetData().show();
    });
    pickTool_ = new PickTool(exercise_, *view_, *hold_, this, [this] {
        if (!targetDataShown()) targetData().show();
    });
    // The aids follow every tick and every command: vectors, trails, marks, data and alarms.
    connect(&exercise_, &Exercise::ticked, this, &RadarConsole::ShowAids);
    connect(&exercise_, &Exercise::changed, this, &RadarConsole::ShowAids);
    overlays_ = std::make_unique<PlotOverlays>(pic->picture());
    // The index lines move with the own ship and turn with the picture.
    connect(&exercise_, &Exercise::ticked, this, &RadarConsole::ShowIndexLines);
    connect(&exercise_, &Exercise::changed, this, &RadarConsole::ShowIndexLines);
    // Where the user left the tools in a past run, for when they are first asked for.
    RestoreToolPlaces(*area_);

    VesselPanel* vessels = picControls_->vesselPanel();
    view_->echoColour = [vessels](int v) { return vessels->EchoColour(v); };
    connect(view_, &RadarView::clockShown, picControls_, &ControlColumn::ShowClock);
    connect(view_, &RadarView::maneuverStepped, vessels, &VesselPanel::ManeuverStep);
    connect(view_, &RadarView::vesselControlsWanted, vessels, &VesselPanel::EnableVesselControls);
    connect(view_, &RadarView::trueViewLabelShown, frmTrueView_, [this](int slot, bool on) {
        frmTrueView_->ShowLabel(slot, on);
        frmTrueView_->ShowLabelColours();
    });
    connect(view_, &RadarView::ownVesselMarked, frmTrueView_, &TrueView::ShowLabelColours);
    connect(view_, &RadarView::trueViewMarked, frmTrueView_, &TrueView::TrueViewMark);
    connect(view_, &RadarView::trueViewClearWanted, frmTrueView_, &TrueView::ClearTrueView);
    connect(view_, &RadarView::trueViewRepaintWanted, frmTrueView_, &TrueView::picTrueCRT_Paint);
    connect(vessels, &VesselPanel::echoHighlighted, this, [this](int v, bool on) {
        const Palette& c = view_->colours();
        view_->picture().setColour(item::lneVessel(v), on ? c.echoManoeuvre : c.echo);
        view_->Refresh();
    });
    connect(vessels, &VesselPanel::jumpShown, this, &RadarConsole::ShowJump);
    connect(frmTrueView_, &TrueView::repeatPressed, this,
            [this] { exercise_.commands().Trigger("mnuRepeat"); });
    connect(&exercise_, &Exercise::changed, this, &RadarConsole::ShowExerciseState);
    connect(&exercise_, &Exercise::ticked, pic, qOverload<>(&QWidget::update));
    // The EBL caption reads in a reference that turns with the own vessel (COURSE heads-up,
    // RELATIVE north-up): it follows every turn and yaw of the tick.
    connect(&exercise_, &Exercise::ticked, view_, &RadarView::ShowEBLCaption);
    // The help key's page for each control.
    SetHelpContexts(this);
    ShowExerciseState();
}

RadarConsole::~RadarConsole() {
    SaveToolPlaces(*area_);
    // The docked tools hidden while the picture and the overlays they draw on still stand: a
    // tool's hiding is a change that every tool redraws on.
    hide();
    exercise_.setView(nullptr);
}

TargetDataWindow& RadarConsole::targetData() {
    if (!frmTargetData_) {
        frmTargetData_ = new TargetDataWindow(exercise_, *actions_, this);
        frmTargetData_->ShowData(aids_->targetAids, aids_->trackViews);
        // Beside the picture, which loses width it mostly has to spare rather than height.
        DockTool(*frmTargetData_, ToolSide::Left);
    }
    return *frmTargetData_;
}

void RadarConsole::ShowAids() {
    Aids& a = *aids_;
    const Simulation& sim = exercise_.simulation();
    const RadarDisplayState& d = exercise_.display();
    a.targetAids = TargetAids(sim.Vessels, d.Aids.VectorMinutes());
    a.trackViews.clear();
    if (d.Aids.Arpa) a.trackViews = exercise_.trackViews();
    a.targets.Show(sim, d, a.targetAids);
    if (d.Aids.Arpa != a.flash.isActive()) d.Aids.Arpa ? a.flash.start() : a.flash.stop();
    a.tracks.Show(sim, d, a.trackViews, exercise_.tracking().alerts(), a.flashOn);
    if (frmTargetData_) frmTargetData_->ShowData(a.targetAids, a.trackViews);
    pictureWidget()->update();
}

bool RadarConsole::targetDataShown() const {
    return frmTargetData_ && frmTargetData_->isVisible();
}

IndexLinesWindow& RadarConsole::indexLines() {
    if (!frmIndexLines_) {
        frmIndexLines_ =
            new IndexLinesWindow(exercise_, dialogs_, *pictureWidget(), *overlays_, this);
        // Docked where the user left it in a past run (the places were restored at start).
        DockTool(*frmIndexLines_, ToolSide::Left);
    }
    return *frmIndexLines_;
}

bool RadarConsole::indexLinesShown() const {
    return frmIndexLines_ && frmIndexLines_->isVisible();
}

TrialWindow& RadarConsole::trial() {
    if (!frmTrial_) {
        frmTrial_ = new TrialWindow(exercise_, dialogs_, *pictureWidget(), *overlays_, this);
        // A trial is worked again from every new moment, and turns with the picture. Until
        // the window is first opened there is no trial to show.
        connect(&exercise_, &Exercise::ticked, frmTrial_, &TrialWindow::ShowTrial);
        connect(&exercise_, &Exercise::changed, frmTrial_, &TrialWindow::ShowTrial);
        DockTool(*frmTrial_, ToolSide::Left);
    }
    return *frmTrial_;
}

bool RadarConsole::trialShown() const {
    return frmTrial_ && frmTrial_->isVisible();
}

void RadarConsole::ShowIndexLines() {
    const RadarDisplayState& d = exercise_.display();
    overlays_->ShowIndexLines(exercise_.simulation(), d, PaletteFor(d.Colours));
    pictureWidget()->update();
}

WorldPicture& RadarConsole::picture() {
    return view_->picture();
}

WorldPictureWidget* RadarConsole::pictureWidget() const {
    return view_->pictureWidget();
}

TrafficSelector& RadarConsole::traffic() const {
    return picControls_->traffic();
}

MarkerPanel& RadarConsole::markers() const {
    return picControls_->markers();
}

VesselPanel* RadarConsole::vesselPanel() const {
    return picControls_->vesselPanel();
}

int RadarConsole::UsableWidth(int h) const {
    const int picW = static_cast<int>(std::lround((h - 2 * kPictureMargin) * kPictureAspect));
    return picW + 2 * kPictureMargin + ControlsWidth();
}

int RadarConsole::ControlsWidth() const {
    return std::max({kMinControlsWidth, kControlsWidth, picControls_->minimumSizeHint().width()});
}

void RadarConsole::resizeEvent(QResizeEvent*) {
    LayOut();
}

bool RadarConsole::eventFilter(QObject* watched, QEvent* event) {
    // The frame resized by the docks round it: the picture scales to the room they leave.
    if (watched == view_ && event->type() == QEvent::Resize) PlacePicture();
    return QWidget::eventFilter(watched, event);
}

void RadarConsole::LayOut() {
    const int h = std::max(height(), 60);
    // The column keeps its width at the right edge; narrower only when the window is. The
    // work area takes the rest, however little, so that no button is pushed out of sight.
    const int controlsW = std::min(ControlsWidth(), std::max(width() - 50, kMinControlsWidth));
    const int areaW = std::max(width() - controlsW, 50);
    area_->setGeometry(0, 0, areaW, h);
    picControls_->setGeometry(areaW, 0, std::max(width() - areaW, 0), h);
    PlacePicture();
}

void RadarConsole::PlacePicture() {
    // The picture takes the frame's full height, 0.9 of it across, so a mile spans the same
    // pixels both ways; in a narrow frame the width rules. It stands centred across the dark
    // frame, so a wide screen frames the radar rather than an empty stretch.
    const int frameW = view_->width();
    int picH = view_->height() - 2 * kPictureMargin;
    int picW = static_cast<int>(std::lround(picH * kPictureAspect));
    const int roomAcross = frameW - 2 * kPictureMargin;
    if (picW > roomAcross && roomAcross > 0) {
        picW = roomAcross;
        picH = static_cast<int>(std::lround(picW / kPictureAspect));
    }
    picW = std::max(picW, 50);
    picH = std::max(picH, 50);
    view_->pictureWidget()->setGeometry((frameW - picW) / 2, kPictureMargin, picW, picH);
}

void RadarConsole::ShowExerciseState() {
    const QString title = exercise_.isLoaded()
                              ? QString::fromStdString(ExerciseTitle(exercise_.simulation().Title))
                              : QString("No exercise loaded");
    setWindowTitle(title);
    if (QWidget* frame = parentWidget()) frame->setWindowTitle(title);
    const InputMode mode = exercise_.display().CursorMode;
    PictureTool* tool = mode == InputMode::Cursor ? static_cast<PictureTool*>(cursorTool_)
                        : mode == InputMode::Pick ? static_cast<PictureTool*>(pickTool_)
                                                  : keysTool_;
    if (pictureWidget()->tool() != tool) pictureWidget()->setTool(tool);
    // The read-outs of the vectors and the picture's mode follow every command.
    view_->ShowDisplayItems();
    view_->Refresh();
}

void RadarConsole::ShowJump(int former, int own, const QString& status) {
    auto& pic = view_->picture();
    pic.setVisible(item::lneVessel(former), true);
    pic.setVisible(item::lneVessel(own), false);
    // The picture is drawn anew about the new own vessel, and the True View follows.
    view_->RedrawRadar();
    frmTrueView_->ShowLabelColours();
    if (exercise_.display().Tick.TrueViewOn) frmTrueView_->ResetTrueView();
    view_->StatusLine(status.toStdString());
    // The echoes at once where they lie from the new own vessel, not a tick later.
    view_->RedrawVessels();
}

} // namespace mv
