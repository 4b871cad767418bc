#include "app/cpa_computer_window.h"

#include "app/window_text.h"
#include "core/display/markers.h"

#include "gui/control_rows.h"
#include "gui/help_topics.h"
#include "gui/numeric_entry.h"
#include "gui/tool_place.h"
#include "session/dialogs.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <cmath>

namespace mv {

namespace {

// Two figures of a time, five of a range or a bearing ("12.34", "045.5").
constexpr FigureWidth kTimeWidth{"00", 14};
constexpr FigureWidth kComputerFigureWidth{"00000", 14};

} // namespace

CpaComputerWindow::CpaComputerWindow(const Simulation& sim, const RadarDisplayState& display,
                                     Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), sim_(sim), display_(display), dialogs_(dialogs) {
    setObjectName("frmCPAComputer");
    setWindowTitle("CPA Computer");
    setWindowModality(Qt::WindowModal);
    // Closed through the frame, the window and its entries go; Close only hides it.
    setAttribute(Qt::WA_DeleteOnClose);
    setProperty("helpPage", kCpaComputerHelpPage);
    filter_ = new NumericEntryFilter(this);

    auto* sightings = new QGridLayout;
    sightings->setHorizontalSpacing(6);
    int col = 0;
    for (const char* caption : {"Sighting", "Time"}) {
        auto* l = new QLabel(caption, this);
        l->setAlignment(Qt::AlignCenter);
        sightings->addWidget(l, 0, col, 1, col == 0 ? 1 : 5);
        col += 1;
    }
    sightings->addWidget(new QLabel("Range", this), 0, 6, Qt::AlignCenter);
    sightings->addWidget(new QLabel("Bearing", this), 0, 7, Qt::AlignCenter);
    for (int i = 0; i < 2; ++i) {
        Row& r = rows_[static_cast<size_t>(i)];
        const auto name = [i](const char* base) {
            return QStringLiteral("%1(%2)").arg(base).arg(i);
        };
        sightings->addWidget(new QLabel(i == 0 ? "First" : "Second", this), i + 1, 0);
        r.Hour = FigureEntry(name("txtHour"), kTimeWidth, this);
        r.Minute = FigureEntry(name("txtMinute"), kTimeWidth, this);
        r.Second = FigureEntry(name("txtSecond"), kTimeWidth, this);
        r.Range = FigureEntry(name("txtRange"), kComputerFigureWidth, this);
        r.Bearing = FigureEntry(name("txtBearing"), kComputerFigureWidth, this);
        sightings->addWidget(r.Hour, i + 1, 1);
        sightings->addWidget(new QLabel(":", this), i + 1, 2);
        sightings->addWidget(r.Minute, i + 1, 3);
        sightings->addWidget(new QLabel(":", this), i + 1, 4);
        sightings->addWidget(r.Second, i + 1, 5);
        sightings->addWidget(r.Range, i + 1, 6);
        sightings->addWidget(r.Bearing, i + 1, 7);
        for (QLineEdit* f : {r.Hour, r.Minute, r.Second, r.Range, r.Bearing})
            filter_->watch(f, "frmCPAComputer");
        for (QLineEdit* f : {r.Hour, r.Minute, r.Second})
            f->installEventFilter(this); // the whole entry selected as the caret comes in
        connect(r.Hour, &QLineEdit::textChanged, this,
                [this, f = r.Hour] { TimeChanged(f, TimePart::Hour); });
        connect(r.Minute, &QLineEdit::textChanged, this,
                [this, f = r.Minute] { TimeChanged(f, TimePart::Minute); });
        connect(r.Second, &QLineEdit::textChanged, this,
                [this, f = r.Second] { TimeChanged(f, TimePart::Second); });
        connect(r.Range, &QLineEdit::textChanged, this, &CpaComputerWindow::Validate);
        connect(r.Bearing, &QLineEdit::textChanged, this, &CpaComputerWindow::Validate);
        auto* copy = MakeButton(name("cmdCopyEBLVRM"), "Copy EBL/VRM", ButtonUse::NotOnEnter, this);
        connect(copy, &QPushButton::clicked, this, [this, i] { cmdCopyEBLVRM_Click(i); });
        sightings->addWidget(copy, i + 1, 8);
    }

    auto* results = new QGroupBox("CPA DATA", this);
    results->setObjectName("pnlCPAData");
    auto* grid = new QGridLayout(results);
    // Wide enough for the longest figure, the time to the CPA ("00:00:00").
    ReadOutGrid values(grid, {"00:00:00", 12}, results);
    lblCourse_ = values.add(0, 0, "Target Course", "lblCourse");
    lblSpeed_ = values.add(1, 0, "Target Speed", "lblSpeed");
    lblYourcourse_ = values.add(2, 0, "Your Course", "lblYourcourse");
    lblYourspeed_ = values.add(3, 0, "Your Speed", "lblYourspeed");
    lblCPA_ = values.add(0, 2, "CPA", "lblCPA");
    lblBCPA_ = values.add(1, 2, "Bearing", "lblBCPA");
    lblTCPA_ = values.add(2, 2, "TCPA", "lblTCPA");
    lblSRM_ = values.add(3, 2, "SRM", "lblSRM");
    lblDRM_ = values.add(4, 2, "DRM", "lblDRM");
    grid->setColumnMinimumWidth(2, 70);

    // The action for a wanted CPA: worked from the sightings above at a moment of action.
    auto* steer = new QGroupBox("ACTION FOR A WANTED CPA", this);
    steer->setObjectName("pnlSteer");
    auto* steerGrid = new QGridLayout(steer);
    spnWantedCPA_ = new QDoubleSpinBox(steer);
    spnWantedCPA_->setObjectName("spnWantedCPA");
    spnWantedCPA_->setRange(0.1, 12.0);
    spnWantedCPA_->setSingleStep(0.1);
    spnWantedCPA_->setDecimals(1);
    spnWantedCPA_->setValue(2.0);
    spnWantedCPA_->setSuffix(" nm");
    tmeAct_ = new QTimeEdit(steer);
    tmeAct_->setObjectName("tmeAct");
    tmeAct_->setDisplayFormat("HH:mm:ss");
    chkPort_ = new QCheckBox("Alter to port", steer);
    chkPort_->setObjectName("chkPort");
    steerGrid->addWidget(new QLabel("Wanted CPA", steer), 0, 0);
    steerGrid->addWidget(spnWantedCPA_, 0, 1);
    steerGrid->addWidget(new QLabel("Act at", steer), 1, 0);
    steerGrid->addWidget(tmeAct_, 1, 1);
    steerGrid->addWidget(chkPort_, 2, 0, 1, 2);
    ReadOutGrid steerValues(steerGrid, {"00:00:00", 12}, steer);
    lblNewCourse_ = steerValues.add(0, 2, "New Course", "lblNewCourse");
    lblNewSpeed_ = steerValues.add(1, 2, "or New Speed", "lblNewSpeed");
    lblSteerNote_ = new QLabel(steer);
    lblSteerNote_->setObjectName("lblSteerNote");
    lblSteerNote_->setWordWrap(true);
    steerGrid->addWidget(lblSteerNote_, 3, 0, 1, 4);
    connect(spnWantedCPA_, &QDoubleSpinBox::editingFinished, this,
            &CpaComputerWindow::cmdSteer_Click);
    connect(tmeAct_, &QTimeEdit::editingFinished, this, &CpaComputerWindow::cmdSteer_Click);
    connect(chkPort_, &QCheckBox::toggled, this, &CpaComputerWindow::cmdSteer_Click);

    auto* buttons = new QHBoxLayout;
    ButtonRow row(buttons, ButtonUse::NotOnEnter, this, this);
    cmdCompute_ = row.add("cmdCompute", "Compute CPA", &CpaComputerWindow::cmdCompute_Click);
    cmdCompute_->setEnabled(false);
    cmdSteer_ = row.add("cmdSteer", "Course to Steer", &CpaComputerWindow::cmdSteer_Click);
    cmdSteer_->setEnabled(false);
    row.addStretch();
    row.add("cmdClose", "&Close", &CpaComputerWindow::cmdClose_Click);
    row.add("cmdHelp", "&Help", &CpaComputerWindow::cmdHelp_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sightings);
    layout->addWidget(results);
    layout->addWidget(steer);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CpaComputerWindow::Open() {
    if (!isVisible()) {
        if (!cmdSteer_->isEnabled()) SetActNow();
        PlaceClearOfCentreOnce(*this);
        show();
    }
    activateWindow();
    rows_[0].Hour->setFocus();
}

SightingRows CpaComputerWindow::Entries() const {
    SightingRows rows;
    for (size_t i = 0; i < 2; ++i) {
        const Row& r = rows_[i];
        rows[i] = {r.Hour->text().toStdString(), r.Minute->text().toStdString(),
                   r.Second->text().toStdString(), r.Range->text().toStdString(),
                   r.Bearing->text().toStdString()};
    }
    return rows;
}

void CpaComputerWindow::ClearResults() {
    // The own vessel's figures stay: they are the last ones used.
    for (QLabel* l : {lblBCPA_, lblCourse_, lblCPA_, lblDRM_, lblSpeed_, lblSRM_, lblTCPA_,
                      lblNewCourse_, lblNewSpeed_, lblSteerNote_})
        l->clear();
    cmdSteer_->setEnabled(false);
}

void CpaComputerWindow::Validate() {
    ClearResults();
    cmdCompute_->setEnabled(ValidateSightings(Entries()).has_value());
}

void CpaComputerWindow::TimeChanged(QLineEdit* field, TimePart part) {
    ClearResults();
    const std::string text = field->text().toStdString();
    const std::string held = TimeFieldCeiling(text, part);
    if (held != text) field->setText(Q(held));
}

bool CpaComputerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        // Select as far as the text goes from where the caret is: tabbing in selects it all.
        auto* field = static_cast<QLineEdit*>(watched);
        const int start = field->cursorPosition();
        const int length = static_cast<int>(field->text().size());
        QMetaObject::invokeMethod(
            field, [field, start, length] { field->setSelection(start, length); },
            Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

void CpaComputerWindow::cmdCopyEBLVRM_Click(int row) {
    // The sightings are worked in degrees true, whatever reference the picture shows.
    const VesselData& own = sim_.Vessels.Vessel.at(static_cast<size_t>(sim_.Vessels.OwnVessel));
    const SightingEntries e =
        CopyEBLVRM(sim_.Clock.SimTime, display_.VRMRange,
                   EBLTrueBearing(display_, own.Heading, static_cast<float>(own.NewHeading)));
    Row& r = rows_.at(static_cast<size_t>(row));
    r.Hour->setText(Q(e.Hour));
    r.Minute->setText(Q(e.Minute));
    r.Second->setText(Q(e.Second));
    r.Range->setText(Q(e.Range));
    r.Bearing->setText(Q(e.Bearing));
}

void CpaComputerWindow::cmdCompute_Click() {
    const VesselData& own = sim_.Vessels.Vessel.at(static_cast<size_t>(sim_.Vessels.OwnVessel));
    const CpaComputerOutcome got = ComputeCpaComputer(Entries(), own.Heading, own.Speed);
    if (!got.ok()) {
        dialogs_.message(Q(got.Error), kCantComputeTitle, Dialogs::Icon::Exclamation);
        return;
    }
    const CpaComputerTexts& t = *got.Texts;
    lblCourse_->setText(Q(t.Course));
    lblSpeed_->setText(Q(t.Speed));
    lblCPA_->setText(Q(t.CPA));
    lblBCPA_->setText(Q(t.BCPA));
    lblTCPA_->setText(Q(t.TCPA));
    lblSRM_->setText(Q(t.SRM));
    lblDRM_->setText(Q(t.DRM));
    lblYourcourse_->setText(Q(t.YourCourse));
    lblYourspeed_->setText(Q(t.YourSpeed));
    // The action is worked for the present moment unless another is set.
    tmeAct_->setTime(QTime(0, 0).addSecs(
        static_cast<int>(std::lround(std::fmod(sim_.Clock.SimTime, 1.0) * 86400.0) % 86400)));
    cmdSteer_->setEnabled(true);
    cmdSteer_Click();
    emit logged("cpa computer", -1,
                QString("CPA computer: target %1 T %2, CPA %3 bearing %4, TCPA %5")
                    .arg(Q(t.Course), Q(t.Speed), Q(t.CPA), Q(t.BCPA), Q(t.TCPA)));
}

void CpaComputerWindow::SetActNow() {
    // The action is worked for the present moment unless another is set.
    tmeAct_->setTime(QTime(0, 0).addSecs(
        static_cast<int>(std::lround(std::fmod(sim_.Clock.SimTime, 1.0) * 86400.0) % 86400)));
}

void CpaComputerWindow::cmdSteer_Click() {
    if (!cmdSteer_->isEnabled()) return;
    const VesselData& own = sim_.Vessels.Vessel.at(static_cast<size_t>(sim_.Vessels.OwnVessel));
    // A time of day, as the sightings' times are.
    const double act = tmeAct_->time().msecsSinceStartOfDay() / 86400000.0;
    const SteerTexts t = ComputeActionToSteer(Entries(), own.Heading, own.Speed, act,
                                              spnWantedCPA_->value(), chkPort_->isChecked());
    lblNewCourse_->setText(Q(t.Course));
    lblNewSpeed_->setText(Q(t.Speed));
    lblSteerNote_->setText(Q(t.Error.empty() ? t.Note : t.Error));
}

} // namespace mv

namespace mv {

void CpaComputerWindow::cmdHelp_Click() {
    dialogs_.showHelp(HelpTopic(kCpaComputerHelpPage));
}

} // namespace mv
