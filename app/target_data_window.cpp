#include "app/target_data_window.h"

#include "gui/command_actions.h"
#include "gui/tool_place.h"
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

TargetDataWindow::TargetDataWindow(Exercise& exercise, CommandActions& actions, QWidget* parent)
    : QWidget(parent, Qt::Tool), exercise_(exercise) {
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

void TargetDataWindow::ShowData(const std::vector<TargetAid>& aids,
                                const std::vector<TrackView>& tracks) {
    const AidSettings& a = exercise_.display().Aids;
    for (size_t r = 0; r < rows_.size(); ++r) {
        TargetDataTexts t;
        if (a.Arpa) {
            if (r < a.PickedTracks.size())
                for (const TrackView& track : tracks)
                    if (track.Id == a.PickedTracks[r]) t = TrackData(track);
        } else if (r < a.Picked.size()) {
            for (const TargetAid& aid : aids)
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
            lstAlarms_->addItem(QString::fromStdString(TrackAlertText(alert, tracks)));
        return;
    }
    for (const std::string& line : AlarmList(aids, a.Alarms))
        lstAlarms_->addItem(QString::fromStdString(line));
}

} // namespace mv
