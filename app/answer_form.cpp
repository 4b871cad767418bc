#include "app/answer_form.h"

#include "app/window_text.h"
#include "core/number_text.h"
#include "gui/control_rows.h"
#include "gui/tool_place.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace mv {

namespace {

const char* const kFigureCaptions[] = {"CPA (nm)", "TCPA (min)", "Course (T)", "Speed (kn)",
                                       "Aspect",   "Set (T)",    "Drift (kn)"};

// The console's form, made on first use and docked beside the picture as the other tools are.
AnswerForm* FormOf(QWidget& console, Exercise& exercise, Dialogs& dialogs) {
    auto* form = console.findChild<AnswerForm*>();
    if (form) return form;
    form = new AnswerForm(exercise, dialogs, &console);
    DockTool(*form, ToolSide::Left);
    return form;
}

// "1", "1 and 2", "1, 2 and 3".
} // namespace

AnswerForm::AnswerForm(Exercise& exercise, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Tool), exercise_(exercise), dialogs_(dialogs) {
    setObjectName("frmAnswers");
    setWindowTitle("Answers");
    auto* column = new QVBoxLayout(this);
    lblStudent_ = new QLabel(this);
    lblStudent_->setObjectName("lblStudent");
    column->addWidget(lblStudent_);
    // Which questions have just come due, when the clock brought the form up.
    lblDue_ = new QLabel(this);
    lblDue_->setObjectName("lblDue");
    lblDue_->hide();
    column->addWidget(lblDue_);
    cboQuestion_ = new QComboBox(this);
    cboQuestion_->setObjectName("cboQuestion");
    column->addWidget(cboQuestion_);
    connect(cboQuestion_, &QComboBox::currentIndexChanged, this, &AnswerForm::cboQuestion_Change);
    grid_ = new QWidget(this);
    column->addWidget(grid_);
    // Alt+I: the main window's menus take F, S, R, A, T, E and H (Help).
    cmdHandIn_ = new QPushButton("Hand &In", this);
    cmdHandIn_->setObjectName("cmdHandIn");
    cmdHandIn_->setAutoDefault(true); // Enter on the button hands in, as Space does
    connect(cmdHandIn_, &QPushButton::clicked, this, &AnswerForm::cmdHandIn_Click);
    column->addWidget(cmdHandIn_);
    // What was last handed in, so the student knows it went.
    lblHandedIn_ = new QLabel(this);
    lblHandedIn_->setObjectName("lblHandedIn");
    column->addWidget(lblHandedIn_);
    // Nothing is taken after the end, so the form is not left offering it.
    connect(&exercise_, &Exercise::assessedFinished, this, &QWidget::hide);
    connect(&exercise_, &Exercise::scenarioStarted, this, [this] {
        typed_.clear();
        due_.clear();
        shown_ = -1;
        hide();
    });
}

AnswerForm& AnswerForm::OpenOver(QWidget& console, Exercise& exercise, Dialogs& dialogs,
                                 int question) {
    AnswerForm* form = FormOf(console, exercise, dialogs);
    form->Open(question);
    return *form;
}

QString AnswerForm::OpenDue(QWidget& console, Exercise& exercise, Dialogs& dialogs, int question) {
    AnswerForm* form = FormOf(console, exercise, dialogs);
    // Those of one tick come one after the other at the same sea time; a repeated run brings
    // the same times again, so a question already listed begins a new list.
    const double now = exercise.simulation().Clock.SimTime;
    auto& due = form->due_;
    if (now != form->dueAt_ || std::find(due.begin(), due.end(), question) != due.end())
        due.clear();
    form->dueAt_ = now;
    due.push_back(question);
    form->Open(due.front());
    if (!form->isVisible()) return {};
    QStringList numbers;
    for (int q : due)
        numbers << QString::number(q + 1);
    const QString which = due.size() == 1 ? QString("Question %1 is due").arg(numbers[0])
                                          : QString("Questions %1 are due").arg(AndList(numbers));
    form->lblDue_->setText(which + ".");
    form->lblDue_->show();
    return which + (due.size() == 1 ? ": its figures go in the answer form."
                                    : ": their figures go in the answer form.");
}

void AnswerForm::Open(int question) {
    const AssessedExercise* e = exercise_.assessed();
    if (!e || exercise_.assessedEnded()) return;
    lblDue_->hide();
    lblStudent_->setText(QString("Student: %1").arg(exercise_.student()));
    {
        const QSignalBlocker quiet(cboQuestion_);
        cboQuestion_->clear();
        for (size_t i = 0; i < e->Questions.size(); ++i)
            cboQuestion_->addItem(
                QString("Question %1 at %2")
                    .arg(i + 1)
                    .arg(QString::fromStdString(FormatClock(e->Questions[i].At))));
        // The latest question whose time has come: the one the student is plotting for.
        int now = 0;
        const double time = exercise_.simulation().Clock.SimTime;
        for (size_t i = 0; i < e->Questions.size(); ++i)
            if (e->Questions[i].At <= time + 0.5 / 86400) now = static_cast<int>(i);
        cboQuestion_->setCurrentIndex(question >= 0 && question < cboQuestion_->count() ? question
                                                                                        : now);
    }
    lblHandedIn_->clear();
    cboQuestion_Change();
    PlaceOnce();
    show();
    raise();
    activateWindow();
    FocusFirstEmpty();
}

void AnswerForm::PlaceOnce() {
    // The student plots while the form is open: it first stands at the left of the radar
    // picture, under the own ship at the centre and above the read-outs of the bottom corner;
    // afterwards it opens where the student left it.
    const QWidget* picture =
        parentWidget() ? parentWidget()->findChild<QWidget*>("picRadarCRT") : nullptr;
    if (!isWindow()) return; // docked: the dock keeps it clear of the picture
    if (property("placed").toBool() || !picture || !picture->isVisible())
        return CentreOverParentOnce(this);
    adjustSize();
    const QWidget* frame = picture->parentWidget() ? picture->parentWidget() : picture;
    const QPoint centre = picture->mapToGlobal(picture->rect().center());
    const int left = frame->mapToGlobal(QPoint(8, 0)).x();
    const int lowest = picture->mapToGlobal(picture->rect().bottomLeft()).y() - 90 - height();
    move(left, std::max(picture->mapToGlobal(QPoint()).y(), std::min(centre.y() + 40, lowest)));
    setProperty("placed", true);
}

QLineEdit* AnswerForm::Entry(int vessel, int figure) const {
    const auto it = entries_.find({vessel, figure});
    return it == entries_.end() ? nullptr : it->second;
}

void AnswerForm::cboQuestion_Change() {
    // What was typed for the question shown waits there for the student's return.
    if (shown_ >= 0)
        for (const auto& [key, field] : entries_)
            typed_[{shown_, key.first, key.second}] = field->text();
    delete grid_->layout();
    for (auto& [key, entry] : entries_)
        delete entry;
    entries_.clear();
    tabOrder_.clear();
    for (QLabel* l : grid_->findChildren<QLabel*>())
        delete l;
    const AssessedExercise* e = exercise_.assessed();
    const int q = cboQuestion_->currentIndex();
    shown_ = -1;
    if (!e || q < 0 || q >= static_cast<int>(e->Questions.size())) return;
    shown_ = q;
    const Question& question = e->Questions[static_cast<size_t>(q)];
    const VesselTables& v = exercise_.simulation().Vessels;
    std::vector<int> targets = question.Targets;
    if (targets.empty())
        for (int i = 0; i < v.NumVessels; ++i)
            if (i != v.OwnVessel) targets.push_back(i);
    // One row per target for its figures, then one for the current's.
    auto* grid = new QGridLayout(grid_);
    int column = 1;
    std::vector<Figure> targetFigures, currentFigures;
    for (Figure f : question.Figures)
        (IsTargetFigure(f) ? targetFigures : currentFigures).push_back(f);
    const auto entry = [&](int vessel, Figure f, int row, int col) {
        auto* field = new QLineEdit(grid_);
        field->setObjectName(QString("txtAnswer(%1,%2)").arg(vessel).arg(static_cast<int>(f)));
        field->setAlignment(Qt::AlignRight);
        field->setMaximumWidth(90);
        grid->addWidget(field, row, col);
        entries_[{vessel, static_cast<int>(f)}] = field;
        tabOrder_.push_back(field);
        connect(field, &QLineEdit::returnPressed, this, &AnswerForm::cmdHandIn_Click);
        // A figure handed in before shows again, so the student can correct it.
        for (const Exercise::HandedIn& h : exercise_.answers())
            if (h.Given.Question == static_cast<size_t>(q) && h.Given.Vessel == vessel &&
                h.Given.Asked == f)
                field->setText(f == Figure::Aspect
                                   ? QString::fromStdString(AspectText(h.Given.Value))
                                   : QString::fromStdString(PlainNumberText(h.Given.Value)));
        if (const auto it = typed_.find({q, vessel, static_cast<int>(f)}); it != typed_.end())
            field->setText(it->second);
    };
    for (Figure f : targetFigures)
        grid->addWidget(new QLabel(kFigureCaptions[static_cast<size_t>(f)], grid_), 0, column++);
    int row = 1;
    if (!targetFigures.empty())
        for (int t : targets) {
            grid->addWidget(new QLabel(QString::fromStdString(VesselLetter(t)), grid_), row, 0);
            for (size_t k = 0; k < targetFigures.size(); ++k)
                entry(t, targetFigures[k], row, static_cast<int>(k) + 1);
            ++row;
        }
    for (Figure f : currentFigures) {
        grid->addWidget(new QLabel(kFigureCaptions[static_cast<size_t>(f)], grid_), row, 0);
        entry(-1, f, row++, 1);
    }
    // Tab goes from the question through the figures, row by row, to Hand In; the first
    // figure still empty takes the keyboard.
    QWidget* previous = cboQuestion_;
    for (QLineEdit* field : tabOrder_)
        setTabOrder(std::exchange(previous, field), field);
    setTabOrder(previous, cmdHandIn_);
    if (isVisible()) {
        // Shown now, not when the layout gets round to it, so the keyboard can go to them.
        for (QWidget* w : grid_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            w->show();
        FocusFirstEmpty();
    }
    adjustSize();
}

void AnswerForm::FocusFirstEmpty() {
    const auto empty = std::find_if(tabOrder_.begin(), tabOrder_.end(),
                                    [](const QLineEdit* f) { return f->text().isEmpty(); });
    if (empty != tabOrder_.end())
        (*empty)->setFocus();
    else if (!tabOrder_.empty())
        tabOrder_.front()->setFocus();
}

void AnswerForm::cmdHandIn_Click() {
    const int q = cboQuestion_->currentIndex();
    if (!exercise_.assessed() || exercise_.assessedEnded() || q < 0) return;
    // Every figure is checked before any is handed in: one mistyped figure hands in nothing.
    std::vector<Answer> answers;
    for (const auto& [key, field] : entries_) {
        const QString text = field->text().trimmed();
        if (text.isEmpty()) continue;
        const auto f = static_cast<Figure>(key.second);
        const auto value = ParseFigure(f, text.toStdString());
        if (!value) {
            dialogs_.message(QString("%1 is not a figure for %2: give a number%3.")
                                 .arg(text, kFigureCaptions[key.second],
                                      f == Figure::Aspect ? ", or Red or Green and a number" : ""),
                             "Answers", Dialogs::Icon::Exclamation);
            field->setFocus();
            return;
        }
        // A figure handed in already at this value is not handed in again.
        const auto& before = exercise_.answers();
        const auto last = std::find_if(before.rbegin(), before.rend(), [&](const auto& h) {
            return h.Given.Question == static_cast<size_t>(q) && h.Given.Vessel == key.first &&
                   h.Given.Asked == f;
        });
        if (last == before.rend() || last->Given.Value != *value)
            answers.push_back({static_cast<size_t>(q), key.first, f, *value});
    }
    exercise_.HandIn(answers);
    lblHandedIn_->setText(
        answers.empty()
            ? QString("Nothing new to hand in.")
            : QString("%1 %2 handed in at %3.")
                  .arg(answers.size())
                  .arg(answers.size() == 1 ? "figure" : "figures")
                  .arg(QString::fromStdString(FormatClock(exercise_.simulation().Clock.SimTime))));
    if (!answers.empty() && exercise_.AllAnswered() &&
        dialogs_.message("Every question is answered. End the exercise now and have it marked?\n\n"
                         "Choose No to check or correct a figure first; the exercise then ends "
                         "at its time limit or with Simulator > End Exercise.",
                         "Answers", Dialogs::Icon::Question,
                         Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes) {
        hide();
        exercise_.EndAssessed("all questions answered");
    }
}

} // namespace mv
