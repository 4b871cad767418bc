#include "app/radar_console.h"

#include "app/help_commands.h"
#include "app/marker_panel.h"
#include "app/traffic_selector.h"
#include "app/true_view.h"
#include "app/vessel_panel.h"
#include "gui/control_rows.h"
#include "gui/help_topics.h"
#include "gui/radar_items.h"
#include "gui/sea_state.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace mv {

namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// A mile the same number of pixels across and down: the window is 2 ranges wide and 2.23
// ranges high.
constexpr double kPictureAspect = 2.0 / 2.23;
// Pixels of dark frame around the picture, and the narrowest the control panel may become.
constexpr int kPictureMargin = 4;
constexpr int kMinControlsWidth = 300;
const QColor kLabelYellow(255, 255, 0);

} // namespace

RadarConsole::RadarConsole(Exercise& exercise, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), exercise_(exercise), sim_(exercise.simulation()),
      display_(exercise.display()), dialogs_(dialogs) {
    setObjectName("frmRadar");
    setWindowTitle("Radar");
    BuildPicture();
    BuildControls();
    frmTrueView_ = new TrueView(exercise_, this);
    connect(frmTrueView_, &TrueView::vesselPassWanted, this, &RadarConsole::RedrawVessels);
    connect(frmTrueView_, &TrueView::repeatPressed, this,
            [this] { findChild<QPushButton*>("cmdRepeat")->click(); });
    exercise_.setView(this);
    connect(&exercise_, &Exercise::changed, this, &RadarConsole::ShowExerciseState);
    connect(&exercise_, &Exercise::ticked, picRadarCRT_, qOverload<>(&QWidget::update));
    ShowExerciseState();
}

RadarConsole::~RadarConsole() {
    exercise_.setView(nullptr);
}

QPushButton* RadarConsole::AddButton(const char* name, const QString& caption,
                                     void (RadarConsole::*slot)()) {
    return CommandButton(name, caption, ButtonUse::Console, this, slot, picControls_);
}

void RadarConsole::BuildPicture() {
    pnlRadar_ = new QFrame(this);
    pnlRadar_->setObjectName("pnlRadar");
    pnlRadar_->setFrameShape(QFrame::Panel);
    pnlRadar_->setFrameShadow(QFrame::Sunken);
    pnlRadar_->setStyleSheet("QFrame#pnlRadar { background: #202428; }");
    picRadarCRT_ = new WorldPictureWidget(pnlRadar_);
    picRadarCRT_->setObjectName("picRadarCRT");
    radar_ = std::make_unique<RadarPicture>(picRadarCRT_->picture(), display_);
    // Every resize repaints the face from scratch; the vessels follow when there are any.
    connect(picRadarCRT_, &WorldPictureWidget::pictureResized, this, [this] {
        RedrawRadar();
        RedrawVessels();
    });

    auto& pic = picRadarCRT_->picture();
    for (const QString* name : {&item::lbl000, &item::lbl090, &item::lbl180, &item::lbl270,
                                &item::lblCRTRange, &item::lblMode, &item::lblVesselData})
        pic.setVisible(*name, true);
    SetLabel(item::lblPlot, Q(PlotCaption(display_.Tick.PlotFreqIndex)));
    SetLabel(item::lblPlotTime, "00:00:00");
    pic.setVisible(item::lblPlot, display_.Tick.PlotOn);
    pic.setVisible(item::lblPlotTime, display_.Tick.PlotOn);
    pic.setVisible(item::lblRR, display_.RingsOn);
    pic.setVisible(item::lblCRTEBL, display_.EBLOn);
    pic.setVisible(item::lblCRTVRM, display_.VRMOn);
    pic.setVisible(item::lblVesselData, display_.NavOn);
    pic.setLabel(item::lblNoExercise, "No exercise loaded", QColor(255, 200, 0));
    for (int i = 0; i < kMaxVessels; ++i) {
        pic.setOverlayLine(item::lneVessel(i), 0, 0, 0, 0, kEchoColour, 2);
        // The letters of the vessel buttons: A for the own vessel, then B to F.
        pic.setLabel(item::lblVessel(i), QString(QChar(u'A' + i)), kLabelYellow);
    }
    pic.setOverlayLine(item::lneSHL, 0, 0, 0, 0, kRadarGreen, 1);
}

void RadarConsole::BuildControls() {
    picControls_ = new QFrame(this);
    picControls_->setObjectName("picControls");
    picControls_->setAutoFillBackground(true);
    QPalette pal = picControls_->palette();
    pal.setColor(QPalette::Window, QColor(163, 215, 245));
    picControls_->setPalette(pal);

    // The controls keep a comfortable width, centred, however wide the window is.
    // On a screen too low for the whole column it scrolls rather than squeezing buttons flat.
    auto* outer = new QHBoxLayout(picControls_);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(picControls_);
    scroll->setObjectName("scrControls");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* holder = new QWidget(scroll);
    holder->setAutoFillBackground(false);
    auto* centre = new QHBoxLayout(holder);
    centre->setContentsMargins(12, 8, 12, 8);
    auto* panel = new QWidget(holder);
    panel->setObjectName("pnlControlColumn");
    panel->setMaximumWidth(440);
    centre->addWidget(panel);
    scroll->setWidget(holder);
    outer->addWidget(scroll);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    lblTime_ = new QLabel("00:00:00", picControls_);
    lblTime_->setObjectName("lblTime");
    QFont clockFont("DejaVu Sans Mono");
    clockFont.setPixelSize(22);
    clockFont.setBold(true);
    lblTime_->setFont(clockFont);
    lblTime_->setAlignment(Qt::AlignCenter);
    lblTime_->setStyleSheet("QLabel { background: #0b1a10; color: #40ff70; border: 2px inset "
                            "#6a8fa8; padding: 4px; }");
    column->addWidget(lblTime_);

    lblPaused_ = new QLabel("PAUSED", picControls_);
    lblPaused_->setObjectName("lblPaused");
    lblPaused_->setAlignment(Qt::AlignCenter);
    lblPaused_->setStyleSheet("QLabel { color: #c00000; font-weight: bold; }");
    // Beside the time factor; hidden, it keeps its place, so pausing moves nothing.
    QSizePolicy keepPlace = lblPaused_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblPaused_->setSizePolicy(keepPlace);
    lblPaused_->setVisible(false);

    auto* factorRow = new QHBoxLayout;
    auto* lblTimeFactor = new QLabel("Time Factor", picControls_);
    lblTimeFactor->setObjectName("lblTimeFactor");
    cboTimeFactor_ = new QComboBox(picControls_);
    cboTimeFactor_->setObjectName("cboTimeFactor");
    for (int i = 0; i < kTimeFactorCount; ++i)
        cboTimeFactor_->addItem(QString("x%1").arg(kTimeFactors[static_cast<size_t>(i)]));
    factorRow->addWidget(lblTimeFactor);
    factorRow->addWidget(cboTimeFactor_, 1);
    factorRow->addWidget(lblPaused_);
    column->addLayout(factorRow);
    connect(cboTimeFactor_, &QComboBox::currentIndexChanged, this,
            &RadarConsole::cboTimeFactor_Click);
    cboTimeFactor_->setCurrentIndex(-1);
    cboTimeFactor_->setCurrentIndex(4); // x30, through the same handler as a choice

    // The buttons in groups a watch officer reaches for together. The markers, the vessels
    // and the traffic choice join these groups as they come.
    const auto group = [&](const char* name, const QString& title) {
        auto* box = new QGroupBox(title, picControls_);
        box->setObjectName(name);
        box->setStyleSheet("QGroupBox { font-weight: bold; border: 1px solid #6a8fa8; "
                           "border-radius: 4px; margin-top: 1.2ex; padding-top: 6px; } "
                           "QGroupBox::title { subcontrol-origin: margin; left: 8px; "
                           "padding: 0 3px; }");
        auto* grid = new QGridLayout(box);
        grid->setSpacing(4);
        grid->setContentsMargins(8, 8, 8, 6);
        for (int c = 0; c < 3; ++c)
            grid->setColumnStretch(c, 1);
        column->addWidget(box);
        return grid;
    };

    QGridLayout* display = group("grpDisplay", "Display");
    display->addWidget(AddButton("cmdRR", "RR", &RadarConsole::cmdRR_Click), 0, 0);
    display->addWidget(AddButton("cmdSHL", "SHL", &RadarConsole::cmdSHL_Click), 0, 1);
    display->addWidget(AddButton("cmdHeading", "Bearings", &RadarConsole::cmdHeading_Click), 0, 2);
    auto* label1 = new QLabel("Range", picControls_);
    label1->setObjectName("Label1");
    label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display->addWidget(label1, 1, 0);
    auto* down =
        AddButton("cmdRangeDown", QString::fromUtf8("\u25BC"), &RadarConsole::cmdRangeDown_Click);
    down->setToolTip("Shorter range scale");
    auto* up =
        AddButton("cmdRangeUp", QString::fromUtf8("\u25B2"), &RadarConsole::cmdRangeUp_Click);
    up->setToolTip("Longer range scale");
    display->addWidget(down, 1, 1);
    display->addWidget(up, 1, 2);
    display->addWidget(AddButton("cmdNav", "Nav", &RadarConsole::cmdNav_Click), 2, 0);
    display->addWidget(AddButton("cmdTrueView", "True View", &RadarConsole::cmdTrueView_Click), 2,
                       1, 1, 2);
    markers_ = new MarkerPanel(exercise_, *picRadarCRT_, dialogs_, picControls_);
    group("grpMarkers", "Markers")->addWidget(markers_, 0, 0, 1, 3);

    QGridLayout* plotting = group("grpPlot", "Plotting");
    plotting->addWidget(AddButton("cmdPlot", "Plot", &RadarConsole::cmdPlot_Click), 0, 0);
    plotting->addWidget(AddButton("cmdFreq", "Freq", &RadarConsole::cmdFreq_Click), 0, 1);

    QGridLayout* exercise = group("grpExercise", "Exercise");
    exercise->addWidget(AddButton("cmdIdentify", "Identify", &RadarConsole::cmdIdentify_Click), 0,
                        0);
    cmdPause_ = AddButton("cmdPause", "Pause", &RadarConsole::cmdPause_Click);
    exercise->addWidget(cmdPause_, 0, 1);
    exercise->addWidget(AddButton("cmdRepeat", "Repeat", &RadarConsole::cmdRepeat_Click), 0, 2);
    traffic_ = new TrafficSelector(exercise_, dialogs_, picControls_);
    exercise->addWidget(traffic_, 1, 0, 1, 3);
    pnlVessels_ = new VesselPanel(exercise_, *this, dialogs_, picControls_);
    group("grpVessels", "Vessels")->addWidget(pnlVessels_, 0, 0, 1, 3);
    exercise->addWidget(AddButton("cmdHelp", "Help", &RadarConsole::cmdHelp_Click), 2, 0);
    exercise->addWidget(AddButton("cmdTutorial", "Tutor", &RadarConsole::cmdTutorial_Click), 2, 1);
    // The sea-state picture takes what height is left, at the foot of the panel.
    pnlSeaState_ = new SeaStatePanel(picControls_);
    column->addWidget(pnlSeaState_, 1);
    SetSeaState(sim_.SeaState);

    // The help key's page for each control.
    SetHelpContexts(this);
}

void RadarConsole::SetSeaState(int seaState) {
    if (seaState < 0 || seaState > 2) return;
    sim_.SeaState = static_cast<int16_t>(seaState);
    pnlSeaState_->ShowSeaState(seaState);
    QPalette pal = picControls_->palette();
    pal.setColor(QPalette::Window, kSeaStatePanelColours[static_cast<size_t>(seaState)]);
    picControls_->setPalette(pal);
}

int RadarConsole::UsableWidth(int h) const {
    const int picW = static_cast<int>(std::lround((h - 2 * kPictureMargin) * kPictureAspect));
    return picW + 2 * kPictureMargin +
           std::max(kMinControlsWidth, picControls_->minimumSizeHint().width());
}

void RadarConsole::resizeEvent(QResizeEvent*) {
    LayOut();
}

void RadarConsole::LayOut() {
    // The picture takes the full height, 0.9 of it across, so a mile spans the same pixels
    // both ways. In a tall, narrow window it gives way before the controls do, so that no
    // button is ever pushed out of sight.
    const int h = std::max(height(), 60);
    int picH = h - 2 * kPictureMargin;
    int picW = static_cast<int>(std::lround(picH * kPictureAspect));
    const int roomAcross = width() - 2 * kPictureMargin - kMinControlsWidth;
    if (picW > roomAcross && roomAcross > 0) {
        picW = roomAcross;
        picH = static_cast<int>(std::lround(picW / kPictureAspect));
    }
    picW = std::max(picW, 50);
    picH = std::max(picH, 50);
    pnlRadar_->setGeometry(0, 0, picW + 2 * kPictureMargin, h);
    picRadarCRT_->setGeometry(kPictureMargin, kPictureMargin, picW, picH);
    const int left = pnlRadar_->width();
    picControls_->setGeometry(left, 0, std::max(width() - left, 0), h);
}

WorldPicture& RadarConsole::picture() {
    return picRadarCRT_->picture();
}

void RadarConsole::SetLabel(const QString& name, const QString& text) {
    picture().setLabel(name, text, kRadarGreen);
}

void RadarConsole::ShowExerciseState() {
    const bool paused = exercise_.isPaused();
    lblPaused_->setVisible(paused);
    cmdPause_->setText(paused ? "Resume" : "Pause");
    {
        const QSignalBlocker quiet(cboTimeFactor_);
        cboTimeFactor_->setCurrentIndex(sim_.Clock.TimeFactorIndex);
    }
    const QString title = exercise_.isLoaded() ? Q(sim_.Title) : QString("No exercise loaded");
    setWindowTitle(title);
    if (QWidget* frame = parentWidget()) frame->setWindowTitle(title);
    if (picture().isVisible(item::lblNoExercise) == exercise_.isLoaded()) RedrawRadar();
}

// --- the picture --------------------------------------------------------------------------

void RadarConsole::RedrawRadar() {
    const PointD own = exercise_.ownPos();
    PrepareFullRedraw(display_, own);
    radar_->RedrawRadar(own);
    RefreshRangeCaptions();
    // Without an exercise the face is still drawn, and says why it is empty.
    auto& pic = picture();
    pic.setVisible(item::lblNoExercise, !exercise_.isLoaded());
    pic.moveLabel(item::lblNoExercise, own.Y - pic.labelWidth(item::lblNoExercise) / 2,
                  own.X + 0.2 * display_.Tick.Range);
    picRadarCRT_->update();
}

void RadarConsole::RedrawVessels() {
    if (!exercise_.isLoaded()) return;
    // Only the tick moves vessels: a redraw shows them where they are.
    sim_.UpdateVessels(display_.Tick, *this, false);
    picRadarCRT_->update();
}

void RadarConsole::RefreshRangeCaptions() {
    SetLabel(item::lblCRTRange, Q(RangeCaption(display_.Tick.Range)));
    if (markers_) markers_->PlaceVRM(); // the ring with its caption
}

void RadarConsole::SetRange(double range) {
    SetRadarRange(display_, range);
    RedrawRadar();
    if (display_.Tick.TrueViewOn) frmTrueView_->picTrueCRT_Paint();
}

void RadarConsole::RangeDown() {
    if (display_.RangeIndex <= 0) return;
    --display_.RangeIndex;
    SetRadarRange(display_, kRangeScales[static_cast<size_t>(display_.RangeIndex)]);
    RedrawRadar();
}

void RadarConsole::RangeUp() {
    if (display_.RangeIndex >= 9) return;
    ++display_.RangeIndex;
    // A longer range leaves the VRM where it is.
    display_.Tick.Range = kRangeScales[static_cast<size_t>(display_.RangeIndex)];
    RedrawRadar();
}

void RadarConsole::SetNorthUp(bool northUp) {
    display_.Tick.NorthUp = northUp;
    RedrawRadar();
    if (display_.EBLOn) markers_->PlaceEBL(); // the caption reads in the new reference
    RedrawVessels();
}

void RadarConsole::SetPlotFrequency(int index) {
    if (index < 0 || index > 3) return;
    display_.Tick.PlotFreqIndex = static_cast<int16_t>(index);
    SetLabel(item::lblPlot, Q(PlotCaption(display_.Tick.PlotFreqIndex)));
    picRadarCRT_->update();
}

// --- console buttons ----------------------------------------------------------------------

void RadarConsole::cmdRR_Click() {
    display_.RingsOn = !display_.RingsOn;
    picture().setVisible(item::lblRR, display_.RingsOn);
    RedrawRadar();
    RedrawVessels();
}

void RadarConsole::cmdSHL_Click() {
    display_.Tick.ShowSHL = !display_.Tick.ShowSHL;
    picture().setVisible(item::lneSHL, display_.Tick.ShowSHL);
    if (display_.Tick.ShowSHL) RedrawVessels();
    picRadarCRT_->update();
}

void RadarConsole::cmdHeading_Click() {
    display_.Tick.Bearing =
        display_.Tick.Bearing == BearingMode::Course ? BearingMode::Relative : BearingMode::Course;
    RedrawRadar();
    if (display_.EBLOn) markers_->PlaceEBL();
    RedrawVessels();
}

void RadarConsole::cmdRangeDown_Click() {
    if (display_.Tick.Range > 0.125) RangeDown();
    RedrawVessels();
    display_.VRMPending = true;
}

void RadarConsole::cmdRangeUp_Click() {
    if (display_.Tick.Range < 36) RangeUp();
    RedrawVessels();
    display_.VRMPending = true;
}

void RadarConsole::cmdPlot_Click() {
    display_.Tick.PlotOn = !display_.Tick.PlotOn;
    picture().setVisible(item::lblPlot, display_.Tick.PlotOn);
    picture().setVisible(item::lblPlotTime, display_.Tick.PlotOn);
    RedrawRadar();
    display_.Tick.PlotTime = 0;
    SetLabel(item::lblPlotTime, "00:00:00");
    // The first marks appear at once.
    RedrawVessels();
}

void RadarConsole::cmdFreq_Click() {
    SetPlotFrequency((display_.Tick.PlotFreqIndex + 1) % 4);
}

void RadarConsole::cmdNav_Click() {
    display_.NavOn = !display_.NavOn;
    picture().setVisible(item::lblVesselData, display_.NavOn);
    picRadarCRT_->update();
}

void RadarConsole::cmdIdentify_Click() {
    ShowIdentity(true);
    picRadarCRT_->update();
}

void RadarConsole::cmdPause_Click() {
    exercise_.TogglePause();
}

void RadarConsole::cmdRepeat_Click() {
    exercise_.Repeat();
}

void RadarConsole::cboTimeFactor_Click(int index) {
    exercise_.SetTimeFactor(index);
}

void RadarConsole::cmdTrueView_Click() {
    frmTrueView_->ToggleTrueView();
}

void RadarConsole::cmdHelp_Click() {
    ShowHelpTopics(dialogs_, exercise_.programFolder());
}

void RadarConsole::cmdTutorial_Click() {
    ShowTutorial(dialogs_, exercise_.programFolder());
}

// --- what a scenario start shows ----------------------------------------------------------

void RadarConsole::EnableVesselControls() {
    pnlVessels_->EnableVesselControls();
}

void RadarConsole::ShowSlotMarkers(int slot, bool radarLine, bool trueViewLabel) {
    picture().setVisible(item::lneVessel(slot), radarLine);
    picture().setVisible(item::lblVessel(slot), false);
    frmTrueView_->ShowLabel(slot, trueViewLabel);
    frmTrueView_->SetLabelColour(slot, kTrueViewTargetGreen);
}

void RadarConsole::MarkOwnVesselInTrueView() {
    frmTrueView_->SetLabelColour(sim_.Vessels.OwnVessel, kTrueViewOwnRed);
}

void RadarConsole::DrawCursor() {
    markers_->DrawCursor();
}

void RadarConsole::ClearTrueView() {
    frmTrueView_->ClearTrueView();
}

// --- what the tick shows ------------------------------------------------------------------

void RadarConsole::ShowIdentity(bool on) {
    auto& pic = picture();
    for (int i = 0; i < sim_.Vessels.NumVessels && i < kMaxVessels; ++i)
        if (pic.isVisible(item::lneVessel(i)) || i == sim_.Vessels.OwnVessel)
            pic.setVisible(item::lblVessel(i), on);
}

void RadarConsole::ManeuverStep(int vessel, const ManeuverReadout& readout) {
    pnlVessels_->ManeuverStep(vessel, readout);
}

void RadarConsole::StatusLine(const std::string& text) {
    SetLabel(item::lblVesselData, Q(text));
}

void RadarConsole::Clock(const std::string& text) {
    lblTime_->setText(Q(text));
}

void RadarConsole::PlotClock(const std::string& text) {
    SetLabel(item::lblPlotTime, Q(text));
}

void RadarConsole::CentreOn(const PointD& own) {
    radar_->SetRadarScale(own);
}

void RadarConsole::TrueViewMark(int vessel, const PointD& position) {
    frmTrueView_->TrueViewMark(vessel, position);
}

void RadarConsole::Collision(int, const std::array<std::array<PointD, 9>, 2>& mark) {
    dialogs_.beep();
    auto& pic = picture();
    pic.setPenWidth(display_.EchoWidth);
    for (const auto& chain : mark)
        for (size_t s = 0; s + 1 < chain.size(); ++s)
            pic.line(chain[s].Y, chain[s].X, chain[s + 1].Y, chain[s + 1].X, kCollisionGreen);
    // The mark is on the screen before the message asks for the user's attention.
    picRadarCRT_->repaint();
    dialogs_.message("COLLISION!");
    RedrawRadar();
}

void RadarConsole::ShowEcho(int vessel, const EchoLine& echo) {
    auto& pic = picture();
    pic.setOverlayLine(item::lneVessel(vessel), echo.P1.Y, echo.P1.X, echo.P2.Y, echo.P2.X,
                       pnlVessels_->EchoColour(vessel), display_.EchoWidth);
    pic.setVisible(item::lneVessel(vessel), true);
    pic.moveLabel(item::lblVessel(vessel), echo.Centre.Y, echo.Centre.X);
}

void RadarConsole::HideEcho(int vessel) {
    picture().setVisible(item::lneVessel(vessel), false);
    picture().setVisible(item::lblVessel(vessel), false);
}

void RadarConsole::PlotMark(int, const EchoLine& echo) {
    auto& pic = picture();
    pic.setPenWidth(display_.EchoWidth);
    pic.line(echo.P1.Y, echo.P1.X, echo.P2.Y, echo.P2.X, kPlotGrey);
}

void RadarConsole::OwnLabel(int vessel, const PointD& position) {
    picture().moveLabel(item::lblVessel(vessel), position.Y, position.X);
}

void RadarConsole::HeadingLine(const PointD& from, const PointD& to) {
    picture().setOverlayLine(item::lneSHL, from.Y, from.X, to.Y, to.X, kRadarGreen, 1);
    picture().setVisible(item::lneSHL, display_.Tick.ShowSHL);
}

void RadarConsole::CardinalLabels(const std::array<std::string, 4>& captions) {
    SetLabel(item::lbl000, Q(captions[0]));
    SetLabel(item::lbl090, Q(captions[1]));
    SetLabel(item::lbl180, Q(captions[2]));
    SetLabel(item::lbl270, Q(captions[3]));
}

void RadarConsole::BearingFailed() {
    dialogs_.message("Radians not set in GetVector");
}

} // namespace mv
