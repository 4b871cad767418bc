#include "session/dialogs.h"
#include "session/exercise.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <optional>

namespace mv {

namespace {

QString IndexedName(const char* name, int i) {
    return QString("%1(%2)").arg(name).arg(i);
}

// A limit typed by the student, within [lo, hi] in its unit. A letter, an empty field or a
// figure out of range is said so and leaves the limit as it was.
std::optional<double> AskLimit(Dialogs& dialogs, const QString& what, const QString& unit,
                               double now, double lo, double hi) {
    const QString text =
        dialogs.prompt(QString("%1 (%2, %3 to %4):").arg(what, unit).arg(lo).arg(hi), what,
                       QLocale::c().toString(now));
    if (text.isEmpty()) return std::nullopt; // cancelled
    bool ok = false;
    QString t = text.trimmed();
    t.replace(',', '.');
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !(v >= lo && v <= hi)) {
        dialogs.message(QString("%1 must be a number of %2 from %3 to %4; it stays at %5.")
                            .arg(what, unit)
                            .arg(lo)
                            .arg(hi)
                            .arg(now),
                        what, Dialogs::Icon::Exclamation);
        return std::nullopt;
    }
    return v;
}

} // namespace

void RegisterAidCommands(Exercise& exercise) {
    CommandRegistry& r = exercise.commands();
    RadarDisplayState& d = exercise.display();
    TickDisplay& tick = d.Tick;
    AidSettings& aids = d.Aids;
    DisplayCommands& show = exercise.displayCommands();
    Dialogs* dialogs = &exercise.dialogs();

    r.add({"mnuCourseUp",
           "C&ourse-up",
           {},
           [&show] { show.SetCourseUp(); },
           [&tick] { return tick.CourseUp && !tick.NorthUp; },
           [&aids] { return aids.Allowed.CourseUp; },
           "mnuRadarMode",
           "Not allowed in this exercise"});

    r.add({"mnuTrailsRelative",
           "&Relative Trails",
           {},
           [&show] { show.SetTrueTrails(false); },
           [&tick] { return !tick.TrueTrails; },
           {},
           "mnuTrails"});
    r.add({"mnuTrailsTrue",
           "&True Trails",
           {},
           [&show] { show.SetTrueTrails(true); },
           [&tick] { return tick.TrueTrails; },
           [&aids] { return aids.Allowed.TrueTrails; },
           "mnuTrails",
           "Not allowed in this exercise"});

    const std::pair<const char*, const char*> modes[] = {{"mnuVectorsOff", "&Off"},
                                                         {"mnuVectorsRelative", "&Relative"},
                                                         {"mnuVectorsTrue", "&True"}};
    for (int m = 0; m < 3; ++m) {
        const auto mode = static_cast<VectorMode>(m);
        Command c{modes[m].first,
                  modes[m].second,
                  m == 1 ? "Ctrl+Shift+V" : QString(),
                  [&aids, mode] {
                      if (mode == VectorMode::Off || aids.Allowed.Vectors) aids.Vectors = mode;
                  },
                  [&aids, mode] { return aids.Vectors == mode; },
                  {},
                  "mnuVectors"};
        if (m > 0) {
            c.enabled = [&aids] { return aids.Allowed.Vectors; };
            c.disabledTip = "Not allowed in this exercise";
        }
        r.add(std::move(c));
    }
    for (int i = 0; i < static_cast<int>(kVectorMinutes.size()); ++i)
        r.add({IndexedName("mnuVectorTime", i),
               QString("&%1 min").arg(kVectorMinutes[static_cast<size_t>(i)]),
               {},
               [&aids, i] { aids.VectorIndex = static_cast<int16_t>(i); },
               [&aids, i] { return aids.VectorIndex == i; },
               {},
               "mnuVectorTime"});

    r.add({"mnuPickMode",
           "&Pick Targets",
           {},
           [&show] { show.SetCursorMode(InputMode::Pick); },
           [&d] { return d.CursorMode == InputMode::Pick; },
           [&aids] { return aids.Allowed.TargetData; },
           "mnuEBLVRMmode",
           "Not allowed in this exercise"});
    r.add({"mnuClearPicks",
           "Cl&ear Picked Targets",
           {},
           [&aids] { aids.Picked.clear(); },
           {},
           [&aids] { return !aids.Picked.empty(); }});

    r.add({"mnuCpaAlarm",
           "&CPA/TCPA Alarm",
           {},
           [&aids] { aids.Limits.CpaAlarmOn = !aids.Limits.CpaAlarmOn; },
           [&aids] { return aids.Limits.CpaAlarmOn; },
           [&aids] { return aids.Allowed.CpaAlarm; },
           {},
           "Not allowed in this exercise"});
    r.add({"mnuAlarmLimits", "CPA/TCPA &Limits...", {}, [dialogs, &aids] {
               const auto cpa = AskLimit(*dialogs, "CPA limit", "nautical miles",
                                         static_cast<double>(aids.Limits.CpaLimit), 0.1, 12);
               if (!cpa) return;
               const auto tcpa = AskLimit(*dialogs, "TCPA limit", "minutes",
                                          static_cast<double>(aids.Limits.TcpaLimit), 1, 60);
               if (!tcpa) return;
               // Both or neither: a cancelled second question keeps the first limit too.
               aids.Limits.CpaLimit = static_cast<float>(*cpa);
               aids.Limits.TcpaLimit = static_cast<float>(*tcpa);
           }});
    r.add({"mnuGuardRing",
           "&Guard Ring",
           {},
           [&aids] { aids.Limits.GuardOn = !aids.Limits.GuardOn; },
           [&aids] { return aids.Limits.GuardOn; },
           [&aids] { return aids.Allowed.GuardRing; },
           {},
           "Not allowed in this exercise"});
    r.add({"mnuGuardRange", "Guard Ring &Range...", {}, [dialogs, &aids] {
               if (const auto g = AskLimit(*dialogs, "Guard ring range", "nautical miles",
                                           aids.Limits.GuardRange, 0.25, 24))
                   aids.Limits.GuardRange = *g;
           }});
    r.add({"mnuAcknowledge",
           "&Acknowledge Alarms",
           "Ctrl+K",
           [&aids, &exercise] {
               aids.Alarms.AcknowledgeAll();
               exercise.tracking().AcknowledgeAll();
               exercise.Log("acknowledge", -1, "Alarms acknowledged");
           },
           {},
           [&exercise] { return exercise.anyAlarmUnacknowledged(); }});

    // ARPA: the student's aids from tracks the radar's plots make, as on a ship.
    r.add({"mnuArpa",
           "A&RPA Tracking",
           "Ctrl+Shift+T",
           [&exercise, &aids] { exercise.SetArpa(!aids.Arpa); },
           [&aids] { return aids.Arpa; },
           [&aids] { return aids.Allowed.TruthAids; },
           {},
           "This exercise gives ARPA only"});
    const auto arpaOn = [&aids, &exercise] { return aids.Arpa && exercise.isLoaded(); };
    r.add({"mnuAcquire",
           "Ac&quire Target at Cursor",
           "Ctrl+Shift+A",
           [&exercise] {
               if (!exercise.display().Aids.Arpa || !exercise.isLoaded()) return;
               const auto id = exercise.tracking().Acquire(exercise.cursorOverWater(),
                                                           exercise.simulation().Clock.SimTime);
               if (id) exercise.Log("acquire", -1, QString("Track %1 acquired").arg(*id));
           },
           {},
           arpaOn});
    r.add({"mnuCancelTrack",
           "Cancel &Track",
           "Ctrl+Shift+D",
           [&exercise, &aids, &d] {
               if (!aids.Arpa) return;
               TrackingPicture& tracking = exercise.tracking();
               const PointD at = exercise.cursorOverWater();
               // The picked track nearest the cursor; none picked, the track under it (within
               // a thirtieth of the range, about a finger's width).
               std::optional<int> id;
               double best = 1e300;
               for (const TrackView& v : exercise.trackViews()) {
                   if (std::find(aids.PickedTracks.begin(), aids.PickedTracks.end(), v.Id) ==
                       aids.PickedTracks.end())
                       continue;
                   const double dist = std::hypot(v.Aid.Position.X - at.X, v.Aid.Position.Y - at.Y);
                   if (dist < best) best = dist, id = v.Id;
               }
               if (!id) id = tracking.Nearest(at, d.Tick.Range / 30.0);
               if (id && tracking.Cancel(*id))
                   exercise.Log("cancel track", -1, QString("Track %1 cancelled").arg(*id));
           },
           {},
           arpaOn});
    r.add({"mnuCancelAllTracks",
           "Cancel A&ll Tracks",
           {},
           [&exercise, &aids] {
               if (!aids.Arpa) return;
               exercise.tracking().CancelAll();
               exercise.Log("cancel track", -1, "All tracks cancelled");
           },
           {},
           arpaOn});
    r.add({"mnuStabilisation",
           "&Sea / Ground Stabilisation",
           {},
           [&exercise, &aids] {
               aids.SeaStabilised = !aids.SeaStabilised;
               exercise.Log("stabilisation", -1,
                            aids.SeaStabilised ? "Track vectors sea-stabilised"
                                               : "Track vectors ground-stabilised");
           },
           [&aids] { return aids.SeaStabilised; },
           [&aids] { return aids.Arpa; }});
    r.add({"mnuAutoAcquire", "Auto-Acquisition &Zone", "Ctrl+Shift+Z",
           [&exercise] { exercise.tracking().SetAutoZone(!exercise.tracking().autoZone()); },
           [&exercise] { return exercise.tracking().autoZone(); }, [&aids] { return aids.Arpa; }});
}

} // namespace mv
