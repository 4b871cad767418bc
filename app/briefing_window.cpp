#include "app/briefing_window.h"

#include "app/window_text.h"
#include "core/number_text.h"
#include "core/vessel.h"
#include "gui/control_rows.h"
#include "gui/tool_place.h"
#include "session/exercise.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace mv {

namespace {

// "a", "a and b", "a, b and c".
QString Clock(double days) {
    return QString::fromStdString(FormatClock(days));
}

const char* const kFigureWords[] = {"CPA", "TCPA", "course", "speed", "aspect", "set", "drift"};

QString QuestionsText(const AssessedExercise& e) {
    QStringList lines;
    for (size_t i = 0; i < e.Questions.size(); ++i) {
        const Question& q = e.Questions[i];
        QStringList ofTargets, ofCurrent;
        for (Figure f : q.Figures)
            (IsTargetFigure(f) ? ofTargets : ofCurrent) << kFigureWords[static_cast<size_t>(f)];
        QStringList asks;
        if (!ofTargets.isEmpty()) {
            QStringList letters;
            for (int t : q.Targets)
                letters << QString::fromStdString(VesselLetter(t));
            asks << AndList(ofTargets) + " of " +
                        (letters.isEmpty() ? QString("every target") : AndList(letters));
            if (q.OverGround && (ofTargets.contains("course") || ofTargets.contains("speed")))
                asks.back() += " (over the ground)";
        }
        if (!ofCurrent.isEmpty()) asks << AndList(ofCurrent) + " of the current";
        lines << QString("%1. At %2: %3.").arg(i + 1).arg(Clock(q.At), asks.join("; "));
    }
    if (lines.isEmpty()) return "No questions: the exercise judges your action alone.";
    return "Questions (the answer form opens by itself at each time):\n" + lines.join("\n");
}

QString AllowedText(const ExercisePermissions& p) {
    const AidPermissions& a = p.Aids;
    const std::pair<bool, const char*> uses[] = {{p.CpaInfo, "CPA info"},
                                                 {p.CpaComputer, "the CPA computer"},
                                                 {p.TrueView, "the True View"},
                                                 {a.Vectors, "vectors"},
                                                 {a.TrueTrails, "true trails"},
                                                 {a.CourseUp, "course-up"},
                                                 {a.TargetData, "target data"},
                                                 {a.CpaAlarm, "the CPA/TCPA alarm"},
                                                 {a.GuardRing, "the guard ring"},
                                                 {a.Trial, "the trial manoeuvre"},
                                                 {a.IndexLines, "parallel index lines"},
                                                 {p.Pause, "pausing"}};
    QStringList yes, no;
    for (const auto& [allowed, what] : uses)
        (allowed ? yes : no) << what;
    QStringList factors;
    for (int16_t f : p.TimeFactors)
        factors << QString("x%1").arg(f);
    QString text = no.isEmpty() ? QString("Every aid is allowed.")
                                : QString("Not allowed: %1.").arg(AndList(no));
    if (!yes.isEmpty() && !no.isEmpty()) text += QString("\nAllowed: %1.").arg(AndList(yes));
    return text + QString("\nTime factors: %1.").arg(AndList(factors));
}

} // namespace

BriefingWindow::BriefingWindow(Exercise& exercise, QWidget& console)
    : QWidget(&console, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      exercise_(exercise) {
    setObjectName("frmBriefing");
    setWindowTitle("Briefing");
    auto* column = new QVBoxLayout(this);
    lblTitle_ = PanelTitle("lblBriefingTitle", {}, this);
    lblTitle_->setWordWrap(true);
    column->addWidget(lblTitle_);
    const auto text = [this, column](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setWordWrap(true);
        l->setTextFormat(Qt::PlainText);
        column->addWidget(l);
        return l;
    };
    lblDescription_ = text("lblDescription");
    lblTime_ = text("lblTimeLimit");
    lblQuestions_ = text("lblQuestions");
    lblAction_ = text("lblAction");
    lblAllowed_ = text("lblAllowed");
    auto* row = new QHBoxLayout;
    auto* held = new QLabel("The clock stands until you press Start.", this);
    held->setWordWrap(true);
    row->addWidget(held, 1);
    QPushButton* start = CommandButton("cmdStart", "Start", ButtonUse::Dialog, this,
                                       &BriefingWindow::cmdStart_Click, this);
    start->setDefault(true);
    row->addWidget(start);
    column->addLayout(row);
    connect(&exercise_, &Exercise::changed, this, &BriefingWindow::ShowExerciseState);
}

BriefingWindow& BriefingWindow::OpenOver(QWidget& console, Exercise& exercise,
                                         const QWidget& picture) {
    auto* briefing = console.findChild<BriefingWindow*>();
    if (!briefing) {
        briefing = new BriefingWindow(exercise, console);
        // Beside the picture, so the centre, the read-outs and the controls stay in sight.
        DockTool(*briefing, ToolSide::Left);
    }
    briefing->Open(picture);
    return *briefing;
}

void BriefingWindow::Open(const QWidget& picture) {
    const AssessedExercise* e = exercise_.assessed();
    if (!e || !exercise_.isBriefing()) return;
    lblTitle_->setText(QString::fromStdString(ExerciseTitle(exercise_.simulation().Title)) +
                       "\nStudent: " + exercise_.student());
    lblDescription_->setText(QString::fromStdString(e->Description).trimmed());
    lblDescription_->setVisible(!lblDescription_->text().isEmpty());
    lblTime_->setText(
        e->TimeLimit > 0
            ? QString("Time limit: %1 minutes of sea time, to %2. The clock starts at %3, at "
                      "x%4.")
                  .arg(e->TimeLimit)
                  .arg(Clock(0.5 + e->TimeLimit / 1440),
                       Clock(exercise_.simulation().Clock.SimTime))
                  .arg(exercise_.simulation().Clock.TimeFactor)
            : QString("No time limit: the exercise ends when you end it. The clock starts at "
                      "%1, at x%2.")
                  .arg(Clock(exercise_.simulation().Clock.SimTime))
                  .arg(exercise_.simulation().Clock.TimeFactor));
    lblQuestions_->setText(QuestionsText(*e));
    const RequiredAction& act = e->Action;
    lblAction_->setText(
        act.MinCpa > 0
            ? QString("Action: pass the targets at %1 nm or more%2.")
                  .arg(QString::number(act.MinCpa, 'f', 1),
                       act.ActBy ? ", your first alteration made by " + Clock(*act.ActBy) : "")
            : QString());
    lblAction_->setVisible(act.MinCpa > 0);
    lblAllowed_->setText(AllowedText(e->Allowed));

    if (!isWindow()) {
        // Docked: a column wide enough for the questions to read, its height the dock's.
        setFixedWidth(std::clamp(picture.width() / 2, 260, 360));
        show();
        findChild<QPushButton*>("cmdStart")->setFocus();
        return;
    }
    // At the left of the radar frame, reaching no further than short of the picture's centre,
    // so the centre, the read-outs and the controls stay in sight while the student reads.
    const QWidget* frame = picture.parentWidget() ? picture.parentWidget() : &picture;
    const QPoint topLeft = frame->mapToGlobal(QPoint(8, 8));
    const int centreX = picture.mapToGlobal(picture.rect().center()).x();
    const int width = std::clamp(centreX - topLeft.x() - 24, 260, 460);
    // The height the wrapped lines need at that width: a plain adjustSize squeezes them
    // into one another.
    setFixedWidth(width);
    layout()->activate();
    int height = layout()->totalHeightForWidth(width);
    if (const QScreen* s = picture.screen())
        height = std::min(height, std::max(200, s->availableGeometry().bottom() - topLeft.y()));
    setFixedHeight(height);
    move(topLeft);
    show();
    raise();
    activateWindow();
    findChild<QPushButton*>("cmdStart")->setFocus();
}

void BriefingWindow::cmdStart_Click() {
    hide();
    exercise_.EndBriefing();
}

void BriefingWindow::ShowExerciseState() {
    if (!isVisible() || (exercise_.isBriefing() && !exercise_.isRunning())) return;
    hide();
    // Resumed from the Simulator menu or the console's button: that was the start.
    if (exercise_.isRunning()) exercise_.EndBriefing();
}

void BriefingWindow::closeEvent(QCloseEvent* event) {
    // Only Start ends the briefing; the program's closing hides the window all the same.
    if (exercise_.isBriefing())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

} // namespace mv
