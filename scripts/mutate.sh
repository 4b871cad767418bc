#!/usr/bin/env bash
# Mutation check: plants one realistic fault at a time in the sources, rebuilds only the tests
# that should notice it, runs them and says whether the fault was caught ("killed") or not
# ("survived"). The source is restored after every mutant, and on any exit or interrupt.
#
#   scripts/mutate.sh [--build DIR] [--only PATTERN] [--list] [--jobs N]
#
# --build DIR     a configured build folder (default build-core; the window-layer mutants need
#                 one configured with the windows)
# --only PATTERN  only the mutants whose name matches the extended regular expression
# --list          print the table and stop
#
# Each mutant is one call of `mutant` below:
#   mutant NAME FILE LINE-PATTERN SED-REPLACEMENT TESTS
# The replacement (a sed s command) is applied only to lines matching LINE-PATTERN (a sed
# basic regular expression); TESTS is a ctest regular expression of the tests to run, built as
# test_<name>. A mutant that changes nothing is reported as "stale": its pattern no longer
# matches the source and the table needs mending.
set -uo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

BUILD=build-core
ONLY=
LIST=0
JOBS=2
while [ $# -gt 0 ]; do
    case "$1" in
    --build) BUILD=$2; shift 2 ;;
    --only) ONLY=$2; shift 2 ;;
    --list) LIST=1; shift ;;
    --jobs) JOBS=$2; shift 2 ;;
    -h | --help) sed -n '2,18p' "$0"; exit 0 ;;
    *) echo "mutate.sh: unknown argument '$1'" >&2; exit 2 ;;
    esac
done

NAMES=() FILES=() PATTERNS=() EDITS=() TESTS=()
mutant() {
    NAMES+=("$1") FILES+=("$2") PATTERNS+=("$3") EDITS+=("$4") TESTS+=("$5")
}

# ---- core: the plotting arithmetic -------------------------------------------------------
mutant cpa-srm-law-of-cosines-sign core/aids/cpa.cpp '2.0 \* double(so) \* st' \
    's/- 2.0 \* double(so)/+ 2.0 * double(so)/' 'cpa|plot_tool'
mutant cpa-tcpa-in-hours core/aids/cpa.cpp 'out.TCPA = ' 's| / out.SRM \* 60.0| / out.SRM|' \
    'cpa|plot_tool'
mutant cpa-drm-wrong-side core/aids/cpa.cpp 'static_cast<float>(ct + beta)' \
    's/) > 0 ?/) < 0 ?/' 'cpa|plot_tool'
mutant cpa-bcpa-wrong-side core/aids/cpa.cpp 'drm + 90.0f : drm - 90.0f' \
    's/drm + 90.0f : drm - 90.0f/drm - 90.0f : drm + 90.0f/' 'cpa|plot_tool'
mutant cpa-relative-drm-sign core/aids/cpa.cpp 'drm = FoldOnce(drm - co)' \
    's/drm - co/drm + co/' 'cpa'
mutant sightings-tcpa-without-60 core/aids/sightings.cpp 'toRun / srm \* 60.0' \
    's| \* 60.0 / 1440.0| / 1440.0|' 'sightings|plot_tool'
mutant sightings-course-wrong-side core/aids/sightings.cpp 'drmRel < 180.0 ? gamma' \
    's/drmRel < 180.0/drmRel > 180.0/' 'sightings|plot_tool'
mutant sightings-opening-sign core/aids/sightings.cpp 'if (std::cos(theta) > 0) toRun' \
    's/> 0/< 0/' 'sightings|plot_tool'
mutant bearing-north-stored-as-360 core/geometry.cpp 'if (brg >= 360.0f)' 's/>=/>/' \
    'geometry|sightings|plot_tool'
mutant polar-offset-east-west core/geometry.cpp 'origin.Y + std::sin(a)' \
    's/origin.Y + std::sin(a)/origin.Y - std::sin(a)/' 'geometry|tick|sightings|plot_tool'
# ---- core: motion, turning and the clock -------------------------------------------------
mutant turn-half-circle-to-port core/motion.cpp 'ordered - current <= 180' 's/<= 180/< 180/' \
    'motion'
mutant turn-rate-medium core/motion.cpp 'kMedium) return 15' 's/return 15/return 10/' 'motion'
mutant speed-rate-per-tick core/motion.cpp 'kSpeedRatePerTick \* timeFactor' \
    's/kSpeedRatePerTick \* timeFactor/kSpeedRatePerTick * timeFactor * 2/' 'motion'
mutant stopped-target-moved-astern core/simulation.cpp 'if (v.Speed > 0.0f) MoveVessel' \
    's/v.Speed > 0.0f/v.Speed != 0.0f/' 'tick'
mutant clock-hours-as-minutes core/clock.cpp 'HoursPerTick = ' \
    's/0.0002777777777778/0.0166666666666667/' 'motion|tick'
mutant time-factor-30-as-20 core/clock.h 'kTimeFactors{' 's/10, 30, 60/10, 20, 60/' \
    'motion|tick'
mutant plot-mark-a-tick-late core/display_fields.h 'bool PlotDue()' \
    's/SinceLastPlot >= /SinceLastPlot > /' 'tick'
mutant clock-midnight-reads-24 core/number_text.cpp 'if (seconds >= 86400)' 's/>=/>/' \
    'number_text|sightings'
mutant echo-shown-on-the-ring core/simulation.cpp '< display.Range)) return std::nullopt' \
    's/< display.Range/<= display.Range/' 'tick'
mutant cursor-outside-the-ring core/display/markers.cpp 'if (Single(distance) > s.Tick.Range)' \
    's/ > s.Tick.Range/ > s.Tick.Range + 0.5/' 'markers'
# ---- core: limits ------------------------------------------------------------------------
mutant sighting-range-36-as-35 core/aids/cpa_computer.h 'kMaxSightingRange = 36.0' \
    's/36.0/35.0/' 'sightings|plot_tool'
mutant sighting-bearing-360-accepted core/aids/cpa_computer.cpp '\*b >= kBearingCircle' \
    's/\*b >= kBearingCircle/*b > kBearingCircle/' 'sightings|plot_tool'
mutant sighting-same-time-accepted core/aids/cpa_computer.cpp 's\[1\].Time > s\[0\].Time' \
    's/s\[1\].Time > s\[0\].Time/s[1].Time >= s[0].Time/' 'sightings'
mutant minute-60-accepted core/aids/cpa_computer.cpp '\*m > 59' 's/\*m > 59/*m > 60/' \
    'sightings|plot_tool'
mutant time-entry-ceiling-60 core/aids/cpa_computer.cpp 'part != TimePart::Hour && value > 59' \
    's/value > 59/value > 60/' 'sightings'
mutant own-speed-limit-100-included core/scenario/own_targets.cpp 'OwnTargetField::Speed, false' \
    's/100, false/100, true/' 'scenario_sources'
mutant maneuver-speed-ceiling core/aids/maneuver.cpp 'constexpr double kSpeedCeiling' \
    's/99.9/999.9/' 'maneuver'
mutant random-range-16-as-18 core/scenario/random_traffic.cpp 'r <= 16.0f' \
    's/r <= 16.0f/r <= 18.0f/' 'random_traffic'
# ---- core: messages, key tables, files ---------------------------------------------------
mutant message-turn-titles-swapped core/aids/maneuver.cpp '"Turn Right");' \
    's/"Turn Right"/"Turn Left"/' 'maneuver'
mutant message-target-stopped core/aids/sightings.cpp 'The target is stopped' \
    's/its course cannot be found/its course is unknown/' 'sightings'
mutant message-target-count core/scenario/own_targets.cpp 'May not have more than five' \
    's/five targets/5 targets/' 'scenario_sources'
mutant key-table-speed-without-point core/aids/numeric_key_filter.cpp '"txtSpeed", true' \
    's/true/false/' 'maneuver'
mutant key-sign-only-first-place core/aids/numeric_key_filter.cpp '(caret == 0 || caret == 1)' \
    's/(caret == 0 || caret == 1)/(caret == 0)/' 'maneuver'
mutant demo-size-word-swapped core/scenario/demo_file.cpp 'kLarge) return "LARGE, "' \
    's/"LARGE, "/"MEDIUM, "/' 'demo_file'
mutant atomic-save-without-rename core/scenario/demo_file.cpp '::rename(temp.c_str(), path.c_str())' \
    's/::rename(temp.c_str(), path.c_str()) != 0/false/' 'hostile_files'
mutant vessel-letters-from-b core/vessel.cpp "'A' + slot" "s/'A' + slot/'B' + slot/" \
    'scenario_sources|plot_tool'
# ---- core: more boundaries and formats ----------------------------------------------------
mutant heads-up-rotation-sign core/geometry.cpp 'const double rotE = ' \
    's/+ std::sin(a) \* dN/- std::sin(a) * dN/' 'geometry|tick'
mutant yaw-column-by-sea core/simulation.cpp 'const int column = ' \
    's/SeaState == 1 ? 0 : 1/SeaState == 2 ? 0 : 1/' 'tick'
mutant collision-picks-boundary-16 core/scenario/random_traffic.cpp 'p >= 1 && p <= 16' \
    's/p <= 16/p <= 17/' 'random_traffic'
mutant description-cut-a-character-early core/scenario/demo_file.cpp 'e - s >= 81' \
    's/>= 81/>= 80/' 'demo_file'
mutant demo-vessel-count-7-accepted core/scenario/demo_file.cpp 'count > kMaxVessels' \
    's/count > kMaxVessels/count > kMaxVessels + 1/' 'demo_file'
mutant own-range-250-excluded core/scenario/own_targets.cpp 'OwnTargetField::Range, true' \
    's/250, true/250, false/' 'scenario_sources'
mutant hold-speeds-up-a-tick-late core/display/markers.cpp 'return holdCount <= kSlowTicks ? 1.0f' \
    's/holdCount <= kSlowTicks/holdCount <= kSlowTicks + 1/' 'markers'
mutant maneuver-ends-with-the-first-change core/simulation.cpp 'if (reached && !ManeuverPending())' \
    's/reached && !ManeuverPending()/reached/' 'tick'
mutant speed-overshoots-order core/motion.cpp 'vessel.Speed >= vessel.NewSpeed' \
    's/vessel.Speed >= vessel.NewSpeed/vessel.Speed > vessel.NewSpeed + 5/' 'motion|tick'
mutant clock-seconds-truncated core/number_text.cpp 'std::llround(fraction \* 86400.0)' \
    's/std::llround(fraction \* 86400.0)/static_cast<long long>(fraction * 86400.0)/' \
    'number_text|sightings'
# ---- core: what folded tests used to catch, still caught by the tests that remain ----------
mutant cpa-time-base-dropped core/aids/cpa.cpp 'out.TCPA = r \* std::cos' 's/ + in.T0;/;/' 'cpa'
mutant cpa-data-final-ignores-order core/aids/cpa_data.cpp 'in.TargetSpeed = target.NewSpeed' \
    's/target.NewSpeed/target.Speed/' 'cpa'
mutant sightings-bcpa-wrong-side core/aids/sightings.cpp 'std::sin(theta) > 0 ? drmRel - 90.0' \
    's/std::sin(theta) > 0/std::sin(theta) < 0/' 'sightings|plot_tool'
mutant sightings-speed-law-of-cosines-sign core/aids/sightings.cpp '- 2.0 \* so \* srm' \
    's/- 2.0 \* so \* srm/+ 2.0 * so * srm/' 'sightings|plot_tool'
mutant cursor-arms-a-tenth-of-the-range core/display/markers.cpp 'const double d = 0.05 \*' \
    's/0.05 \*/0.1 */' 'markers'
mutant random-seed-from-the-device core/scenario/random_traffic.cpp 'RandomNumbers rng(exercise);' \
    's/rng(exercise)/rng(std::random_device{}())/' 'random_traffic|plot_tool'
mutant installed-data-keeps-dot-dot core/program_folder.cpp 'InstalledDataFromBin()).lexically_normal' \
    's/).lexically_normal();/);/' 'program_folder'
# ---- core: rules whose repeated tests went; each still caught by one that remains --------
mutant closest-approach-unclamped core/closest_approach.cpp 'if (run2 > 0.0) t = std::clamp' \
    's/std::clamp(-(n0 \* dn + e0 \* de) \/ run2, 0.0, 1.0)/-(n0 * dn + e0 * de) \/ run2/' 'motion|tick'
mutant true-view-range-past-the-end core/display/true_view_logic.cpp 'kRangeScales.size()) - 1) return false' \
    's/kRangeScales.size()) - 1)/kRangeScales.size()))/' 'markers'
mutant moderate-margin-a-mile core/scenario/random_traffic.cpp 'kOwnSpeed, t.Bearing, t.Range) < 1.1;' \
    's/< 1.1;/< 1.0;/' 'random_traffic'
mutant program-folder-installed-first core/program_folder.cpp 'if (HoldsData(exeFolder)) return exeFolder;' \
    's/.*//' 'program_folder'
mutant yaw-table-not-required core/program_folder.cpp 'is_regular_file(folder / "Yaw.txt", ec)' \
    's/"Yaw.txt"/"Default.dem"/' 'program_folder'
mutant own-heading-360-kept core/scenario/own_targets.cpp 'own.NewHeading = FoldDegrees16(whole);' \
    's/FoldDegrees16(whole)/whole/' 'scenario_sources|entry_rules'
mutant astern-speed-taken-ahead core/motion.cpp 'static_cast<double>(vessel.Speed) \* hoursPerTick' \
    's/static_cast<double>(vessel.Speed)/(vessel.Speed < 0 ? -1.0 : 1.0) * vessel.Speed/' 'motion|tick'
mutant win1252-unmapped-dropped core/scenario/text_encoding.cpp "char mapped = '?';" \
    "s/'?'/'\\\\0'/" 'demo_file|hostile_files'
mutant utf8-overlong-accepted core/scenario/text_encoding.cpp 'if (n == 0) return false;' \
    's/if (n == 0) return false;/if (n == 0) return true;/' 'demo_file|hostile_files'
mutant save-drops-the-old-permissions core/scenario/demo_file.cpp '::fchmod(fd, old.st_mode' \
    's/.*//' 'hostile_files'
# ---- core: the radar-course aids -------------------------------------------------------------
mutant aid-relative-vector-along-course core/aids/target_aids.cpp 'MovePoint(aid.RelativeEnd, aid.Cpa.DRM' \
    's/aid.Cpa.DRM/in.TargetCourse/' 'target_aids|plot_tool'
mutant aid-vector-time-in-hours core/aids/target_aids.cpp 'const double hours = vectorMinutes' \
    's|vectorMinutes / 60.0|vectorMinutes|' 'target_aids|plot_tool'
mutant aid-past-cpa-alarms core/aids/target_aids.cpp 'c.TCPA >= 0.0 &&' 's/c.TCPA >= 0.0/c.TCPA >= -1e9/' \
    'target_aids'
mutant aid-ack-survives-leaving core/aid_settings.cpp 'Acknowledged\[i\] = false;' \
    's/Acknowledged\[i\] = false;/{}/' 'target_aids'
mutant aid-true-trail-also-stamps core/simulation.cpp 'display.Trails.Add(i, target);' \
    's/display.Trails.Add(i, target);/display.Trails.Add(i, target), view.PlotMark(i, *echo);/' \
    'target_aids'
mutant aid-course-up-by-heading core/simulation.cpp 'if (display.CourseUp) return' \
    's/FoldDegrees16(own.NewHeading)/own.Heading/' 'target_aids'
mutant aid-trail-ring-forgets-order core/true_trails.cpp 'r.next = (r.next + 1)' \
    's/(r.next + 1) % kTrueTrailPoints/0/' 'target_aids'

# ---- core: the marking of assessed exercises ---------------------------------------------
mutant rule19-abaft-the-wrong-way core/exercise/answer_key.cpp '(starboardAbaft && turn > 0)' \
    's/starboardAbaft \&\& turn > 0) || (portAbaft \&\& turn < 0/starboardAbaft \&\& turn < 0) || (portAbaft \&\& turn > 0/' \
    'grading|answer_key'
mutant apparent-turn-exactly-30-not-counted core/exercise/answer_key.cpp \
    'std::fabs(turn) >= kApparentTurn' 's/>= kApparentTurn/> kApparentTurn/' 'grading|answer_key'
mutant overtaking-sector-from-the-beam core/exercise/answer_key.cpp 'fromTarget > 112.5' \
    's/fromTarget > 112.5 \&\& fromTarget < 247.5/fromTarget > 90 \&\& fromTarget < 270/' \
    'grading|answer_key'
mutant speed-halved-not-apparent core/exercise/answer_key.cpp 'a.ToSpeed <= a.FromSpeed' \
    's/a.ToSpeed <= /a.ToSpeed < /' 'grading|answer_key'
mutant drift-tolerance-from-the-speed-key core/exercise/exercise_file.cpp 'tol.Drift = Number(' \
    's/"drift", 0, 20, tol.Drift/"speed", 0, 20, tol.Drift/' 'exercise_file|grading|answer_key'
mutant truth-from-the-key-not-the-run core/exercise/grading.cpp 'truths\[p\].push_back(' \
    's/TruthInPass(start, run, passes\[p\], q.At)/TruthAt(start, q.At)/' 'grading'
mutant truth-not-carried-to-the-question core/exercise/grading.cpp \
    'return TruthFrom(WorldAt(start, run, best), at);' 's/, at);/, run.Ticks[best].SimTime);/' \
    'grading'
mutant closing-target-counts-as-kept core/exercise/grading.cpp 'judge.Finish();' 's/.*//' \
    'grading'
mutant buoys-judged-as-vessels core/exercise/answer_key.cpp 'inline_\[slot\].Fixed))' \
    's/ \&\& inline_\[slot\].Fixed//' 'grading'
mutant repeat-judged-over-both-passes core/exercise/grading.cpp 'run.Ticks\[i\].SimTime < run.Ticks\[i - 1\]' \
    's/run.Ticks\[i\].SimTime < run.Ticks\[i - 1\].SimTime/false/' 'grading|exam_mode'
mutant answers-taken-after-the-end session/exercise.cpp 'assessedEnded() || answers.empty()' \
    's/assessedEnded() || //' 'exam_mode'
mutant questions-not-due-after-a-repeat session/exercise.cpp 'questionsSeen_ = 0;' 's/.*//' \
    'exam_mode'

# ---- the windows (need --build with a folder configured with MAROVANE_BUILD_GUI=ON) ---------
# Each runs the console's test and the window test nearest the fault; "killed (by ...)" names
# the tests that caught it.
mutant gui-shl-button-unbound app/control_column.cpp 'AddButton("cmdSHL"' \
    's/"mnuSHL")/"mnuNoSuchCommand")/' 'console|app_main'
mutant gui-freq-button-runs-plot app/control_column.cpp 'AddButton("cmdFreq"' \
    's/"actFreq")/"mnuPlotOnOff")/' 'console|radar_picture'
mutant gui-vrm-button-runs-ebl app/marker_panel.cpp 'Bind(cmdVRM, ' 's/"mnuVRM"/"mnuEBL"/' \
    'console|measure'
mutant gui-shl-mark-flipped session/exercise_commands.cpp '\[&tick\] { return tick.ShowSHL; }' \
    's/return tick.ShowSHL/return !tick.ShowSHL/' 'console|app_main'
mutant gui-north-up-mark-flipped session/exercise_commands.cpp 'return tick.NorthUp; }' \
    's/return tick.NorthUp/return !tick.NorthUp/' 'console|app_main'
mutant gui-actions-not-refreshed gui/command_actions.cpp '&CommandActions::Refresh);' 's/.*//' \
    'console|app_main|measure'
mutant gui-true-view-toggle-unannounced app/true_view.cpp 'const Exercise::ChangeScope change' \
    's/.*//' 'console|measure|app_main'
mutant gui-jump-true-view-not-reset app/radar_console.cpp 'frmTrueView_->ResetTrueView();' \
    's/.*//' 'console|aids_windows'
mutant gui-jump-label-colours-kept app/radar_console.cpp 'SetLabelColour(\(former\|own\),' \
    's/.*//' 'console|aids_windows'
mutant gui-jump-echoes-a-tick-late app/radar_console.cpp 'view_->RedrawVessels();' 's/.*//' \
    'console|aids_windows'
mutant gui-pause-caption-swapped app/control_column.cpp 'paused ? "Resume" : "Pause"' \
    's/"Resume" : "Pause"/"Pause" : "Resume"/' 'console|app_main'
# The line after the clocks are reset in Repeat starts the timer again.
mutant gui-repeat-leaves-timer-stopped session/exercise.cpp \
    'ResetClocks(sim_, display_, \*view_);' '{n;s/.*//}' 'console|measure'
mutant gui-traffic-list-deaf app/traffic_selector.cpp '&TrafficSelector::ShowTrafficSource);' \
    's/connect(&exercise_, .*//' 'console|scenario_windows'
mutant gui-picture-tools-swapped app/radar_console.cpp 'PictureTool\* tool = cursor ?' \
    's/= cursor ?/= !cursor ?/' 'console|measure'
mutant gui-collision-text app/radar_view.cpp 'message("COLLISION!")' \
    's/"COLLISION!"/"Collision!"/' 'console|radar_picture'
mutant gui-time-factor-list-deaf app/control_column.cpp 'connect(cboTimeFactor_' 's/.*//' \
    'console|app_main'
mutant collision-mark-one-sided core/geometry.cpp 'c == 0 ? right : left' \
    's/? right : left/? right : right; (void)left/' 'radar_picture'
mutant gui-vrm-ring-twice-its-range app/radar_view.cpp 'setOverlayCircle(item::shpVRM' \
    's/display_.VRMRange, kMarkerColour/2.0 * display_.VRMRange, kMarkerColour/' 'measure|console'
mutant restart-leaves-the-positions core/vessel.cpp 'std::copy_n(StartPos.begin(), n' 's/.*//' \
    'console'
mutant gui-console-closes-by-itself app/main_window.cpp 'QEvent::Close && !closing_' \
    's/&& !closing_/\&\& closing_/' 'app_main'
mutant gui-missing-help-unexplained gui/help_window.cpp '"</b> is not there. Help' \
    's/is not there/cannot be shown/' 'help'
mutant gui-grid-caption-stale app/true_view.cpp 'TrueViewCaption(display_.TVGridOn' \
    's/TrueViewCaption(display_.TVGridOn/TrueViewCaption(false/' 'measure'
mutant gui-title-not-the-exercise app/radar_console.cpp 'ExerciseTitle(exercise_.simulation().Title)' \
    's/ExerciseTitle(exercise_.simulation().Title)/std::string("Radar")/' 'app_main|entry'
mutant gui-random-help-wrong-page app/random_window.cpp 'HelpTopic("mvhe0wvn.htm")' \
    's/mvhe0wvn.htm/index.htm/' 'scenario_windows|help'
mutant gui-f1-ignores-the-focus app/main_window.cpp 'contextHelp(HelpContextOf(QApplication' \
    's/HelpContextOf(QApplication::focusWidget())/0/' 'app_main|help'
mutant gui-unknown-size-no-dot gui/world_picture.cpp 'const double w = std::max(it.width, 2);' \
    's/std::max(it.width, 2)/0.0/' 'aids_windows|radar_picture'
mutant gui-rings-never-off gui/radar_picture.cpp 'state_.RingsOn ? RingRadii' \
    's/state_.RingsOn ?/true ?/' 'radar_picture|console'
mutant gui-kept-frame-drawn-on gui/world_picture.cpp 'pixels_.use_count() > 1 ||' \
    's/pixels_.use_count() > 1 ||//' 'radar_picture|console|aids_windows'
mutant gui-double-density-halved gui/world_picture.cpp 'const int w = std::max(1, qRound' \
    's/qRound(size_.width() \* dpr_)/size_.width()/' 'radar_picture|console|aids_windows'
mutant gui-freq-stops-at-twelve core/display/display_commands.cpp 'PlotFreqIndex + 1) % 4' \
    's/(display_.Tick.PlotFreqIndex + 1) % 4/std::min(display_.Tick.PlotFreqIndex + 1, 3)/' \
    'console|radar_picture|app_main'
mutant gui-echo-as-green-as-the-rings gui/palette.cpp 'p.echo = QColor(225, 255, 215);' \
    's/225, 255, 215/0, 255, 0/' 'radar_picture'
mutant gui-kept-face-of-another-palette gui/radar_picture.cpp 'ScaleHasTicks(), state_.Colours}' \
    's/, state_.Colours}/}/' 'radar_picture'
mutant gui-disabled-own-letter-blue app/vessel_panel.cpp '{QPalette::Active, QPalette::Inactive}' \
    's/QPalette::Inactive}/QPalette::Inactive, QPalette::Disabled}/' 'aids_windows'
mutant gui-true-view-below-the-screen app/true_view.cpp 'want.moveTop(std::clamp' \
    's/want.moveTop(/(void)(/' 'measure'
mutant gui-storm-takes-the-own-letter app/control_column.cpp 'pnlVessels_->ShowButtonColours();' \
    's/pnlVessels_->ShowButtonColours();//' 'aids_windows'
mutant gui-seas-menu-reversed session/exercise_commands.cpp 'show.SetSeaState(i)' \
    's/SetSeaState(i)/SetSeaState(2 - i)/' 'app_main|console'
mutant gui-time-factor-menu-shifted session/exercise_commands.cpp 'e->SetTimeFactor(i); }' \
    's/SetTimeFactor(i)/SetTimeFactor(i ? i - 1 : 0)/' 'app_main|console'
mutant gui-untitled-demo-nameless session/exercise.cpp 'ExerciseTitle(read.Scenario->Title' \
    's/path.filename().string()/std::string()/' 'entry|app_main|console'
mutant gui-stored-name-loses-accents app/set_targets.cpp 'WriteFileAtomically(file.toStdString()' \
    's/file.toStdString()/file.toLatin1().toStdString()/' 'scenario_windows|files'

if [ "$LIST" = 1 ]; then
    for i in "${!NAMES[@]}"; do
        [[ -n "$ONLY" && ! "${NAMES[$i]}" =~ $ONLY ]] && continue
        printf '%-34s %-36s %s\n' "${NAMES[$i]}" "${FILES[$i]}" "${TESTS[$i]}"
    done
    exit 0
fi

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    echo "mutate.sh: $BUILD is not a configured build folder" >&2
    exit 2
fi

SAVE=$(mktemp -d)
CURRENT=
restore() {
    # A fresh modification time, so the next build compiles the file again.
    if [ -n "$CURRENT" ]; then cat "$SAVE/original" >"$ROOT/$CURRENT"; fi
    CURRENT=
}
cleanup() {
    restore
    rm -rf "$SAVE"
}
trap cleanup EXIT
trap 'cleanup; exit 130' INT TERM

killed=0 survived=0 stale=0
SURVIVORS=()
declare -A BUILT=()
for i in "${!NAMES[@]}"; do
    name=${NAMES[$i]} file=${FILES[$i]}
    [[ -n "$ONLY" && ! "$name" =~ $ONLY ]] && continue
    if [ ! -f "$file" ]; then
        echo "stale     $name ($file is missing)"
        stale=$((stale + 1))
        continue
    fi
    # A window-layer mutant in a build without the windows has no test to run: not counted.
    listed=$(ctest --test-dir "$BUILD" -N -R "^(${TESTS[$i]})\$")
    if ! grep -q 'Test *#' <<<"$listed"; then
        echo "skipped   $name (no test of ${TESTS[$i]} in $BUILD)"
        continue
    fi
    cp "$file" "$SAVE/original"
    CURRENT=$file
    sed -i "\\~${PATTERNS[$i]}~${EDITS[$i]}" "$file"
    if cmp -s "$file" "$SAVE/original"; then
        restore
        echo "stale     $name (nothing in $file matched)"
        stale=$((stale + 1))
        continue
    fi
    targets=()
    IFS='|' read -ra tests <<<"${TESTS[$i]}"
    for t in "${tests[@]}"; do
        targets+=("test_$t")
        BUILT["test_$t"]=1
    done
    log="$SAVE/log"
    if ! cmake --build "$BUILD" -j "$JOBS" --target "${targets[@]}" >"$log" 2>&1; then
        verdict="killed    $name (does not build)"
        killed=$((killed + 1))
    elif ctest --test-dir "$BUILD" -R "^(${TESTS[$i]})\$" --timeout 300 >"$log" 2>&1; then
        verdict="survived  $name"
        survived=$((survived + 1))
        SURVIVORS+=("$name")
    else
        # The tests that caught it, from ctest's summary ("  3 - console (Failed)").
        by=$(sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$log" | paste -sd, -)
        verdict="killed    $name${by:+ (by $by)}"
        killed=$((killed + 1))
    fi
    restore
    echo "$verdict"
done

# Leave the tests in the build folder matching the restored sources.
if [ "${#BUILT[@]}" -gt 0 ]; then
    cmake --build "$BUILD" -j "$JOBS" --target "${!BUILT[@]}" >/dev/null 2>&1 ||
        echo "mutate.sh: the final rebuild failed" >&2
fi
[ "$stale" -gt 0 ] && echo "stale mutants: $stale"
[ "${#SURVIVORS[@]}" -gt 0 ] && echo "survivors: ${SURVIVORS[*]}"
echo "mutants: $killed killed, $survived survived"
[ "$survived" -eq 0 ] && [ "$stale" -eq 0 ]
