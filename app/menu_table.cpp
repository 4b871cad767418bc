#include "app/menu_table.h"

#include "app/application.h"
#include "app/class_join.h"
#include "app/help_commands.h"
#include "app/main_window.h"
#include "core/clock.h"
#include "core/display/display_state.h"
#include "core/vessel.h"
#include "session/dialogs.h"
#include "session/exercise.h"

namespace mv {

namespace {

QString Indexed(const char* name, int i) {
    return QString("%1(%2)").arg(name).arg(i);
}

} // namespace

void RegisterMainWindowCommands(Application& app, std::function<void()> quit) {
    CommandRegistry& r = app.exercise().commands();
    Dialogs* dialogs = &app.dialogs();
    const std::filesystem::path folder = app.programFolder();
    // No companion program is shipped with the package: the entry is greyed and says why.
    Command companion{
        "mnuMV3", "&Run Marovane 3", {}, [dialogs, folder] { RunCompanion(*dialogs, folder); }};
    companion.enabled = [folder] { return CompanionInstalled(folder); };
    companion.disabledTip = kNoCompanionTip;
    r.add(std::move(companion));
    r.add({"mnuExit", "E&xit Marovane", "Quit", std::move(quit)});
    Application* opener = &app;
    r.add({"mnuOpenRun", "&Open Run...", {}, [opener] { opener->mnuOpenRun_Click(); }});
    Exercise* exercise = &app.exercise();
    r.add({"mnuOpenExercise", "Open &Exercise...", {}, [exercise, dialogs, folder] {
               // A running exercise is left or kept before anything is asked of the next.
               if (!exercise->MayLeaveAssessed()) return;
               const QString file = dialogs->openFileName(
                   "Open Exercise", QString::fromStdString(folder.string()), "Exercises (*.toml)");
               if (file.isEmpty()) return;
               const QString student =
                   dialogs->prompt("The student's name:", "Open Exercise").trimmed();
               if (student.isEmpty()) return;
               if (exercise->OpenAssessedExercise(file, student)) exercise->Start();
           }});
    r.add({"mnuJoinClass", "&Join Class...", {}, [opener] { mnuJoinClass_Click(*opener); }});
    r.add({"mnuManual", "Radar Navigation &Manual", {}, [dialogs, folder] {
               OpenManual(*dialogs, folder);
           }});
    Application* a = &app;
    r.add({"mnuAbout", "&About Marovane...", {}, [a] { ShowAboutBox(&a->mainWindow()); }});
    // Day, dusk and night colours, as a bridge's radar offers them.
    const char* palettes[] = {"&Day", "D&usk", "&Night"};
    for (int i = 0; i < 3; ++i) {
        const auto colours = static_cast<DisplayPalette>(i);
        r.add({Indexed("mnuPalette", i),
               palettes[i],
               {},
               [a, colours] { a->SetPalette(colours); },
               [a, colours] { return a->display().Colours == colours; },
               {},
               "mnuPalette"});
    }
}

std::vector<MenuEntry> MenuTable() {
    std::vector<MenuEntry> t;
    const auto menu = [&t](const QString& name, const QString& caption, const QString& parent) {
        t.push_back({name, caption, parent});
    };
    const auto command = [&t](const QString& name, const QString& parent) {
        t.push_back({name, {}, parent});
    };
    const auto separator = [&t](const QString& name, const QString& parent) {
        t.push_back({name, "-", parent});
    };

    menu("mnuFile", "&File", "");
    command("mnuOpenRun", "mnuFile");
    command("mnuOpenExercise", "mnuFile");
    command("mnuJoinClass", "mnuFile");
    command("mnuMV3", "mnuFile");
    separator("mnuFileSeparator1", "mnuFile");
    command("mnuExit", "mnuFile");

    menu("mnuControl", "&Simulator", "");
    command("mnuRepeat", "mnuControl");
    command("mnuPause", "mnuControl");
    menu("mnuTimeFactor", "&Time Factor", "mnuControl");
    for (int i = 0; i < kTimeFactorCount; ++i)
        command(Indexed("mnuT", i), "mnuTimeFactor");
    separator("mnuControlSep1", "mnuControl");
    const std::pair<const char*, const char*> vesselMenus[] = {
        {"mnuManeuver", "&Maneuver"}, {"mnuCPAInfo", "CPA &Info"}, {"mnuJump", "&Jump to Vessel"}};
    const char* vesselItems[] = {"mnuManeuverVessel", "mnuCPAVessel", "mnuJumptoVessel"};
    for (int m = 0; m < 3; ++m) {
        menu(vesselMenus[m].first, vesselMenus[m].second, "mnuControl");
        for (int i = 0; i < kMaxVessels; ++i)
            command(Indexed(vesselItems[m], i), vesselMenus[m].first);
    }
    separator("mnuControlSep2", "mnuControl");
    command("mnuCPAComputer", "mnuControl");
    command("mnuTrialManeuver", "mnuControl");
    command("mnuAnswers", "mnuControl");
    command("mnuEndExercise", "mnuControl");
    separator("mnuControlSep3", "mnuControl");
    command("mnuTrueView", "mnuControl");
    separator("mnuControlSep4", "mnuControl");
    command("mnuIdentify", "mnuControl");
    separator("mnuControlSep5", "mnuControl");
    menu("mnuRadarMode", "&Radar Mode", "mnuControl");
    command("mnuHeadsUp", "mnuRadarMode");
    command("mnuNorthup", "mnuRadarMode");
    command("mnuCourseUp", "mnuRadarMode");
    menu("mnuEBLVRMmode", "&EBL/VRM Mode", "mnuControl");
    command("mnuKeysMode", "mnuEBLVRMmode");
    command("mnuCursorMode", "mnuEBLVRMmode");
    command("mnuPickMode", "mnuEBLVRMmode");

    menu("mnuRadar", "&Radar", "");
    menu("mnuRange_Main", "&Range", "mnuRadar");
    // Beyond the ten scales: a step either way, as the console's arrows do, for the keyboard.
    command("mnuRangeUp", "mnuRange_Main");
    command("mnuRangeDown", "mnuRange_Main");
    separator("mnuRangeSep", "mnuRange_Main");
    for (int i = 0; i < static_cast<int>(kRangeScales.size()); ++i)
        command(Indexed("mnuRange", i), "mnuRange_Main");
    command("mnuRangeRings", "mnuRadar");
    command("mnuVRM", "mnuRadar");
    command("mnuEBL", "mnuRadar");
    command("mnuVRM2", "mnuRadar");
    command("mnuEBL2", "mnuRadar");
    command("mnuEBL2Offset", "mnuRadar");
    command("mnuEBL2Centre", "mnuRadar");
    command("mnuSHL", "mnuRadar");
    menu("mnuColours", "&Palette", "mnuRadar");
    for (int i = 0; i < 3; ++i)
        command(Indexed("mnuPalette", i), "mnuColours");
    menu("mnuBearings", "&Bearings", "mnuRadar");
    command("mnuBearingRelative", "mnuBearings");
    command("mnuBearingCourse", "mnuBearings");
    menu("mnuPlot", "&Plot", "mnuRadar");
    command("mnuPlotOnOff", "mnuPlot");
    separator("mnuPlotSep", "mnuPlot");
    for (int i = 0; i < 4; ++i)
        command(Indexed("mnuPlotFrequency", i), "mnuPlot");
    separator("mnuRadarSep1", "mnuRadar");
    command("mnuIndexLines", "mnuRadar");
    separator("mnuRadarSep2", "mnuRadar");
    command("mnuRadarVideo", "mnuRadar");
    menu("mnuVideoControls", "Video &Controls", "mnuRadar");
    for (const char* c : {"mnuGainUp", "mnuGainDown", "mnuSeaUp", "mnuSeaDown", "mnuRainUp",
                          "mnuRainDown", "mnuTuneUp", "mnuTuneDown", "mnuBandS"})
        command(c, "mnuVideoControls");

    // The radar-course aids: trails, vectors, target data and alarms.
    menu("mnuAids", "&Aids", "");
    menu("mnuTrails", "&Trails", "mnuAids");
    command("mnuTrailsRelative", "mnuTrails");
    command("mnuTrailsTrue", "mnuTrails");
    menu("mnuVectors", "&Vectors", "mnuAids");
    for (const char* v : {"mnuVectorsOff", "mnuVectorsRelative", "mnuVectorsTrue"})
        command(v, "mnuVectors");
    menu("mnuVectorTime", "Vector T&ime", "mnuAids");
    for (size_t i = 0; i < kVectorMinutes.size(); ++i)
        command(Indexed("mnuVectorTime", static_cast<int>(i)), "mnuVectorTime");
    separator("mnuAidsSep1", "mnuAids");
    command("mnuPickMode", "mnuAids");
    command("mnuTargetData", "mnuAids");
    command("mnuClearPicks", "mnuAids");
    separator("mnuAidsSep2", "mnuAids");
    command("mnuCpaAlarm", "mnuAids");
    command("mnuAlarmLimits", "mnuAids");
    command("mnuGuardRing", "mnuAids");
    command("mnuGuardRange", "mnuAids");
    command("mnuAcknowledge", "mnuAids");
    separator("mnuAidsSep3", "mnuAids");
    command("mnuArpa", "mnuAids");
    command("mnuAcquire", "mnuAids");
    command("mnuCancelTrack", "mnuAids");
    command("mnuCancelAllTracks", "mnuAids");
    command("mnuAutoAcquire", "mnuAids");
    command("mnuStabilisation", "mnuAids");

    menu("mnuTargets", "&Targets", "");
    command("mnuDemos", "mnuTargets");
    command("mnuSetYourOwnTargets", "mnuTargets");
    command("mnuRandomTargets", "mnuTargets");

    menu("mnuSeaState", "S&eas", "");
    for (int i = 0; i < 3; ++i)
        command(Indexed("mnuSeas", i), "mnuSeaState");

    menu("mnuHelp", "&Help", "");
    command("mnuHelpTopics", "mnuHelp");
    command("mnuTutorial", "mnuHelp");
    command("mnuManual", "mnuHelp");
    separator("mnuHelpSep", "mnuHelp");
    command("mnuAbout", "mnuHelp");
    return t;
}

} // namespace mv
