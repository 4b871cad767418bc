#include "app/random_window.h"

#include "core/scenario/random_traffic.h"
#include "gui/control_rows.h"
#include "gui/help_topics.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace mv {

RandomTargets::RandomTargets(Exercise& exercise, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), exercise_(exercise), dialogs_(dialogs) {
    setObjectName("frmRandom");
    setWindowTitle("Random Targets");
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);

    auto* frame = new QGroupBox(" Difficulty", this);
    auto* levels = new QVBoxLayout(frame);
    const auto option = [&](const char* name, const char* caption) {
        auto* opt = new QRadioButton(caption, frame);
        opt->setObjectName(name);
        levels->addWidget(opt);
        return opt;
    };
    optEasy_ = option("optEasy", "Easy");
    optModerate_ = option("optModerate", "Moderate");
    optDifficult_ = option("optDifficult", "Difficult");
    optEasy_->setChecked(true);
    layout->addWidget(frame);

    auto* numberRow = new QHBoxLayout;
    auto* lblExercise = new QLabel("Exercise number", this);
    lblExercise->setObjectName("lblExercise");
    txtExercise_ = new QLineEdit(this);
    txtExercise_->setObjectName("txtExercise");
    txtExercise_->setPlaceholderText("from the clock");
    txtExercise_->setToolTip("Give a class the same number and every student plots the same "
                             "traffic. Leave it empty for new traffic.");
    // Whole numbers only; ParseExerciseNumber decides what is in range.
    txtExercise_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(" *[0-9]{0,10} *"), txtExercise_));
    lblExercise->setBuddy(txtExercise_);
    numberRow->addWidget(lblExercise);
    numberRow->addWidget(txtExercise_, 1);
    layout->addLayout(numberRow);

    auto* buttons = new QHBoxLayout;
    ButtonRow row(buttons, ButtonUse::Dialog, this, this);
    row.add("cmdRun", "&Run", &RandomTargets::cmdRun_Click)->setDefault(true);
    row.add("cmdCancel", "&Cancel", &RandomTargets::cmdCancel_Click);
    row.add("cmdHelp", "&Help", &RandomTargets::cmdHelp_Click);
    layout->addLayout(buttons);
}

void RandomTargets::Open() {
    show();
    raise();
    activateWindow();
}

void RandomTargets::cmdRun_Click() {
    const Difficulty level = optEasy_->isChecked()       ? Difficulty::Easy
                             : optModerate_->isChecked() ? Difficulty::Moderate
                                                         : Difficulty::Difficult;
    const QString typed = txtExercise_->text().trimmed();
    uint32_t number = 0;
    if (typed.isEmpty()) {
        number = ExerciseFromClock();
    } else if (const auto parsed = ParseExerciseNumber(typed.toStdString())) {
        number = *parsed;
    } else {
        dialogs_.message("The exercise number must be a whole number from 0 to 4294967295.",
                         "Random Targets", Dialogs::Icon::Exclamation);
        txtExercise_->setFocus(Qt::OtherFocusReason);
        txtExercise_->selectAll();
        return;
    }
    if (!exercise_.MayLeaveAssessed()) return;
    RandomTraffic traffic = GenerateRandomTraffic(level, number);
    Simulation& sim = exercise_.simulation();
    sim.Vessels = std::move(traffic.Tables);
    sim.Title = RandomTrafficTitle(level, traffic.Exercise);
    sim.Description = RandomTrafficSummary(level, traffic.Exercise) + "\r\n";
    exercise_.StartScenario(ScenarioSource::Random);
    exercise_.Start();
    txtExercise_->setText(QString::number(traffic.Exercise));
    hide();
}

void RandomTargets::cmdCancel_Click() {
    reject();
}

void RandomTargets::cmdHelp_Click() {
    dialogs_.showHelp(HelpTopic("mvhe0wvn.htm"));
}

void RandomTargets::reject() {
    QDialog::reject();
    emit cancelled();
}

} // namespace mv
