#include "app/trial_window.h"

#include "app/window_text.h"
#include "core/aids/cpa_data.h"
#include "core/clock.h"
#include "core/number_text.h"
#include "gui/control_rows.h"
#include "gui/numeric_entry.h"
#include "gui/plot_overlays.h"
#include "gui/tool_place.h"
#include "gui/world_picture_widget.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

constexpr FigureWidth kTrialFigureWidth{"000.0", 14};
constexpr const char* kTitle = "Trial Maneuver";
// Target, then CPA and TCPA as they stand, then CPA and TCPA under the trial.
constexpr int kTrialColumns = 5;

} // namespace

TrialWindow::TrialWindow(Exercise& exercise, Dialogs& dialogs, WorldPictureWidget& picture,
                         PlotOverlays& overlays, QWidget* parent)
    : QWidget(parent, Qt::Tool), exercise_(exercise), dialogs_(dialogs), picture_(picture),
      overlays_(overlays) {
    setObjectName("frmTrialManeuver");
    setWindowTitle(kTitle);
    setProperty("helpPage", kTrialHelpPage);
    filter_ = new NumericEntryFilter(this);
    auto* column = new QVBoxLayout(this);

    auto* entries = new QHBoxLayout;
    column->addLayout(entries);
    const auto entry = [this, entries](const char* name, const QString& caption,
                                       const QString& tip) {
        auto* label = new QLabel(caption, this);
        QLineEdit* field = FigureEntry(name, kTrialFigureWidth, this);
        field->setToolTip(tip);
        label->setBuddy(field);
        filter_->watch(field, "frmTrialManeuver");
        connect(field, &QLineEdit::returnPressed, this, &TrialWindow::cmdShowTrial_Click);
        entries->addWidget(label);
        entries->addWidget(field);
        entries->addSpacing(10);
        return field;
    };
    txtCourse_ = entry("txtCourse", "&Course (T)", "The trial course, whole degrees true");
    txtSpeed_ = entry("txtSpeed", "S&peed (kn)", "The trial speed, knots");
    txtDelay_ = entry("txtDelay", "&Delay (min)",
                      "Minutes from now until the own ship would alter; 0 alters at once");
    entries->addStretch(1);
    connect(txtDelay_, &QLineEdit::textChanged, this, &TrialWindow::ShowButtons);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    column->addLayout(grid);
    grid->addWidget(new QLabel("<b>Present</b>", this), 0, 1, 1, 2, Qt::AlignCenter);
    grid->addWidget(new QLabel("<b>Trial</b>", this), 0, 3, 1, 2, Qt::AlignCenter);
    const char* heads[kTrialColumns] = {"Target", "CPA", "TCPA", "CPA", "TCPA"};
    for (int c = 0; c < kTrialColumns; ++c)
        grid->addWidget(new QLabel(QString("<b>%1</b>").arg(heads[c]), this), 1, c,
                        c == 0 ? Qt::AlignLeft : Qt::AlignRight);
    for (int r = 0; r + 1 < kMaxVessels; ++r) {
        rows_.emplace_back();
        for (int c = 0; c < kTrialColumns; ++c) {
            auto* l = new QLabel(this);
            l->setObjectName(QString("lblTrial(%1,%2)").arg(r).arg(c));
            l->setAlignment(c == 0 ? Qt::AlignLeft : Qt::AlignRight);
            grid->addWidget(l, r + 2, c);
            rows_.back().push_back(l);
        }
    }
    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName("lblTrialStatus");
    lblStatus_->setWordWrap(true);
    column->addWidget(lblStatus_);

    auto* buttons = new QHBoxLayout;
    column->addLayout(buttons);
    ButtonRow<TrialWindow> row(buttons, ButtonUse::NotOnEnter, this, this);
    cmdShowTrial_ = row.add("cmdShowTrial", "&Show Trial", &TrialWindow::cmdShowTrial_Click);
    cmdShowTrial_->setToolTip("Work the trial and show it on the picture; nothing is ordered");
    cmdExecute_ = row.add("cmdExecute", "E&xecute", &TrialWindow::cmdExecute_Click);
    cmdCancelTrial_ =
        row.add("cmdCancelTrial", "Ca&ncel Trial", &TrialWindow::cmdCancelTrial_Click);
    cmdCancelTrial_->setToolTip("Take the trial off the picture");
    row.addStretch();
    row.add("cmdTrialClose", "C&lose", &QWidget::hide);
    ShowButtons();
}

std::optional<TrialOrder> TrialWindow::ReadOrder() {
    const auto fail = [this](QLineEdit* field, const QString& text) {
        dialogs_.message(text, kTitle, Dialogs::Icon::Exclamation);
        field->setFocus();
        field->selectAll();
        return std::nullopt;
    };
    const auto course = ParseNumber(txtCourse_->text().toStdString());
    if (!course || !(*course >= 0 && *course < 360))
        return fail(txtCourse_, "Invalid course! The course must be from 0 to 359 degrees.");
    const auto speed = ParseNumber(txtSpeed_->text().toStdString());
    if (!speed || !(*speed >= 0 && *speed <= 99.9))
        return fail(txtSpeed_, "The speed must be from 0 to 99.9 knots.");
    const auto delay = ParseNumber(txtDelay_->text().toStdString());
    if (!delay || !(*delay >= 0 && *delay <= kMaxTrialDelay))
        return fail(txtDelay_,
                    QString("The delay must be from 0 to %1 minutes.").arg(kMaxTrialDelay));
    TrialOrder order;
    // 359.6 would round to 360, which no course reads.
    order.Course = static_cast<int16_t>(std::lround(*course) % 360);
    order.Speed = static_cast<float>(*speed);
    order.DelayMinutes = *delay;
    return order;
}

void TrialWindow::cmdShowTrial_Click() {
    const auto order = ReadOrder();
    if (!order) return; // the trial shown before, if any, stays
    order_ = order;
    note_.clear();
    ShowTrial();
    exercise_.NotifyChanged();
}

void TrialWindow::cmdExecute_Click() {
    const auto order = ReadOrder();
    if (!order || order->DelayMinutes != 0 || !exercise_.isLoaded()) return;
    Simulation& sim = exercise_.simulation();
    // The manoeuvre window's own checks and orders, for the own ship.
    ManeuverEntries entries = TrialEntries(*order);
    if (const auto message = ExecuteManeuver(entries, sim.Vessels.OwnVessel, sim)) {
        dialogs_.message(Q(message->Text), Q(message->Title), Dialogs::Icon::Exclamation);
        return;
    }
    // The trial is now the order: the picture and the CPA data show it as it is carried out.
    note_ = QString("Ordered the own ship to %1 at %2.")
                .arg(Q(DirectionText(order->Course)))
                .arg(Q(KnotsText(order->Speed)));
    order_.reset();
    ShowTrial();
    exercise_.NotifyChanged();
}

void TrialWindow::cmdCancelTrial_Click() {
    order_.reset();
    note_.clear();
    ShowTrial();
    exercise_.NotifyChanged();
}

void TrialWindow::ShowTrial() {
    const Simulation& sim = exercise_.simulation();
    const RadarDisplayState& d = exercise_.display();
    // A trial the exercise forbids, or one without a scenario, is taken away.
    if (!d.Aids.Allowed.Trial || !exercise_.isLoaded()) order_.reset();
    outcome_ = order_ ? RunTrial(sim, d.Tick, *order_, d.Tick.Bearing) : TrialOutcome{};
    // Before any trial the table shows where every target stands now.
    if (!order_ && isVisible()) outcome_.Targets = PresentTargets(sim.Vessels, d.Tick.Bearing);
    overlays_.ShowTrial(sim, d, order_ ? &outcome_ : nullptr, PaletteFor(d.Colours));
    FillRows();
    ShowButtons();
    picture_.update();
}

void TrialWindow::FillRows() {
    for (size_t r = 0; r < rows_.size(); ++r) {
        std::array<std::string, kTrialColumns> texts;
        if (r < outcome_.Targets.size()) {
            const TrialTarget& t = outcome_.Targets[r];
            texts = {VesselLetter(t.Vessel), TrialCpaText(t.Present), TrialTcpaText(t.Present, 0),
                     order_ ? TrialCpaText(t.Trial) : "",
                     order_ ? TrialTcpaText(t.Trial, outcome_.DoneMinutes) : ""};
        }
        // Every slot keeps its row, empty or not, so the window never changes its size.
        for (int c = 0; c < kTrialColumns; ++c)
            rows_[r][static_cast<size_t>(c)]->setText(Q(texts[static_cast<size_t>(c)]).trimmed());
    }
    if (!order_) {
        lblStatus_->setText(note_.isEmpty() ? QString("No trial shown.") : note_);
        return;
    }
    if (!outcome_.Completed) {
        lblStatus_->setText("The trial cannot be worked while the clock stands.");
        return;
    }
    const double clock = exercise_.simulation().Clock.SimTime;
    lblStatus_->setText(
        QString("TRIAL %1 at %2 after %3: the own ship alters at %4 and steadies by %5 "
                "(in %6).")
            .arg(Q(DirectionText(order_->Course)))
            .arg(Q(KnotsText(order_->Speed)))
            .arg(Q(MinutesText(order_->DelayMinutes)))
            .arg(Q(FormatClock(clock + outcome_.DelayTicks *
                                           exercise_.simulation().Clock.HoursPerTick / 24.0)))
            .arg(Q(FormatClock(clock + outcome_.DoneMinutes / (24.0 * 60.0))))
            .arg(Q(MinutesText(outcome_.DoneMinutes))));
}

void TrialWindow::ShowButtons() {
    const auto delay = ParseNumber(txtDelay_->text().toStdString());
    // An order is given now or not at all: a trial with a delay is for looking ahead, and
    // its order is executed when the time comes, with the delay at 0.
    const bool now = delay && *delay == 0;
    cmdExecute_->setEnabled(now && exercise_.isLoaded());
    cmdExecute_->setToolTip(now ? "Give the own ship this course and speed now"
                                : "Only a trial without delay is executed: set the delay to 0 "
                                  "when the time comes");
    cmdShowTrial_->setText(order_ ? "&Update Trial" : "&Show Trial");
    cmdCancelTrial_->setEnabled(order_.has_value());
}

void TrialWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    PlaceOverColumnOnce(*this, ColumnSpot::Bottom);
    // The fields start from the own ship's ordered course and present speed, no delay.
    if (!order_ && exercise_.isLoaded()) {
        const VesselTables& v = exercise_.simulation().Vessels;
        const VesselData& own = v.Vessel[static_cast<size_t>(v.OwnVessel)];
        txtCourse_->setText(Q(DirectionText(own.NewHeading)));
        txtSpeed_->setText(Q(FormatNumber(own.Speed, "#0.0")));
        txtDelay_->setText("0");
    }
    // Opened from the keyboard (Ctrl+T), it takes the keys at once, the course ready to type.
    activateWindow();
    txtCourse_->setFocus();
    txtCourse_->selectAll();
    FillRows();
    exercise_.NotifyChanged();
}

void TrialWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // No trial stays on the picture without its figures.
    order_.reset();
    note_.clear();
    ShowTrial();
    exercise_.NotifyChanged();
}

} // namespace mv
