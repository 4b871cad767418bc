#pragma once
// pnlVessels on the radar console: one button per vessel slot (A to F) and the three modes
// they act in: "Maneuver" opens the manoeuvre panel, "CPA info" the CPA data of a target,
// "Jump to" makes the vessel the own vessel. It owns the windows of the plotting aids.
//
// The menus' vessel entries give the same order (Order): the mode shown on the options, then
// what the vessel's button does. Which vessels each mode may take is the one rule of
// core/vessel_modes.h, for the buttons and the menus alike. A jump and the manoeuvre window's
// highlight are requests to the console, which redraws; the panel calls no other window.

#include "core/display/display_state.h"
#include "core/motion.h"
#include "core/vessel_modes.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <array>

class QPushButton;
class QRadioButton;

namespace mv {

class CommandActions;
class CpaComputerWindow;
class Dialogs;
class Exercise;
class ManeuverWindow;

class VesselPanel : public QWidget {
    Q_OBJECT
  public:
    // The aids' windows float over `windows`, the console; the mode's options are views of the
    // mode commands in `actions`.
    VesselPanel(Exercise& exercise, Dialogs& dialogs, CommandActions& actions, QWidget* windows,
                QWidget* parent);

    QPushButton* cmdVessel(int slot) const { return cmdVessel_.at(static_cast<size_t>(slot)); }
    QRadioButton* optManeuver() const { return optManeuver_; }
    QRadioButton* optCPA() const { return optCPA_; }
    QRadioButton* optJumpTo() const { return optJumpTo_; }

    // The buttons of the slots in use enabled, the own vessel's lettered blue and the others
    // black; the rest disabled.
    void EnableVesselControls();
    // The colour of vessel i's echo: red while the manoeuvre window is open on it.
    QColor EchoColour(int vessel) const;
    // The own vessel's letter in the palette's own colour, the targets' in the button text;
    // a disabled button greys its letter as every disabled button does.
    void ShowButtonColours();
    // The mode, held in the display state and shown on the options, and the rules of the
    // exercise in force for the vessels.
    VesselMode mode() const;
    static VesselRules RulesOf(const Exercise& exercise);

    // A manoeuvre step of the tick, for the manoeuvre window's read-outs.
    void ManeuverStep(int vessel, const ManeuverReadout& readout);

    // Created on first use, then kept.
    ManeuverWindow& maneuverWindow();
    // Null until first opened, and again once closed through its frame.
    CpaComputerWindow* cpaComputer() const;

  signals:
    // Hooks for the windows that show the vessel slots too. The main window's vessel menus
    // follow EnableVesselControls: Maneuver entries of the slots in use enabled, Jump to and
    // CPA entries of the targets enabled, all entries of the other slots disabled; the True
    // View's labels of the targets turn green.
    void vesselControlsEnabled(int numVessels, int ownVessel);
    // A jump: the former own vessel's Jump to and CPA entries come back and its True View
    // label turns green; the new own vessel's entries are disabled, its label turns red, and
    // the True View is reset about it.
    void jumped(int former, int own);
    // The vessel is now the own vessel: the picture is to be drawn about it, showing `status`.
    void jumpShown(int former, int own, const QString& status);
    // The manoeuvre window speaks for vessel i (on) or no longer does: its echo's colour.
    void echoHighlighted(int vessel, bool on);

  public slots:
    // The dispatcher of the three modes.
    void cmdVessel_Click(int index);
    // A menu's vessel entry: its mode shown on the options, then what the vessel's button
    // does; nothing when the rule does not allow that vessel in that mode.
    void Order(VesselMode mode, int index);
    // The same by the mode's option.
    void Choose(QRadioButton* option, int index);
    void optManeuver_Click();
    void optCPA_Click();
    void optJumpTo_Click();
    // The main window's "CPA Computer" entry: the window, modal to the console, as it was left
    // by its Close button.
    void ShowCPAComputer();

  private:
    void JumpTo(int index);
    void EnableSlotsInUse();
    // Back to Maneuver when the exercise in force does not allow the mode chosen.
    void ApplyPermissions();

    Exercise& exercise_;
    QWidget* windows_;
    Dialogs& dialogs_;
    std::array<QPushButton*, 6> cmdVessel_{};
    DisplayPalette shownColours_ = DisplayPalette::Day;
    QRadioButton* optManeuver_ = nullptr;
    QRadioButton* optCPA_ = nullptr;
    QRadioButton* optJumpTo_ = nullptr;
    ManeuverWindow* frmManeuver_ = nullptr;
    QPointer<CpaComputerWindow> cpaComputer_;
};

} // namespace mv
