#include "app/maneuver_window.h"

#include "app/cpa_data_panel.h"
#include "app/window_text.h"
#include "core/number_text.h"

#include "gui/control_rows.h"
#include "gui/numeric_entry.h"
#include "gui/tool_place.h"
#include "session/dialogs.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace mv {

namespace {

QLabel* Label(const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// A read-out wide enough for "000", "99.9 kn" or "-999.9 min" at any font size.
constexpr FigureWidth kManeuverReadOut{"-999.9 min", 8};

} // namespace

ManeuverWindow::ManeuverWindow(Simulation& sim, const RadarDisplayState& display, Dialogs& dialogs,
                               QWidget* parent)
    : QDialog(parent), sim_(sim), display_(display), dialogs_(dialogs) {
    setObjectName("frmManeuver");
    setWindowTitle("Maneuver");
    // Modal to the console; the caller returns at once and the simulation timer runs on.
    setWindowModality(Qt::WindowModal);
    filter_ = new NumericEntryFilter(this);

    panels_ = new QStackedWidget(this);
    pnlManeuver_ = BuildManeuverPanel();
    pnlCPAData_ = new CpaDataPanel(sim, display, this);
    connect(pnlCPAData_, &CpaDataPanel::closeRequested, this, &ManeuverWindow::cmdCPAClose_Click);
    panels_->addWidget(pnlManeuver_);
    panels_->addWidget(pnlCPAData_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panels_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QWidget* ManeuverWindow::BuildManeuverPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("pnlManeuver");
    auto* column = new QVBoxLayout(panel);

    lblVessel_ = PanelTitle("lblVessel", "Maneuver", panel);
    column->addWidget(lblVessel_);
    lblType_ = Label("lblType", "Type:", panel);
    column->addWidget(lblType_);

    // Present values, with the indicators the tick shows while a turn or speed change runs.
    auto* present = new QGridLayout;
    present->addWidget(Label("lblPresentCourse", "Present course", panel), 0, 0);
    lblCourse_ = ReadOut("lblCourse", kManeuverReadOut, panel);
    present->addWidget(lblCourse_, 0, 1);
    lblTurning_ = Label("lblTurning", ">", panel);
    present->addWidget(lblTurning_, 0, 2);
    present->addWidget(Label("lblPresentSpeed", "Present speed", panel), 1, 0);
    lblSpeed_ = ReadOut("lblSpeed", kManeuverReadOut, panel);
    present->addWidget(lblSpeed_, 1, 1);
    lblSpeeding_ = Label("lblSpeeding", "^", panel);
    present->addWidget(lblSpeeding_, 1, 2);
    for (QLabel* indicator : {lblTurning_, lblSpeeding_}) {
        QFont f = indicator->font();
        f.setBold(true);
        indicator->setFont(f);
        QPalette red = indicator->palette();
        red.setColor(QPalette::WindowText, QColor(0xc0, 0x00, 0x00));
        indicator->setPalette(red);
        indicator->setMinimumWidth(indicator->fontMetrics().horizontalAdvance("MM"));
        // Hidden, an indicator keeps its place, so the read-outs do not jump.
        QSizePolicy keep = indicator->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        indicator->setSizePolicy(keep);
        indicator->hide();
    }
    present->setColumnStretch(3, 1);
    column->addLayout(present);

    // The orders: a button chooses the field the keypad types into.
    auto* orders = new QGroupBox("New orders", panel);
    orders->setObjectName("grpOrders");
    auto* grid = new QGridLayout(orders);
    const auto order = [&](int row, const char* name, const QString& caption,
                           void (ManeuverWindow::*slot)(), QLineEdit*& field, const char* fieldName,
                           const QString& unit, ManeuverField kind) {
        QPushButton* b = CommandButton(name, caption, ButtonUse::NotOnEnter, this, slot, orders);
        field = FigureEntry(fieldName, {"0000000", 12}, orders);
        field->setMaxLength(8);
        filter_->watch(field, "frmManeuver");
        // Typed or pasted by the student, not set by the program: the mode button keeps it.
        connect(field, &QLineEdit::textEdited, this, [this, kind] { entries_.NoteTyped(kind); });
        grid->addWidget(b, row, 0);
        grid->addWidget(field, row, 1);
        grid->addWidget(new QLabel(unit, orders), row, 2);
    };
    order(0, "cmdTurnToCourse", "Turn to &Course", &ManeuverWindow::cmdTurnToCourse_Click,
          txtCourse_, "txtCourse", QString::fromUtf8("\u00B0 T"), ManeuverField::Course);
    order(1, "cmdTurnLeft", "Turn &Left by", &ManeuverWindow::cmdTurnLeft_Click, txtTurnLeft_,
          "txtTurnLeft", QString::fromUtf8("\u00B0"), ManeuverField::TurnLeft);
    order(2, "cmdTurnRight", "Turn &Right by", &ManeuverWindow::cmdTurnRight_Click, txtTurnRight_,
          "txtTurnRight", QString::fromUtf8("\u00B0"), ManeuverField::TurnRight);
    order(3, "cmdSpeed", "Change &Speed to", &ManeuverWindow::cmdSpeed_Click, txtSpeed_, "txtSpeed",
          kKnotsUnit, ManeuverField::Speed);
    connect(txtSpeed_, &QLineEdit::textChanged, this, &ManeuverWindow::txtSpeed_Change);

    // The keypad types into the chosen field; it takes no focus, so the caret stays there.
    auto* keypad = new QGridLayout;
    keypad->setSpacing(4);
    for (int i = 0; i <= 10; ++i) {
        const QString caption = i == 10 ? QString::fromUtf8("\u2022") : QString::number(i);
        auto* key = new QPushButton(caption, orders);
        key->setObjectName(QStringLiteral("cmdKeyPad(%1)").arg(i));
        key->setFocusPolicy(Qt::NoFocus);
        key->setAutoDefault(false);
        key->setFixedSize(key->fontMetrics().height() * 2 + 6, key->fontMetrics().height() + 14);
        connect(key, &QPushButton::clicked, this, [this, i] { cmdKeyPad_Click(i); });
        // 7 8 9 / 4 5 6 / 1 2 3 / 0 and the point, as on a calculator.
        if (i == 0)
            keypad->addWidget(key, 3, 0, 1, 2);
        else if (i == 10)
            keypad->addWidget(key, 3, 2);
        else
            keypad->addWidget(key, 2 - (i - 1) / 3, (i - 1) % 3);
        if (i == 0) key->setFixedWidth(2 * key->width() + keypad->spacing());
    }
    grid->addLayout(keypad, 0, 3, 4, 1);
    grid->setColumnMinimumWidth(2, 24);
    column->addWidget(orders);

    auto* buttons = new QHBoxLayout;
    ButtonRow row(buttons, ButtonUse::NotOnEnter, this, panel);
    row.addStretch();
    row.add("cmdExecute", "&Do it", &ManeuverWindow::cmdExecute_Click);
    cmdManeuverClose_ =
        row.add("cmdManeuverClose", "Cl&ose", &ManeuverWindow::cmdManeuverClose_Click);
    column->addLayout(buttons);
    return panel;
}

// --- opening --------------------------------------------------------------------------------

void ManeuverWindow::Present(QWidget* panel) {
    panels_->setCurrentWidget(panel);
    if (!isVisible()) {
        PlaceClearOfCentreOnce(*this);
        show();
    }
    activateWindow();
    Form_Activate();
}

void ManeuverWindow::OpenManeuver(int vessel, const QString& buttonCaption) {
    setWindowTitle("Maneuver");
    setProperty("helpContext", kManeuverHelpContext);
    vessel_ = vessel;
    Pull();
    const ManeuverPanelTexts t =
        OpenManeuverPanel(sim_.Vessels, vessel, buttonCaption.toStdString(), entries_);
    lblVessel_->setText(Q(t.Title));
    lblCourse_->setText(Q(t.PresentCourse));
    lblSpeed_->setText(Q(t.PresentSpeed));
    lblType_->setText(Q(t.Type));
    Push();
    Present(pnlManeuver_);
}

void ManeuverWindow::OpenCPAData(int vessel, const QString& buttonCaption) {
    setWindowTitle("CPA Data");
    setProperty("helpContext", kCpaDataHelpContext);
    vessel_ = vessel;
    pnlCPAData_->Show(vessel, buttonCaption);
    Present(pnlCPAData_);
    emit logged("cpa data", vessel,
                Q(VesselLetter(vessel)) + " CPA data: " + pnlCPAData_->Summary());
}

void ManeuverWindow::Form_Activate() {
    emit echoHighlighted(vessel(), true);
    Pull();
    ActivateManeuverPanel(sim_, entries_);
    Push();
    if (showsCpaData()) {
        setProperty("helpContext", kCpaDataActiveHelpContext);
        pnlCPAData_->FocusClose();
    } else {
        setProperty("helpContext", kManeuverHelpContext);
        cmdManeuverClose_->setFocus();
    }
}

bool ManeuverWindow::showsCpaData() const {
    return panels_->currentWidget() == pnlCPAData_;
}

bool ManeuverWindow::isOpenOn(int v) const {
    return isVisible() && vessel() == v;
}

// --- the fields -----------------------------------------------------------------------------

void ManeuverWindow::Pull() {
    entries_.Course = txtCourse_->text().toStdString();
    entries_.TurnLeft = txtTurnLeft_->text().toStdString();
    entries_.TurnRight = txtTurnRight_->text().toStdString();
    entries_.Speed = txtSpeed_->text().toStdString();
}

void ManeuverWindow::Push() {
    txtCourse_->setText(Q(entries_.Course));
    txtTurnLeft_->setText(Q(entries_.TurnLeft));
    txtTurnRight_->setText(Q(entries_.TurnRight));
    txtSpeed_->setText(Q(entries_.Speed));
}

QLineEdit* ManeuverWindow::FieldWidget(ManeuverField field) const {
    switch (field) {
    case ManeuverField::Speed:
        return txtSpeed_;
    case ManeuverField::Course:
        return txtCourse_;
    case ManeuverField::TurnLeft:
        return txtTurnLeft_;
    case ManeuverField::TurnRight:
        return txtTurnRight_;
    case ManeuverField::None:
        break;
    }
    return nullptr;
}

void ManeuverWindow::cmdTurnLeft_Click() {
    Pull();
    const auto v = static_cast<size_t>(vessel());
    SelectTurnLeft(entries_, sim_.Vessels.Vessel.at(v).NewHeading);
    Push();
    txtTurnLeft_->setFocus();
}

void ManeuverWindow::cmdTurnRight_Click() {
    Pull();
    const auto v = static_cast<size_t>(vessel());
    SelectTurnRight(entries_, sim_.Vessels.Vessel.at(v).NewHeading);
    Push();
    txtTurnRight_->setFocus();
}

void ManeuverWindow::cmdTurnToCourse_Click() {
    Pull();
    SelectCourse(entries_);
    Push();
    txtCourse_->setFocus();
}

void ManeuverWindow::cmdSpeed_Click() {
    Pull();
    SelectSpeed(entries_);
    Push();
    txtSpeed_->setFocus();
}

void ManeuverWindow::cmdKeyPad_Click(int index) {
    Pull();
    KeyPad(entries_, index);
    Push();
}

void ManeuverWindow::txtSpeed_Change() {
    const std::string text = txtSpeed_->text().toStdString();
    const std::string held = SpeedCeiling(text);
    if (held != text) txtSpeed_->setText(Q(held));
}

void ManeuverWindow::cmdExecute_Click() {
    Pull();
    if (const auto message = ExecuteManeuver(entries_, vessel(), sim_)) {
        dialogs_.message(Q(message->Text), Q(message->Title), Dialogs::Icon::Exclamation);
        Push(); // the offending field is emptied and takes the focus
        if (QLineEdit* field = FieldWidget(message->Field)) field->setFocus();
        return;
    }
    const VesselData& v = sim_.Vessels.Vessel.at(static_cast<size_t>(vessel()));
    emit ordered(vessel(), v.NewHeading, static_cast<double>(v.NewSpeed),
                 QString("%1 ordered to %2 T, %3")
                     .arg(Q(VesselLetter(vessel())))
                     .arg(v.NewHeading, 3, 10, QChar('0'))
                     .arg(Q(KnotsText(static_cast<double>(v.NewSpeed)))));
    cmdManeuverClose_->click();
}

void ManeuverWindow::cmdManeuverClose_Click() {
    const bool wasOpen = isVisible();
    hide();
    // Hidden, not destroyed: the texts stay until the next vessel click refills them.
    if (wasOpen) emit echoHighlighted(vessel(), false);
}

void ManeuverWindow::closeEvent(QCloseEvent* event) {
    // Closed through the frame: the same as the Close button.
    event->ignore();
    cmdManeuverClose_Click();
}

// --- what the tick and the options show ------------------------------------------------------

void ManeuverWindow::ManeuverStep(int v, const ManeuverReadout& r) {
    if (!isOpenOn(v)) return;
    if (r.SpeedingCaption) lblSpeeding_->setText(Q(*r.SpeedingCaption));
    if (r.SpeedingVisible) lblSpeeding_->setVisible(*r.SpeedingVisible);
    if (r.SpeedText) lblSpeed_->setText(Q(*r.SpeedText));
    if (r.TurningCaption) lblTurning_->setText(Q(*r.TurningCaption));
    if (r.TurningVisible) lblTurning_->setVisible(*r.TurningVisible);
    if (r.CourseText) lblCourse_->setText(Q(*r.CourseText));
    Pull();
    ApplyReadout(entries_, r);
    Push();
}

void ManeuverWindow::Ticked() {
    if (isVisible() && showsCpaData()) pnlCPAData_->ShowCaution();
}

void ManeuverWindow::DoCPA() {
    pnlCPAData_->DoCPA();
}

} // namespace mv
