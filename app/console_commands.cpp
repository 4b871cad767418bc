#include "app/answer_form.h"
#include "app/help_commands.h"
#include "app/index_lines_window.h"
#include "app/radar_console.h"
#include "app/target_data_window.h"
#include "app/traffic_selector.h"
#include "app/trial_window.h"
#include "app/true_view.h"
#include "app/vessel_panel.h"
#include "session/dialogs.h"
#include "session/exercise.h"

#include <utility>

namespace mv {

void RegisterConsoleCommands(RadarConsole& console, Exercise& exercise, Dialogs& dialogs) {
    CommandRegistry& r = exercise.commands();
    const Simulation& sim = exercise.simulation();
    const TickDisplay& tick = exercise.display().Tick;
    RadarConsole* c = &console;
    Dialogs* boxes = &dialogs;
    const std::filesystem::path folder = exercise.programFolder();
    Exercise* e = &exercise;
    const QString kForbiddenTip = "The exercise does not allow this aid";

    // The second pair, beside the first in the Radar menu; the first is the exercise's own.
    DisplayCommands& show = exercise.displayCommands();
    const RadarDisplayState& d = exercise.display();
    r.add({"mnuVRM2", "VR&M2", {}, [&show] { show.ToggleVRM2(); }, [&d] { return d.VRM2On; }});
    r.add({"mnuEBL2", "EB&L2", {}, [&show] { show.ToggleEBL2(); }, [&d] { return d.EBL2On; }});
    r.add({"mnuEBL2Offset",
           "EBL2 &Offset",
           {},
           [&show] { show.OffsetEBL2(); },
           {},
           [&d, e] { return e->isLoaded() && d.CursorMode == InputMode::Cursor; },
           {},
           "Cursor mode: click the point the second bearing line is to start from first"});
    r.add({"mnuEBL2Centre",
           "EBL2 Cen&tre",
           {},
           [&show] { show.CentreEBL2(); },
           {},
           [&d] { return d.EBL2Offset; },
           {},
           "The second bearing line already starts at the own ship"});
    r.add({"mnuTrueView",
           "True &View...",
           {},
           [c] { c->trueView().ToggleTrueView(); },
           [&tick] { return tick.TrueViewOn; },
           [e, &tick] { return tick.TrueViewOn || e->allowed().TrueView; },
           {},
           kForbiddenTip});
    r.add(
        {"mnuHelpTopics", "&Help Topics", {}, [boxes, folder] { ShowHelpTopics(*boxes, folder); }});
    r.add({"mnuTutorial", "&Tutorial", {}, [boxes, folder] { ShowTutorial(*boxes, folder); }});
    r.add({"mnuTargetData",
           "Target &Data...",
           {},
           [c] {
               QWidget& w = c->targetData();
               w.setVisible(!w.isVisible());
           },
           [c] { return c->targetDataShown(); }});
    r.add({"mnuCPAComputer",
           "&CPA Computer...",
           {},
           [c] { c->vesselPanel()->ShowCPAComputer(); },
           {},
           [e] { return e->allowed().CpaComputer; },
           {},
           kForbiddenTip});
    r.add({"mnuAnswers",
           "&Answers...",
           {},
           [c, e, boxes] { AnswerForm::OpenOver(*c, *e, *boxes); },
           {},
           [e] { return e->assessed() != nullptr && !e->assessedEnded(); },
           {},
           "Only an assessed exercise takes answers, until it ends"});
    r.add({"mnuEndExercise",
           "&End Exercise...",
           {},
           [e, boxes] {
               if (boxes->message("End the exercise now? No answer can be handed in after it, "
                                  "and the report is made.",
                                  "End Exercise", Dialogs::Icon::Question,
                                  Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes)
                   e->EndAssessed("ended by the student");
           },
           {},
           [e] { return e->assessed() != nullptr && !e->assessedEnded(); },
           {},
           "Only an assessed exercise that runs can be ended"});
    r.add({"mnuTrialManeuver",
           "T&rial Maneuver...",
           "Ctrl+T",
           [c] {
               QWidget& w = c->trial();
               w.setVisible(!w.isVisible());
           },
           [c] { return c->trialShown(); },
           [e, &sim] { return e->allowed().Aids.Trial && sim.Vessels.NumVessels > 0; },
           {},
           kForbiddenTip});
    r.add({"mnuIndexLines",
           "Parallel &Index Lines...",
           {},
           [c] {
               QWidget& w = c->indexLines();
               w.setVisible(!w.isVisible());
           },
           [c] { return c->indexLinesShown(); },
           [e] { return e->allowed().Aids.IndexLines; },
           {},
           kForbiddenTip});
    // A vessel entry gives the order the vessel's button gives in that mode, enabled by the
    // same rule as the button.
    const std::pair<const char*, VesselMode> vesselMenus[] = {
        {"mnuManeuverVessel", VesselMode::Maneuver},
        {"mnuCPAVessel", VesselMode::Cpa},
        {"mnuJumptoVessel", VesselMode::JumpTo}};
    for (const auto& [name, mode] : vesselMenus)
        for (int i = 0; i < kMaxVessels; ++i) {
            const VesselMode m = mode;
            r.add({QString("%1(%2)").arg(name).arg(i),
                   QString("&%1").arg(QString::fromStdString(VesselLetter(i))),
                   {},
                   [c, m, i] { c->vesselPanel()->Order(m, i); },
                   {},
                   [e, &sim, m, i] {
                       return VesselAllowed(m, i, sim.Vessels.NumVessels, sim.Vessels.OwnVessel,
                                            VesselPanel::RulesOf(*e));
                   }});
        }
    const struct {
        const char* name;
        const char* caption;
        ScenarioSource source;
    } traffic[] = {{"mnuDemos", "&Demonstration targets...", ScenarioSource::Demo},
                   {"mnuSetYourOwnTargets", "&Set Your Own Targets...", ScenarioSource::OwnTargets},
                   {"mnuRandomTargets", "&Random targets...", ScenarioSource::Random}};
    for (const auto& t : traffic) {
        const ScenarioSource source = t.source;
        r.add({t.name, t.caption, {}, [c, source] { c->traffic().Choose(source); }});
    }
}

} // namespace mv
