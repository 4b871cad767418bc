#include "app/menu_table.h"

#include "app/application.h"
#include "app/help_commands.h"
#include "app/main_window.h"
#include "app/radar_console.h"
#include "app/traffic_selector.h"
#include "app/vessel_panel.h"
#include "core/clock.h"
#include "session/exercise.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

namespace mv {

namespace {

// "Press the button": exactly what a click on the console runs.
void Press(QWidget& console, const char* name) {
    auto* button = console.findChild<QAbstractButton*>(name);
    Q_ASSERT_X(button, "Press", name);
    if (button) button->click();
}

QString Indexed(const char* name, int i) {
    return QString("%1(%2)").arg(name).arg(i);
}

} // namespace

std::vector<MenuEntry> MenuTable(Application& app, std::function<void()> quit) {
    RadarConsole& console = app.console();
    Exercise& exercise = app.exercise();
    Simulation& sim = app.simulation();
    RadarDisplayState& d = app.display();
    TickDisplay& tick = d.Tick;
    VesselPanel& vessels = *console.vesselPanel();
    TrafficSelector& traffic = console.traffic();
    Dialogs& dialogs = app.dialogs();
    const std::filesystem::path folder = app.programFolder();
    const auto press = [&console](const char* name) {
        return [&console, name] { Press(console, name); };
    };
    const auto inUse = [&sim](int slot) { return slot < sim.Vessels.NumVessels; };
    const auto target = [&sim](int slot) {
        return slot < sim.Vessels.NumVessels && slot != sim.Vessels.OwnVessel;
    };
    // The detour through no selection makes a repeated choice of the same source open its
    // window again.
    const auto chooseTraffic = [&traffic](int index, void (TrafficSelector::*show)()) {
        return [&traffic, index, show] {
            if (traffic.cboSetTraffic()->currentIndex() == index)
                traffic.cboSetTraffic()->setCurrentIndex(-1);
            (traffic.*show)();
        };
    };

    std::vector<MenuEntry> t;
    const auto add = [&t](MenuEntry e) { t.push_back(std::move(e)); };

    add({"mnuFile", "&File", ""});
    add({"mnuMV3", "&Run Marovane 3", "mnuFile", {}, [&dialogs, folder] {
             RunCompanion(dialogs, folder);
         }});
    add({"mnuFileSeparator1", "-", "mnuFile"});
    add({"mnuExit", "E&xit Marovane", "mnuFile", QKeySequence::Quit, quit});

    add({"mnuControl", "&Simulator", ""});
    add({"mnuRepeat", "Re&peat", "mnuControl", QKeySequence("Ctrl+R"), press("cmdRepeat")});
    add({"mnuPause", "&Pause", "mnuControl", QKeySequence("Ctrl+P"), press("cmdPause"),
         [&exercise] { return exercise.isPaused(); }});
    add({"mnuTimeFactor", "&Time Factor", "mnuControl"});
    for (int i = 0; i < kTimeFactorCount; ++i)
        add({Indexed("mnuT", i),
             QString("x%1").arg(kTimeFactors[static_cast<size_t>(i)]),
             "mnuTimeFactor",
             {},
             [&exercise, i] { exercise.SetTimeFactor(i); },
             [&sim, i] { return sim.Clock.TimeFactorIndex == i; },
             {},
             "mnuT"});
    add({"mnuControlSep1", "-", "mnuControl"});
    // The vessel entries set the console's mode and press the vessel's button.
    struct VesselMenu {
        const char* parent;
        const char* caption;
        const char* item;
        QRadioButton* (VesselPanel::*option)() const;
        bool ownToo;
    };
    const VesselMenu vesselMenus[] = {
        {"mnuManeuver", "&Maneuver", "mnuManeuverVessel", &VesselPanel::optManeuver, true},
        {"mnuCPAInfo", "CPA &Info", "mnuCPAVessel", &VesselPanel::optCPA, false},
        {"mnuJump", "&Jump to Vessel", "mnuJumptoVessel", &VesselPanel::optJumpTo, false},
    };
    for (const VesselMenu& m : vesselMenus) {
        add({m.parent, m.caption, "mnuControl"});
        for (int i = 0; i < 6; ++i) {
            const auto option = m.option;
            std::function<bool()> enabled =
                m.ownToo ? std::function<bool()>([inUse, i] { return inUse(i); })
                         : std::function<bool()>([target, i] { return target(i); });
            add({Indexed(m.item, i),
                 QString("&%1").arg(QChar(u'A' + i)),
                 m.parent,
                 {},
                 [&vessels, option, i] {
                     (vessels.*option)()->click();
                     vessels.cmdVessel(i)->click();
                 },
                 {},
                 enabled});
        }
    }
    add({"mnuControlSep2", "-", "mnuControl"});
    add({"mnuCPAComputer", "&CPA Computer...", "mnuControl", {}, [&vessels] {
             vessels.ShowCPAComputer();
         }});
    add({"mnuControlSep3", "-", "mnuControl"});
    add({"mnuTrueView", "True &View...", "mnuControl", {}, press("cmdTrueView"), [&tick] {
             return tick.TrueViewOn;
         }});
    add({"mnuControlSep4", "-", "mnuControl"});
    add({"mnuIdentify", "I&dentify", "mnuControl", QKeySequence("Ctrl+I"), press("cmdIdentify")});
    add({"mnuControlSep5", "-", "mnuControl"});
    add({"mnuRadarMode", "&Radar Mode", "mnuControl"});
    add({"mnuHeadsUp",
         "&Heads-up",
         "mnuRadarMode",
         {},
         [&console] { console.SetNorthUp(false); },
         [&tick] { return !tick.NorthUp; },
         {},
         "mnuRadarMode"});
    add({"mnuNorthup",
         "&North-up",
         "mnuRadarMode",
         {},
         [&console] { console.SetNorthUp(true); },
         [&tick] { return tick.NorthUp; },
         {},
         "mnuRadarMode"});
    add({"mnuEBLVRMmode", "&EBL/VRM Mode", "mnuControl"});
    add({"mnuKeysMode",
         "&Keys Mode",
         "mnuEBLVRMmode",
         {},
         press("optKeysMode"),
         [&d] { return d.CursorMode == 0; },
         {},
         "mnuEBLVRMmode"});
    add({"mnuCursorMode",
         "&Cursor Mode",
         "mnuEBLVRMmode",
         {},
         press("optCursorMode"),
         [&d] { return d.CursorMode == 1; },
         {},
         "mnuEBLVRMmode"});

    add({"mnuRadar", "&Radar", ""});
    add({"mnuRange_Main", "&Range", "mnuRadar"});
    // Beyond the ten scales: a step either way, as the console's arrows do, for the keyboard.
    add({"mnuRangeUp", "Range &Up", "mnuRange_Main", QKeySequence("Ctrl+Up"), press("cmdRangeUp")});
    add({"mnuRangeDown", "Range &Down", "mnuRange_Main", QKeySequence("Ctrl+Down"),
         press("cmdRangeDown")});
    add({"mnuRangeSep", "-", "mnuRange_Main"});
    const char* ranges[] = {"0.125", "0.25", "0.5", "0.75", "1.5", "3", "6", "12", "24", "36"};
    for (int i = 0; i < 10; ++i)
        add({Indexed("mnuRange", i),
             ranges[i],
             "mnuRange_Main",
             {},
             [&console, &d, i] {
                 d.RangeIndex = static_cast<int16_t>(i);
                 console.SetRange(kRangeScales[static_cast<size_t>(i)]);
                 console.RedrawVessels();
             },
             [&d, i] { return d.RangeIndex == i; },
             {},
             "mnuRange"});
    add({"mnuRangeRings", "R&ange Rings", "mnuRadar", {}, press("cmdRR"), [&d] {
             return d.RingsOn;
         }});
    add({"mnuVRM", "&VRM", "mnuRadar", {}, press("cmdVRM"), [&d] { return d.VRMOn; }});
    add({"mnuEBL", "&EBL", "mnuRadar", {}, press("cmdEBL"), [&d] { return d.EBLOn; }});
    add({"mnuSHL", "&SHL", "mnuRadar", {}, press("cmdSHL"), [&tick] { return tick.ShowSHL; }});
    add({"mnuBearings", "&Bearings", "mnuRadar"});
    const auto bearing = [&console, &tick](BearingMode mode) {
        return [&console, &tick, mode] {
            if (tick.Bearing != mode) {
                Press(console, "cmdHeading");
                return;
            }
            console.RedrawRadar();
            console.RedrawVessels();
        };
    };
    add({"mnuBearingRelative",
         "&Relative",
         "mnuBearings",
         {},
         bearing(BearingMode::Relative),
         [&tick] { return tick.Bearing == BearingMode::Relative; },
         {},
         "mnuBearings"});
    add({"mnuBearingCourse",
         "&Course",
         "mnuBearings",
         {},
         bearing(BearingMode::Course),
         [&tick] { return tick.Bearing == BearingMode::Course; },
         {},
         "mnuBearings"});
    add({"mnuPlot", "&Plot", "mnuRadar"});
    add({"mnuPlotOnOff", "&On/Off", "mnuPlot", QKeySequence("Ctrl+L"), press("cmdPlot"),
         [&tick] { return tick.PlotOn; }});
    add({"mnuPlotSep", "-", "mnuPlot"});
    const char* intervals[] = {"&Continuous", "&3 min", "&6 min", "&12 min"};
    for (int i = 0; i < 4; ++i)
        add({Indexed("mnuPlotFrequency", i),
             intervals[i],
             "mnuPlot",
             {},
             [&console, i] { console.SetPlotFrequency(i); },
             [&tick, i] { return tick.PlotFreqIndex == i; },
             {},
             "mnuPlotFrequency"});

    add({"mnuTargets", "&Targets", ""});
    add({"mnuDemos",
         "&Demonstration targets...",
         "mnuTargets",
         {},
         chooseTraffic(0, &TrafficSelector::ShowDemos)});
    add({"mnuSetYourOwnTargets",
         "&Set Your Own Targets...",
         "mnuTargets",
         {},
         chooseTraffic(1, &TrafficSelector::ShowSetTargets)});
    add({"mnuRandomTargets",
         "&Random targets...",
         "mnuTargets",
         {},
         chooseTraffic(2, &TrafficSelector::ShowRandomTargets)});

    add({"mnuSeaState", "S&eas", ""});
    const char* seas[] = {"&Calm", "&Moderate", "&Heavy"};
    for (int i = 0; i < 3; ++i)
        add({Indexed("mnuSeas", i),
             seas[i],
             "mnuSeaState",
             {},
             [&console, i] { console.SetSeaState(i); },
             [&sim, i] { return sim.SeaState == i; },
             {},
             "mnuSeas"});

    add({"mnuHelp", "&Help", ""});
    add({"mnuHelpTopics", "&Help Topics", "mnuHelp", {}, [&dialogs, folder] {
             ShowHelpTopics(dialogs, folder);
         }});
    add({"mnuTutorial", "&Tutorial", "mnuHelp", {}, [&dialogs, folder] {
             ShowTutorial(dialogs, folder);
         }});
    add({"mnuManual", "Radar Navigation &Manual", "mnuHelp", {}, [&dialogs, folder] {
             OpenManual(dialogs, folder);
         }});
    add({"mnuHelpSep", "-", "mnuHelp"});
    add({"mnuAbout", "&About Marovane...", "mnuHelp", {}, [&app] {
             ShowAboutBox(&app.mainWindow());
         }});
    return t;
}

} // namespace mv
