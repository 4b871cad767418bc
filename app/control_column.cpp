#include "app/control_column.h"

#include "app/marker_panel.h"
#include "app/traffic_selector.h"
#include "app/vessel_panel.h"
#include "core/clock.h"
#include "gui/command_actions.h"
#include "gui/console_style.h"
#include "gui/control_rows.h"
#include "gui/palette.h"
#include "gui/sea_state.h"
#include "session/exercise.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <algorithm>

namespace mv {

ControlColumn::ControlColumn(Exercise& exercise, Dialogs& dialogs, CommandActions& actions,
                             MarkerHold& hold, QWidget* windows, QWidget* parent)
    : QFrame(parent), exercise_(exercise), actions_(actions) {
    setObjectName("picControls");
    setAutoFillBackground(true);

    // The controls keep a comfortable width, centred, however wide the window is.
    // On a screen too low for the whole column it scrolls rather than squeezing buttons flat.
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("scrControls");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* holder = new QWidget(scroll);
    holder_ = holder;
    holder->setAutoFillBackground(false);
    auto* centre = new QHBoxLayout(holder);
    centre->setContentsMargins(12, 8, 12, 8);
    auto* panel = new QWidget(holder);
    panel->setObjectName("pnlControlColumn");
    panel->setMaximumWidth(440);
    centre->addWidget(panel);
    scroll->setWidget(holder);
    outer->addWidget(scroll);
    // Made after the scroll area, so deleted after the groups in it that draw with it.
    groupStyle_ = new GroupFrameStyle;
    groupStyle_->setParent(this);
    column_ = new QVBoxLayout(panel);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->setSpacing(4);

    lblTime_ = new QLabel("00:00:00", this);
    lblTime_->setObjectName("lblTime");
    QFont clockFont("DejaVu Sans Mono");
    clockFont.setPixelSize(22);
    clockFont.setBold(true);
    lblTime_->setFont(clockFont);
    lblTime_->setAlignment(Qt::AlignCenter);
    column_->addWidget(lblTime_);

    lblPaused_ = new QLabel("PAUSED", this);
    lblPaused_->setObjectName("lblPaused");
    lblPaused_->setAlignment(Qt::AlignCenter);
    QFont pausedFont = lblPaused_->font();
    pausedFont.setBold(true);
    lblPaused_->setFont(pausedFont);
    // Beside the time factor; hidden, it keeps its place, so pausing moves nothing.
    QSizePolicy keepPlace = lblPaused_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblPaused_->setSizePolicy(keepPlace);
    lblPaused_->setVisible(false);

    auto* factorRow = new QHBoxLayout;
    auto* lblTimeFactor = new QLabel("Time Factor", this);
    lblTimeFactor->setObjectName("lblTimeFactor");
    cboTimeFactor_ = new QComboBox(this);
    cboTimeFactor_->setObjectName("cboTimeFactor");
    for (int i = 0; i < kTimeFactorCount; ++i)
        cboTimeFactor_->addItem(QString("x%1").arg(kTimeFactors[static_cast<size_t>(i)]));
    factorRow->addWidget(lblTimeFactor);
    factorRow->addWidget(cboTimeFactor_, 1);
    factorRow->addWidget(lblPaused_);
    column_->addLayout(factorRow);
    connect(cboTimeFactor_, &QComboBox::currentIndexChanged, &exercise_, &Exercise::SetTimeFactor);
    cboTimeFactor_->setCurrentIndex(-1);
    cboTimeFactor_->setCurrentIndex(4); // x30, through the same handler as a choice

    // The buttons in groups a watch officer reaches for together.
    QGridLayout* display = Group("grpDisplay", "Display");
    display->addWidget(AddButton("cmdRR", "RR", "mnuRangeRings"), 0, 0);
    display->addWidget(AddButton("cmdSHL", "SHL", "mnuSHL"), 0, 1);
    display->addWidget(AddButton("cmdHeading", "Bearings", "actBearings"), 0, 2);
    auto* label1 = new QLabel("Range", this);
    label1->setObjectName("Label1");
    label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    display->addWidget(label1, 1, 0);
    auto* down = AddButton("cmdRangeDown", QString::fromUtf8("\u25BC"), "mnuRangeDown");
    down->setToolTip("Shorter range scale");
    auto* up = AddButton("cmdRangeUp", QString::fromUtf8("\u25B2"), "mnuRangeUp");
    up->setToolTip("Longer range scale");
    display->addWidget(down, 1, 1);
    display->addWidget(up, 1, 2);
    display->addWidget(AddButton("cmdNav", "Nav", "actNav"), 2, 0);
    display->addWidget(AddButton("cmdTrueView", "True View", "mnuTrueView"), 2, 1, 1, 2);
    markers_ = new MarkerPanel(exercise_, actions_, hold, this);
    Group("grpMarkers", "Markers")->addWidget(markers_, 0, 0, 1, 3);

    QGridLayout* plotting = Group("grpPlot", "Plotting");
    plotting->addWidget(AddButton("cmdPlot", "Plot", "mnuPlotOnOff"), 0, 0);
    plotting->addWidget(AddButton("cmdFreq", "Freq", "actFreq"), 0, 1);

    QGridLayout* exerciseGroup = Group("grpExercise", "Exercise");
    exerciseGroup->addWidget(AddButton("cmdIdentify", "Identify", "mnuIdentify"), 0, 0);
    // Pause says its state in its caption (Resume) and in the PAUSED flag, so it is not held in.
    cmdPause_ = MakeButton("cmdPause", "Pause", ButtonUse::Console, this);
    CommandActions::Bind(cmdPause_, actions_.action("mnuPause"), false);
    exerciseGroup->addWidget(cmdPause_, 0, 1);
    exerciseGroup->addWidget(AddButton("cmdRepeat", "Repeat", "mnuRepeat"), 0, 2);
    traffic_ = new TrafficSelector(exercise_, dialogs, this);
    exerciseGroup->addWidget(traffic_, 1, 0, 1, 3);
    pnlVessels_ = new VesselPanel(exercise_, dialogs, actions_, windows, this);
    Group("grpVessels", "Vessels")->addWidget(pnlVessels_, 0, 0, 1, 3);
    exerciseGroup->addWidget(AddButton("cmdHelp", "Help", "mnuHelpTopics"), 2, 0);
    exerciseGroup->addWidget(AddButton("cmdTutorial", "Tutor", "mnuTutorial"), 2, 1);
    // The sea-state picture at the foot of the panel, a modest size: it shows the weather, it
    // is not what the student works on. What height is left lies above it.
    column_->addStretch(1);
    pnlSeaState_ = new SeaStatePanel(this);
    pnlSeaState_->setMaximumHeight(150);
    column_->addWidget(pnlSeaState_, 1);

    connect(&exercise_, &Exercise::changed, this, &ControlColumn::ShowState);
    ShowState();
}

void ControlColumn::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const int need = holder_->sizeHint().height();
    if (!compact_ && need > height()) {
        fullHeight_ = need;
        SetCompact(true);
    } else if (compact_ && fullHeight_ <= height()) {
        SetCompact(false);
    }
}

void ControlColumn::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    // A new palette for the whole program (day, dusk, night) reaches the column as a change
    // of its own.
    if (event->type() == QEvent::PaletteChange) ShowGroupGround();
}

void ControlColumn::ShowGroupGround() {
    const QColor ground = QApplication::palette().color(QPalette::Window);
    for (QGroupBox* box : groups_) {
        if (box->palette().color(QPalette::Window) == ground) continue;
        QPalette pal;
        pal.setColor(QPalette::Window, ground);
        box->setPalette(pal);
    }
}

void ControlColumn::SetCompact(bool on) {
    compact_ = on;
    // Pixels: a button's height, the gaps between rows, a group's margins.
    const int gap = on ? 2 : 4;
    for (QPushButton* b : holder_->findChildren<QPushButton*>()) {
        // Each button's own full height is kept, to come back to.
        if (!b->property("fullHeight").isValid()) b->setProperty("fullHeight", b->minimumHeight());
        b->setMinimumHeight(on ? 22 : b->property("fullHeight").toInt());
        b->setMaximumHeight(on ? 22 : QWIDGETSIZE_MAX);
    }
    for (QLayout* l : holder_->findChildren<QLayout*>())
        if (l->spacing() >= 0) l->setSpacing(gap);
    groupStyle_->SetTopPadding(on ? 2 : 6);
    for (QGroupBox* box : groups_) {
        // The group measures its frame again on a style change.
        QEvent restyled(QEvent::StyleChange);
        QApplication::sendEvent(box, &restyled);
        if (QLayout* grid = box->layout())
            on ? grid->setContentsMargins(6, 4, 6, 2) : grid->setContentsMargins(8, 8, 8, 6);
    }
    if (auto* centre = holder_->layout())
        on ? centre->setContentsMargins(8, 2, 8, 2) : centre->setContentsMargins(12, 8, 12, 8);
    // The cursor mode's picture shares its place with the four marker buttons.
    if (auto* image = holder_->findChild<QWidget*>("imgCursorMode"))
        image->setMinimumSize(120, on ? 46 : 90);
    QFont clockFont = lblTime_->font();
    clockFont.setPixelSize(on ? 18 : 22);
    lblTime_->setFont(clockFont);
    pnlSeaState_->setVisible(!on);
    // The scroll area looks at its contents again only on a resize or here: its bar goes now.
    if (auto* scroll = findChild<QScrollArea*>("scrControls")) scroll->setWidgetResizable(true);
    ShowColours(PaletteFor(exercise_.display().Colours),
                PaletteFor(exercise_.display().Colours)
                    .consoleSea[static_cast<size_t>(std::clamp(shownSea_, 0, 2))]);
}

QPushButton* ControlColumn::AddButton(const char* name, const QString& caption,
                                      const char* action) {
    QPushButton* b = MakeButton(name, caption, ButtonUse::Console, this);
    CommandActions::Bind(b, actions_.action(action));
    return b;
}

QGridLayout* ControlColumn::Group(const char* name, const QString& title) {
    auto* box = new QGroupBox(title, this);
    box->setObjectName(name);
    box->setStyle(groupStyle_);
    groups_.push_back(box);
    auto* grid = new QGridLayout(box);
    grid->setSpacing(4);
    grid->setContentsMargins(8, 8, 8, 6);
    for (int c = 0; c < 3; ++c)
        grid->setColumnStretch(c, 1);
    column_->addWidget(box);
    return grid;
}

void ControlColumn::ShowClock(const QString& text) {
    lblTime_->setText(text);
}

void ControlColumn::ShowState() {
    const bool paused = exercise_.isPaused();
    lblPaused_->setVisible(paused);
    cmdPause_->setText(paused ? "Resume" : "Pause");
    {
        const QSignalBlocker quiet(cboTimeFactor_);
        cboTimeFactor_->setCurrentIndex(exercise_.simulation().Clock.TimeFactorIndex);
        // The factors an assessed exercise does not allow are greyed.
        if (auto* model = qobject_cast<QStandardItemModel*>(cboTimeFactor_->model()))
            for (int i = 0; i < kTimeFactorCount; ++i)
                if (QStandardItem* item = model->item(i))
                    item->setEnabled(exercise_.TimeFactorAllowed(i));
    }
    const int sea = exercise_.simulation().SeaState;
    const DisplayPalette colours = exercise_.display().Colours;
    if (sea >= 0 && sea <= 2 && (shownSea_ != sea || shownColours_ != colours)) {
        shownSea_ = sea;
        pnlSeaState_->ShowSeaState(sea);
        ShowColours(PaletteFor(colours), PaletteFor(colours).consoleSea[static_cast<size_t>(sea)]);
    }
}

void ControlColumn::ShowColours(const Palette& c, const QColor& sea) {
    shownColours_ = exercise_.display().Colours;
    QPalette pal;
    pal.setColor(QPalette::Window, sea);
    setPalette(pal);
    // Palettes, not style sheets: a sheet sends every paint of the widget through the slower
    // styled path.
    QPalette clock = lblTime_->palette();
    clock.setColor(QPalette::Window, c.clockBack);
    clock.setColor(QPalette::WindowText, c.clockText);
    // The sunken edge, two pixels: its shadow and light sides from the groups' border colour.
    clock.setColor(QPalette::Dark, c.groupBorder.darker(140));
    clock.setColor(QPalette::Light, c.groupBorder.lighter(140));
    lblTime_->setPalette(clock);
    lblTime_->setAutoFillBackground(true);
    lblTime_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lblTime_->setLineWidth(2);
    lblTime_->setMargin(compact_ ? 1 : 4);
    // On the group's ground, not the sea's: a storm's dark slate would swallow the red.
    QPalette paused = lblPaused_->palette();
    paused.setColor(QPalette::Window, c.groupBack);
    paused.setColor(QPalette::WindowText, c.alarm);
    lblPaused_->setPalette(paused);
    lblPaused_->setAutoFillBackground(true);
    lblPaused_->setContentsMargins(4, 0, 4, 0);
    // The title sits on the group's own light (or, at night, dark) ground, not on the sky or
    // storm behind the column, so it reads on every sea.
    groupStyle_->SetColours(c.groupBack, c.groupBorder, c.groupTitle, sea);
    ShowGroupGround();
    for (QGroupBox* box : groups_)
        box->update();
    pnlSeaState_->SetShade(c.seaShade);
    // The column's new palette reaches its buttons and takes the own vessel's letter colour
    // with it: the letter's colour is set again last, over it.
    pnlVessels_->ShowButtonColours();
}

} // namespace mv
