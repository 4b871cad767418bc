#include "app/target_data_window.h"

#include "gui/command_actions.h"
#include "gui/tool_place.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPoint>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace mv {

namespace {
// Target, range, bearing, course, speed, CPA, TCPA, true vector, relative vector.
constexpr size_t kColumns = 9;
} // namespace

PickTool::PickTool(Exercise& exercise, DisplayView& view, MarkerHold& hold, QObject* parent,
                   std::function<void()> picked)
    : KeysTool(exercise, view, hold, parent), picked_(std::move(picked)) {}

void PickTool::press(double east, double north, Qt::MouseButton button) {
    if (button != Qt::LeftButton || !exercise_.isLoaded()) return;
    const Simulation& sim = exercise_.simulation();
    RadarDisplayState& d = exercise_.display();
    // An echo within a thirtieth of the range of the click: about a finger's width.
    if (d.Aids.Arpa) {
        // With ARPA on the student picks tracks, not echoes.
        const auto track = exercise_.tracking().Nearest(
            exercise_.pictureToWater(PointD{north, east}), d.Tick.Range / 30.0);
        if (!track) return;
        d.Aids.TogglePickTrack(*track);
        if (picked_) picked_();
        exercise_.NotifyChanged();
        return;
    }
    const auto hit = PickTarget(sim.Vessels, d.Tick, PointD{north, east}, d.Tick.Range / 30.0);
    if (!hit) return;
    d.Aids.TogglePick(*hit, sim.Vessels.OwnVessel, sim.Vessels.NumVessels);
    if (picked_) picked_();
    exercise_.NotifyChanged();
}

TargetDataWindow::TargetDataWindow(Exercise& exercise, Dialogs& dialogs, CommandActions& actions,
                                   WorldPictureWidget& picture, QWidget* parent)
    : QWidget(parent, Qt::Tool), exercise_(exercise), dialogs_(dialogs), picture_(picture),
      radarAids_(std::make_unique<RadarAids>(picture.picture())),
      radarTracks_(std::make_unique<RadarTracks>(picture.picture(), TrackerSettings{}.Capacity)) {
    setObjectName("frmTargetData");
    setWindowTitle("Target Data");
    auto* column = new QVBoxLayout(this);
    grid_ = new QGridLayout;
    column->addLayout(grid_);
    const char* heads[] = {"Target", "Range", "Bearing",     "Course",         "Speed",
                           "CPA",    "TCPA",  "True vector", "Relative vector"};
    for (int c = 0; c < static_cast<int>(kColumns); ++c) {
        auto* h = new QLabel(QString("<b>%1</b>").arg(heads[c]), this);
        grid_->addWidget(h, 0, c);
    }
    for (size_t r = 0; r < kMaxPicked; ++r) {
        rows_.emplace_back();
        for (int c = 0; c < static_cast<int>(kColumns); ++c) {
            auto* l = new QLabel(this);
            l->setObjectName(QString("lblTargetData(%1,%2)").arg(r).arg(c));
            l->setAlignment(c == 0 ? Qt::AlignLeft : Qt::AlignRight);
            grid_->addWidget(l, static_cast<int>(r) + 1, c);
            rows_.back().push_back(l);
        }
    }
    auto* alarms = new QLabel("Alarms", this);
    column->addWidget(alarms);
    lstAlarms_ = new QListWidget(this);
    lstAlarms_->setObjectName("lstAlarms");
    lstAlarms_->setMaximumHeight(110);
    column->addWidget(lstAlarms_);
    auto* ack = new QPushButton("&Acknowledge", this);
    ack->setObjectName("cmdAcknowledge");
    ack->setToolTip("Silence the alarms standing now; a new target in danger sounds again");
    CommandActions::Bind(ack, actions.action("mnuAcknowledge"));
    column->addWidget(ack);
    flash_.setObjectName("tmrFlash");
    flash_.setInterval(500);
    connect(&flash_, &QTimer::timeout, this, [this] {
        flashOn_ = !flashOn_;
        for (const TrackView& t : tracks_)
            if (exercise_.tracking().DangerUnacknowledged(t.Id)) {
                radarTracks_->Show(exercise_.simulation(), exercise_.display(), tracks_,
                                   exercise_.tracking().alerts(), flashOn_);
                picture_.update();
                return;
            }
    });
    // The exercise steps the alarms; the console's answer to one is here: a beep and the data.
    connect(&exercise_, &Exercise::alarmRaised, this, [this] {
        dialogs_.beep();
        if (!isVisible()) show();
    });
}

void TargetDataWindow::ShowAids() {
    const Simulation& sim = exercise_.simulation();
    const RadarDisplayState& d = exercise_.display();
    aids_ = TargetAids(sim.Vessels, d.Aids.VectorMinutes());
    tracks_.clear();
    if (d.Aids.Arpa) tracks_ = exercise_.trackViews();
    radarAids_->Show(sim, d, aids_);
    if (d.Aids.Arpa != flash_.isActive()) d.Aids.Arpa ? flash_.start() : flash_.stop();
    radarTracks_->Show(sim, d, tracks_, exercise_.tracking().alerts(), flashOn_);
    FillRows();
    picture_.update();
}

void TargetDataWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOverColumnOnce(*this, ColumnSpot::Top);
    exercise_.NotifyChanged();
}

void TargetDataWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    exercise_.NotifyChanged();
}

void TargetDataWindow::FillRows() {
    const AidSettings& a = exercise_.display().Aids;
    for (size_t r = 0; r < rows_.size(); ++r) {
        TargetDataTexts t;
        if (a.Arpa) {
            if (r < a.PickedTracks.size())
                for (const TrackView& track : tracks_)
                    if (track.Id == a.PickedTracks[r]) t = TrackData(track);
        } else if (r < a.Picked.size()) {
            for (const TargetAid& aid : aids_)
                if (aid.Vessel == a.Picked[r]) t = TargetData(aid);
        }
        const std::string* texts[kColumns] = {&t.Name,   &t.Range,      &t.Bearing,
                                              &t.Course, &t.Speed,      &t.CPA,
                                              &t.TCPA,   &t.TrueVector, &t.RelativeVector};
        for (size_t c = 0; c < kColumns; ++c)
            rows_[r][c]->setText(QString::fromStdString(*texts[c]).trimmed());
    }
    lstAlarms_->clear();
    if (a.Arpa) {
        for (const TrackAlert& alert : exercise_.tracking().alerts())
            lstAlarms_->addItem(QString::fromStdString(TrackAlertText(alert, tracks_)));
        return;
    }
    for (const std::string& line : AlarmList(aids_, a.Alarms))
        lstAlarms_->addItem(QString::fromStdString(line));
}

} // namespace mv
