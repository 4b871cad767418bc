#include "app/instructor/instructor_window.h"

#include "app/instructor/seat_watch.h"
#include "core/clock.h"
#include "core/number_text.h"
#include "core/vessel.h"
#include "session/classroom/class_instructor.h"
#include "session/dialogs.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

#include <algorithm>

namespace mv {

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

constexpr int kVideoColumn = 7; // of the roster

void SetRow(QTableWidget* table, int row, const QStringList& cells) {
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells.at(c));
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        table->setItem(row, c, item);
    }
}

} // namespace

InstructorWindow::InstructorWindow(ClassInstructor& instructor, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), instructor_(instructor), dialogs_(dialogs) {
    setObjectName("frmInstructor");
    setWindowTitle("Marovane Instructor");
    auto* layout = new QVBoxLayout(this);
    lblJoin_ = new QLabel(this);
    lblJoin_->setObjectName("lblJoin");
    lblJoin_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblExercise_ = new QLabel("No exercise started", this);
    lblExercise_->setObjectName("lblExercise");
    layout->addWidget(lblJoin_);
    layout->addWidget(lblExercise_);

    auto* commands = new QHBoxLayout;
    QPushButton* start = Button(this, "cmdStart", "&Start Exercise...");
    QPushButton* pause = Button(this, "cmdPause", "&Pause All");
    QPushButton* resume = Button(this, "cmdResume", "&Resume All");
    QPushButton* end = Button(this, "cmdEnd", "&End Exercise");
    cboTimeFactor_ = new QComboBox(this);
    cboTimeFactor_->setObjectName("cboTimeFactor");
    for (int i = 0; i < kTimeFactorCount; ++i)
        cboTimeFactor_->addItem(QString("x%1").arg(kTimeFactors[static_cast<size_t>(i)]),
                                kTimeFactors[static_cast<size_t>(i)]);
    chkOneSea_ = new QCheckBox("In one &sea, ships", this);
    chkOneSea_->setObjectName("chkOneSea");
    chkOneSea_->setToolTip("Every seat connected steers her own ship in one world and sees the "
                           "others' ships as targets: the first seat has the scenario's own "
                           "ship, each next one starts further to starboard of her");
    txtSeaSpacing_ = new QDoubleSpinBox(this);
    txtSeaSpacing_->setObjectName("txtSeaSpacing");
    txtSeaSpacing_->setRange(0.2, 5);
    txtSeaSpacing_->setSingleStep(0.1);
    txtSeaSpacing_->setDecimals(1);
    txtSeaSpacing_->setValue(kDefaultSeaSpacing);
    txtSeaSpacing_->setSuffix(" nm apart");
    for (QWidget* w : std::initializer_list<QWidget*>{start, chkOneSea_, txtSeaSpacing_, pause,
                                                      resume, cboTimeFactor_, end})
        commands->addWidget(w);
    layout->addLayout(commands);

    auto* inject = new QHBoxLayout;
    cboVessel_ = new QComboBox(this);
    cboVessel_->setObjectName("cboVessel");
    for (int slot = 1; slot < kMaxVessels; ++slot)
        cboVessel_->addItem(QString::fromStdString(VesselLetter(slot)), slot);
    txtCourse_ = new QLineEdit(this);
    txtCourse_->setObjectName("txtCourse");
    txtCourse_->setPlaceholderText("course, degrees true");
    txtSpeed_ = new QLineEdit(this);
    txtSpeed_->setObjectName("txtSpeed");
    txtSpeed_->setPlaceholderText("speed, knots");
    QPushButton* order = Button(this, "cmdInject", "&Order Target");
    inject->addWidget(new QLabel("Target:", this));
    for (QWidget* w : std::initializer_list<QWidget*>{cboVessel_, txtCourse_, txtSpeed_, order})
        inject->addWidget(w);
    layout->addLayout(inject);

    auto* alert = new QHBoxLayout;
    txtAlertDistance_ = new QDoubleSpinBox(this);
    txtAlertDistance_->setObjectName("txtAlertDistance");
    txtAlertDistance_->setRange(0.1, 12.0);
    txtAlertDistance_->setSingleStep(0.1);
    txtAlertDistance_->setDecimals(1);
    txtAlertDistance_->setSuffix(" nm");
    txtAlertDistance_->setValue(instructor_.alertDistance());
    alert->addWidget(new QLabel("Alert when a seat's own ship is within", this));
    alert->addWidget(txtAlertDistance_);
    alert->addWidget(new QLabel("of a target", this));
    alert->addStretch(1);
    layout->addLayout(alert);

    tabClass_ = new QTabWidget(this);
    tabClass_->setObjectName("tabClass");
    auto* rosterPage = new QWidget(tabClass_);
    auto* rosterLayout = new QVBoxLayout(rosterPage);
    tblRoster_ = new QTableWidget(0, 9, rosterPage);
    tblRoster_->setObjectName("tblRoster");
    tblRoster_->setHorizontalHeaderLabels({"Seat", "Student", "Status", "Last heard", "Sea time",
                                           "Answers", "Alert", "Video", "Score"});
    tblRoster_->horizontalHeader()->setStretchLastSection(true);
    rosterLayout->addWidget(tblRoster_, 1);
    tblMarks_ = new QTableWidget(0, 0, rosterPage);
    tblMarks_->setObjectName("tblMarks");
    rosterLayout->addWidget(
        new QLabel("Class table (marked from each seat's record):", rosterPage));
    rosterLayout->addWidget(tblMarks_, 1);
    watch_ = new SeatWatch(instructor_, tabClass_);
    tabClass_->addTab(rosterPage, "&Roster");
    tabClass_->addTab(watch_, "&Watch");
    layout->addWidget(tabClass_, 1);

    connect(start, &QPushButton::clicked, this, &InstructorWindow::cmdStart_Click);
    connect(pause, &QPushButton::clicked, this, &InstructorWindow::cmdPause_Click);
    connect(resume, &QPushButton::clicked, this, &InstructorWindow::cmdResume_Click);
    connect(end, &QPushButton::clicked, this, &InstructorWindow::cmdEnd_Click);
    connect(order, &QPushButton::clicked, this, &InstructorWindow::cmdInject_Click);
    connect(cboTimeFactor_, &QComboBox::activated, this, &InstructorWindow::cboTimeFactor_Change);
    connect(txtAlertDistance_, &QDoubleSpinBox::valueChanged, this,
            &InstructorWindow::txtAlertDistance_Change);
    connect(&instructor_, &ClassInstructor::rosterChanged, this, &InstructorWindow::ShowRoster);
    connect(&instructor_, &ClassInstructor::recordReceived, this,
            [this](const QString& seat) { marked_.remove(seat); });
    connect(&instructor_, &ClassInstructor::sendRefused, this, [this](const QString& why) {
        dialogs_.message("The broker refused a command: " + why, "Instructor",
                         Dialogs::Icon::Exclamation);
    });
    // "Last heard" ages between messages.
    auto* ages = new QTimer(this);
    connect(ages, &QTimer::timeout, this, &InstructorWindow::ShowRoster);
    ages->start(1000);
    resize(1000, 700);
}

void InstructorWindow::setJoinHint(const QString& text) {
    lblJoin_->setText(text);
}

void InstructorWindow::cmdStart_Click() {
    const QString file = dialogs_.openFileName("Start Exercise", QString(), "Exercises (*.toml)");
    if (file.isEmpty()) return;
    if (const QString error =
            instructor_.StartExercise(file, chkOneSea_->isChecked(), txtSeaSpacing_->value());
        !error.isEmpty())
        return void(dialogs_.message(error, "Start Exercise", Dialogs::Icon::Exclamation));
    cboTimeFactor_->setCurrentIndex(0);
    marked_.clear();
    ShowRoster();
}

void InstructorWindow::cmdPause_Click() {
    instructor_.SetPaused(true);
}
void InstructorWindow::cmdResume_Click() {
    instructor_.SetPaused(false);
}
void InstructorWindow::cboTimeFactor_Change() {
    instructor_.SetTimeFactor(cboTimeFactor_->currentData().toInt());
}
void InstructorWindow::txtAlertDistance_Change() {
    instructor_.SetAlertDistance(txtAlertDistance_->value());
}
void InstructorWindow::cmdEnd_Click() {
    instructor_.EndExercise();
}

void InstructorWindow::cmdInject_Click() {
    std::optional<int> course;
    std::optional<double> speed;
    bool ok = true;
    if (!txtCourse_->text().trimmed().isEmpty()) {
        const int c = txtCourse_->text().toInt(&ok);
        if (!ok || c < 0 || c > 359)
            return void(dialogs_.message("A course is whole degrees true, 0 to 359", "Order Target",
                                         Dialogs::Icon::Exclamation));
        course = c;
    }
    if (!txtSpeed_->text().trimmed().isEmpty()) {
        const double s = txtSpeed_->text().toDouble(&ok);
        if (!ok || s < 0 || s > 99.9)
            return void(dialogs_.message("A speed is knots, 0 to 99.9", "Order Target",
                                         Dialogs::Icon::Exclamation));
        speed = s;
    }
    if (const QString error = instructor_.Inject(cboVessel_->currentData().toInt(), course, speed);
        !error.isEmpty())
        dialogs_.message(error, "Order Target", Dialogs::Icon::Exclamation);
}

void InstructorWindow::ShowRoster() {
    const AssessedExercise* exercise = instructor_.exercise();
    if (exercise) {
        // In one sea, each seat's ship by its student's name, in the order they start abeam.
        QStringList ships;
        for (const ClassExercise::Ship& ship : instructor_.sea())
            ships << QString::fromStdString(ship.Name);
        lblExercise_->setText(
            QString("Exercise: %1 (%2, x%3)%4")
                .arg(QString::fromStdString(exercise->Title))
                .arg(instructor_.isPaused() ? "held" : "running")
                .arg(instructor_.timeFactor())
                .arg(ships.isEmpty() ? QString() : ", in one sea: " + ships.join(", ")));
    }
    const std::vector<ClassSeatRow>& seats = instructor_.seats();
    const QDateTime now = QDateTime::currentDateTime();
    const auto alerts =
        std::count_if(seats.begin(), seats.end(), [](const ClassSeatRow& r) { return r.Alert; });
    tabClass_->setTabText(1, alerts ? QString("&Watch (%1 close)").arg(alerts) : "&Watch");
    tblRoster_->setRowCount(static_cast<int>(seats.size()));
    const std::vector<GradeColumn> columns = instructor_.Columns();
    tblMarks_->setColumnCount(static_cast<int>(columns.size()) + 3);
    QStringList heads{"Seat", "Student"};
    for (const GradeColumn& c : columns)
        heads << QString::fromStdString(c.Title);
    tblMarks_->setHorizontalHeaderLabels(heads << "Score");
    tblMarks_->setRowCount(static_cast<int>(seats.size()));
    for (size_t i = 0; i < seats.size(); ++i) {
        const ClassSeatRow& r = seats[i];
        const int row = static_cast<int>(i);
        // Marked once per record: a mark takes a run of the exercise, too much each second.
        if (!marked_.contains(r.Seat) && !r.Record.empty())
            marked_.insert(r.Seat, instructor_.Marks(r));
        const ClassMarks marks =
            marked_.value(r.Seat, ClassMarks{{}, {}, r.Record.empty() ? "no record yet" : ""});
        const QString score = marks.Error.isEmpty()
                                  ? QString("%1/%2").arg(marks.Total.Got).arg(marks.Total.OutOf)
                                  : QString();
        SetRow(tblRoster_, row,
               {r.Seat, r.Student,
                QString::fromUtf8(StatusName(r.Status).data(),
                                  static_cast<qsizetype>(StatusName(r.Status).size())),
                r.LastHeard.isValid() ? QString("%1 s ago").arg(r.LastHeard.secsTo(now)) : "",
                r.State ? QString::fromStdString(FormatClock(r.State->SimTime)) : "",
                QString::number(r.Answers.size()),
                r.Alert && r.Nearest
                    ? QString("close: %1 at %2 nm")
                          .arg(QString::fromStdString(VesselLetter(r.Nearest->Vessel)))
                          .arg(r.Nearest->Distance, 0, 'f', 2)
                    : QString(),
                r.State && r.State->Video ? QString::fromStdString(VideoCell(*r.State->Video))
                                          : QString(),
                score});
        // The whole of the video's set-up where the cell has room for the clutter alone; a
        // seat older than the video sends none.
        tblRoster_->item(row, kVideoColumn)
            ->setToolTip(r.State && r.State->Video
                             ? QString::fromStdString(VideoDetail(*r.State->Video))
                             : QString());
        QStringList cells{r.Seat, r.Student};
        for (const std::string& c : marks.Cells)
            cells << QString::fromStdString(c);
        if (!marks.Error.isEmpty())
            cells << marks.Error;
        else
            cells << score;
        SetRow(tblMarks_, row, cells);
    }
}

} // namespace mv
