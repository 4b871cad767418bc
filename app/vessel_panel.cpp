#include "app/vessel_panel.h"

#include "app/cpa_computer_window.h"
#include "app/maneuver_window.h"
#include "core/aids/maneuver.h"
#include "gui/command_actions.h"
#include "gui/palette.h"
#include "gui/radar_items.h"
#include "session/exercise.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mv {

namespace {

// The letter's colour while the button can be pressed; the disabled group is left to the
// widgets' palette, so a button of a slot not in use looks greyed.
void SetForeColour(QPushButton* button, const QColor& colour) {
    QPalette p;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
        p.setColor(g, QPalette::ButtonText, colour);
    button->setPalette(p);
}

} // namespace

namespace {

// The mode commands, in the order of VesselMode.
constexpr const char* kModeCommands[] = {"actManeuverMode", "actCpaMode", "actJumpToMode"};

QString ModeCommand(VesselMode m) {
    return kModeCommands[static_cast<int>(m)];
}

} // namespace

VesselPanel::VesselPanel(Exercise& exercise, Dialogs& dialogs, CommandActions& actions,
                         QWidget* windows, QWidget* parent)
    : QWidget(parent), exercise_(exercise), windows_(windows), dialogs_(dialogs) {
    setObjectName("pnlVessels");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(4);
    for (int i = 0; i < kMaxVessels; ++i) {
        auto* b = new QPushButton(QString::fromStdString(VesselLetter(i)), this);
        b->setObjectName(QStringLiteral("cmdVessel(%1)").arg(i));
        b->setFocusPolicy(Qt::TabFocus);
        b->setMinimumHeight(28);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance("MM") + 8);
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, [this, i] { cmdVessel_Click(i); });
        cmdVessel_[static_cast<size_t>(i)] = b;
        buttons->addWidget(b);
    }
    column->addLayout(buttons);

    auto* options = new QHBoxLayout;
    const auto option = [&](const char* name, const QString& caption, int helpContext,
                            void (VesselPanel::*slot)()) {
        auto* o = new QRadioButton(caption, this);
        o->setObjectName(name);
        o->setProperty("helpContext", helpContext);
        // Clicked, not toggled: a menu entry that sets the option already chosen runs it too.
        connect(o, &QRadioButton::clicked, this, slot);
        options->addWidget(o);
        return o;
    };
    optManeuver_ = option("optManeuver", "Maneuver", 32061, &VesselPanel::optManeuver_Click);
    optCPA_ = option("optCPA", "CPA info", 32062, &VesselPanel::optCPA_Click);
    optJumpTo_ = option("optJumpTo", "Jump to", 32063, &VesselPanel::optJumpTo_Click);
    CommandActions::Bind(optManeuver_, actions.action(kModeCommands[0]));
    CommandActions::Bind(optCPA_, actions.action(kModeCommands[1]));
    CommandActions::Bind(optJumpTo_, actions.action(kModeCommands[2]));
    column->addLayout(options);
    connect(&exercise_, &Exercise::changed, this, [this] {
        if (shownColours_ != exercise_.display().Colours) ShowButtonColours();
        ApplyPermissions();
        EnableSlotsInUse();
    });
}

ManeuverWindow& VesselPanel::maneuverWindow() {
    if (!frmManeuver_) {
        frmManeuver_ =
            new ManeuverWindow(exercise_.simulation(), exercise_.display(), dialogs_, windows_);
        connect(&exercise_, &Exercise::ticked, frmManeuver_, &ManeuverWindow::Ticked);
        connect(frmManeuver_, &ManeuverWindow::logged, &exercise_, &Exercise::Log);
        connect(frmManeuver_, &ManeuverWindow::ordered, &exercise_, &Exercise::LogOrder);
        connect(frmManeuver_, &ManeuverWindow::echoHighlighted, this, [this](int v, bool on) {
            if (v >= 0 && v < kMaxVessels) emit echoHighlighted(v, on);
        });
    }
    return *frmManeuver_;
}

VesselRules VesselPanel::RulesOf(const Exercise& exercise) {
    return {exercise.assessed() != nullptr, exercise.allowed().CpaInfo};
}

VesselMode VesselPanel::mode() const {
    return exercise_.display().VesselOrder;
}

void VesselPanel::EnableSlotsInUse() {
    const auto& v = exercise_.simulation().Vessels;
    for (int i = 0; i < kMaxVessels; ++i)
        cmdVessel(i)->setEnabled(
            VesselAllowed(mode(), i, v.NumVessels, v.OwnVessel, RulesOf(exercise_)));
}

void VesselPanel::ApplyPermissions() {
    if (!VesselModeAllowed(mode(), RulesOf(exercise_)))
        exercise_.commands().Trigger(ModeCommand(VesselMode::Maneuver));
}

void VesselPanel::EnableVesselControls() {
    const auto& t = exercise_.simulation().Vessels;
    // A new scenario: the manoeuvre window spoke for a vessel of the one before, which may not
    // exist any more.
    if (frmManeuver_ && frmManeuver_->isVisible()) frmManeuver_->cmdManeuverClose_Click();
    EnableSlotsInUse();
    ShowButtonColours();
    emit vesselControlsEnabled(t.NumVessels, t.OwnVessel);
}

QColor VesselPanel::EchoColour(int vessel) const {
    const Palette& c = PaletteFor(exercise_.display().Colours);
    return frmManeuver_ && frmManeuver_->isOpenOn(vessel) ? c.echoManoeuvre : c.echo;
}

void VesselPanel::ShowButtonColours() {
    shownColours_ = exercise_.display().Colours;
    const int own = exercise_.simulation().Vessels.OwnVessel;
    for (int i = 0; i < kMaxVessels; ++i) {
        if (i == own)
            SetForeColour(cmdVessel(i), PaletteFor(shownColours_).ownButton);
        else
            cmdVessel(i)->setPalette(QPalette()); // the widgets' own, every group
    }
}

void VesselPanel::ManeuverStep(int vessel, const ManeuverReadout& readout) {
    if (frmManeuver_) frmManeuver_->ManeuverStep(vessel, readout);
}

void VesselPanel::optManeuver_Click() {
    EnableSlotsInUse();
}

void VesselPanel::optCPA_Click() {
    EnableSlotsInUse();
}

void VesselPanel::optJumpTo_Click() {
    EnableSlotsInUse();
}

void VesselPanel::cmdVessel_Click(int index) {
    const auto& v = exercise_.simulation().Vessels;
    if (!exercise_.isLoaded() ||
        !VesselAllowed(mode(), index, v.NumVessels, v.OwnVessel, RulesOf(exercise_)))
        return;
    const QString caption = cmdVessel(index)->text();
    if (mode() == VesselMode::Maneuver)
        maneuverWindow().OpenManeuver(index, caption);
    else if (mode() == VesselMode::Cpa)
        maneuverWindow().OpenCPAData(index, caption);
    else
        JumpTo(index);
}

void VesselPanel::JumpTo(int index) {
    Simulation& sim = exercise_.simulation();
    const JumpResult jump = JumpToVessel(sim, static_cast<int16_t>(index));
    // The CPA data of a target that is now the own vessel would be its CPA with itself.
    if (frmManeuver_ && frmManeuver_->isOpenOn(jump.Own) && frmManeuver_->showsCpaData())
        frmManeuver_->cmdManeuverClose_Click();
    EnableSlotsInUse(); // the former own vessel may be jumped to now, the new one not
    ShowButtonColours();
    const Exercise::ChangeScope change(exercise_);
    exercise_.Log("jump", jump.Own,
                  QString("Jumped from %1 to %2")
                      .arg(QString::fromStdString(VesselLetter(jump.Former)),
                           QString::fromStdString(VesselLetter(jump.Own))));
    exercise_.NotifyMoved();
    emit jumpShown(jump.Former, jump.Own, QString::fromStdString(jump.StatusLine));
    emit jumped(jump.Former, jump.Own);
}

void VesselPanel::Order(VesselMode m, int index) {
    if (!VesselModeAllowed(m, RulesOf(exercise_))) return;
    // The options show the mode, as the student's own click on them would.
    if (mode() != m) exercise_.commands().Trigger(ModeCommand(m));
    cmdVessel_Click(index);
}

void VesselPanel::Choose(QRadioButton* option, int index) {
    Order(option == optCPA_      ? VesselMode::Cpa
          : option == optJumpTo_ ? VesselMode::JumpTo
                                 : VesselMode::Maneuver,
          index);
}

CpaComputerWindow* VesselPanel::cpaComputer() const {
    return cpaComputer_;
}

void VesselPanel::ShowCPAComputer() {
    if (!cpaComputer_) {
        cpaComputer_ =
            new CpaComputerWindow(exercise_.simulation(), exercise_.display(), dialogs_, windows_);
        connect(cpaComputer_, &CpaComputerWindow::logged, &exercise_, &Exercise::Log);
    }
    cpaComputer_->Open();
}

} // namespace mv
