#include "report/exercise_report.h"

#include "core/number_text.h"
#include "core/scenario/demo_file.h"
#include "gui/moment_renderer.h"
#include "gui/palette.h"
#include "gui/radar_picture.h"
#include "gui/run_tracks.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QUrl>

#include <cmath>
#include <map>

namespace mv {

namespace {

// The widths of the pictures, in the units of the document (a 96th of an inch): two radar
// pictures with their captions fit one A4 page, the tracks fill most of the text column.
constexpr int kRadarWidth = 370;
constexpr int kTracksWidth = 560;
// The radar pictures are drawn this many pixels wide, so that they stay sharp on paper.
constexpr int kRadarPixels = 900;

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QString Esc(const QString& s) {
    return s.toHtmlEscaped();
}

const char* const kFigureNames[] = {"CPA", "TCPA", "Course", "Speed", "Aspect", "Set", "Drift"};

QString FigureTitle(Figure f) {
    return kFigureNames[static_cast<size_t>(f)];
}

// A figure as the program shows it: CPA "0.00 nm", TCPA "0.0 min", directions in three
// digits, speeds "0.0 kn", an aspect "Red 30".
QString FigureText(Figure f, double value) {
    switch (f) {
    case Figure::Cpa:
        return Q(MilesText(value));
    case Figure::Tcpa:
        return Q(MinutesText(value));
    case Figure::Course:
    case Figure::Set:
        return Q(DirectionText(value));
    case Figure::Aspect:
        return Q(AspectText(value));
    case Figure::Speed:
    case Figure::Drift:
        break;
    }
    return Q(KnotsText(value));
}

// How far off, or how far off it may be: as the figure, but angles as plain degrees.
QString MarginText(Figure f, double value) {
    if (f == Figure::Course || f == Figure::Set || f == Figure::Aspect)
        return Q(FormatNumber(value, "##0")) + QChar(0x00B0);
    return FigureText(f, value);
}

QString Clock(double days) {
    return Q(FormatClock(days));
}

QString Started(const std::string& iso) {
    const QDateTime at = QDateTime::fromString(Q(iso), Qt::ISODate);
    return at.isValid() ? at.toUTC().toString("d MMMM yyyy, HH:mm:ss") + " UTC" : Q(iso);
}

QString Row(const QStringList& cells, bool head = false) {
    QString html = "<tr>";
    for (const QString& c : cells)
        html += (head ? "<th>" : "<td>") + c + (head ? "</th>" : "</td>");
    return html + "</tr>";
}

QString Verdict(bool good, const char* yes, const char* no) {
    return good ? QString(yes) : QString("<b>%1</b>").arg(no);
}

// The radar picture at each of `moments` as the student saw it, in the day palette.
std::vector<QImage> RadarPictures(const RunRecord& run, const std::vector<std::size_t>& moments) {
    const QSize size(kRadarPixels,
                     static_cast<int>(std::lround(kRadarPixels / RadarPicture::kAspect)));
    std::vector<QImage> pictures;
    for (const std::size_t k : moments)
        pictures.push_back(RenderMoment(run, k, size, DisplayPalette::Day));
    return pictures;
}

QImage TracksPicture(const RunRecord& run) {
    // Drawn at twice the pixels of its size on paper, lines and letters as on the screen.
    const int side = kTracksWidth;
    QImage image(2 * side, 2 * side, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    QPainter p(&image);
    PaintTracks(p, QRectF(0, 0, side, side), run, run.Ticks.size() - 1,
                PaletteFor(DisplayPalette::Day), true);
    return image;
}

} // namespace

std::unique_ptr<QTextDocument> BuildExerciseReport(const ExerciseReport& report) {
    const AssessedExercise& exercise = report.Exercise;
    const RunGrading& grading = report.Grading;
    const ActionVerdict& action = grading.Action;
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultStyleSheet(
        "body { font-family: 'DejaVu Sans'; font-size: 10pt; } "
        "h1 { font-size: 18pt; color: #0b3d5c; } h2 { font-size: 13pt; color: #0b3d5c; } "
        "h3 { font-size: 11pt; } th { background-color: #dde6ee; text-align: left; } "
        "td, th { padding: 3px; } .total { font-size: 12pt; font-weight: bold; }");

    QString html = "<html><body><h1>Assessed exercise report</h1><table>";
    const auto fact = [&html](const QString& name, const QString& value) {
        html += Row({"<b>" + name + "</b>", value});
    };
    fact("Exercise", Esc(Q(exercise.Title.empty() ? report.Run.Info.Title : exercise.Title)));
    fact("File", Esc(QFileInfo(report.ExerciseFile).fileName()));
    fact("Student", Esc(grading.Student.empty() ? QString("(no name)") : Q(grading.Student)));
    fact("Run started", Esc(Started(report.Run.Info.Started)));
    if (!grading.Ending.empty()) fact("Ended", Esc(Q(grading.Ending)));
    const QString total = QString("%1 of %2").arg(grading.Total.Got).arg(grading.Total.OutOf);
    fact("Total", "<span class=\"total\">" + total + "</span>");
    html += "</table>";

    html += "<h2>The questions</h2>";
    html += grading.Source == TruthSource::Run
                ? "<p>Marked against the student's own run as recorded.</p>"
                : "<p>Marked against the answer key: the run was not recorded.</p>";
    const std::vector<Truth>& truths = grading.Truths;
    for (size_t i = 0; i < exercise.Questions.size() && i < truths.size(); ++i) {
        const Question& q = exercise.Questions[i];
        html += QString("<h3>Question %1, at %2</h3>").arg(i + 1).arg(Clock(q.At));
        if (q.OverGround) html += "<p>Course and speed over the ground.</p>";
        html += "<table border=\"1\" cellspacing=\"0\" width=\"100%\">" +
                Row({"Target", "Figure", "Given", "Truth", "Error", "Tolerance", "Handed in",
                     "Verdict"},
                    true);
        const auto line = [&](int vessel, Figure f) {
            const double tolerance = exercise.Tolerance.Of(f);
            const QString who = vessel >= 0 ? Q(VesselLetter(vessel)) : QString("Current");
            // A figure answered more than once counts by its last answer, as in the total.
            const GradedAnswer* last = grading.Last(i, vessel, f);
            if (!last) {
                // The truth of a figure not answered, read from the same place as the marks.
                const Mark truth = MarkAnswer(exercise, truths, {i, vessel, f, 0});
                html += Row({who, FigureTitle(f), "-", FigureText(f, truth.Truth), "-",
                             MarginText(f, tolerance), "-", "<b>Not answered</b>"});
                return;
            }
            const Mark& m = last->Marked;
            html += Row({who, FigureTitle(f), FigureText(f, m.Given.Value), FigureText(f, m.Truth),
                         MarginText(f, m.Error), MarginText(f, tolerance), Clock(last->At),
                         Verdict(m.Right, "Right", "Wrong")});
        };
        for (const int t : AskedTargets(q, truths[i]))
            for (const Figure f : q.Figures)
                if (IsTargetFigure(f)) line(t, f);
        for (const Figure f : q.Figures)
            if (!IsTargetFigure(f)) line(-1, f);
        html += "</table>";
    }

    if (!exercise.Setups.empty()) {
        // Judged on the video the student had at each time: the targets that show at a
        // glance, and the share of the screen lit by noise and clutter.
        html += "<h2>The display set up</h2><table border=\"1\" cellspacing=\"0\" "
                "width=\"100%\">" +
                Row({"Set-up", "At", "Targets showing", "Targets lost", "Screen lit", "Limit",
                     "Verdict"},
                    true);
        const auto letters = [](const std::vector<int>& vessels) {
            QStringList l;
            for (const int s : vessels)
                l << Q(VesselLetter(s));
            return l.isEmpty() ? QString("None") : l.join(", ");
        };
        for (size_t i = 0; i < exercise.Setups.size(); ++i) {
            const DisplayQuestion& q = exercise.Setups[i];
            const DisplayVerdict v =
                i < grading.Setups.size() ? grading.Setups[i] : DisplayVerdict{{}, {}, 1, false};
            html += Row({QString::number(i + 1), Clock(q.At), letters(v.Shown), letters(v.Lost),
                         QString("%1 %").arg(std::lround(v.Noise * 100)),
                         QString("%1 %").arg(std::lround(q.NoiseLimit * 100)),
                         Verdict(v.Right, "Right", "Wrong")});
        }
        html += "</table>";
    }

    const bool actionAsked = exercise.Action.MinCpa > 0;
    if (actionAsked || !action.Alterations.empty()) {
        html += "<h2>The action</h2>";
        if (actionAsked) {
            html += QString("<p>Every target to be passed at %1 nm or more")
                        .arg(Q(FormatNumber(exercise.Action.MinCpa, "#0.00")));
            if (exercise.Action.ActBy)
                html += ", the first alteration made by " + Clock(*exercise.Action.ActBy);
            html += exercise.RestrictedVisibility ? ", in restricted visibility (Rule 19(d)).</p>"
                                                  : ".</p>";
            html += "<table border=\"1\" cellspacing=\"0\">" +
                    Row({"Target", "Closest approach", "Required", "Passed"}, true);
            for (const TargetOutcome& o : action.Outcomes) {
                // A target not yet past at the end is judged by the CPA it was heading for.
                QString closest = Q(MilesText(o.Closest));
                if (o.Closing)
                    closest += ", still closing at the end: CPA " + Q(MilesText(o.Predicted)) +
                               " predicted";
                html +=
                    Row({Q(VesselLetter(o.Vessel)), closest, Q(MilesText(exercise.Action.MinCpa)),
                         Verdict(o.Kept, "Kept", "Not kept")});
            }
            html += "</table>";
        }
        if (action.Alterations.empty()) {
            html += "<p>The own vessel was never ordered to alter.</p>";
        } else {
            html += "<h3>The own vessel's alterations</h3>"
                    "<table border=\"1\" cellspacing=\"0\" width=\"100%\">" +
                    Row({"Time", "Course", "Speed", "Apparent", "Faults"}, true);
            for (const Alteration& a : action.Alterations) {
                QStringList faults;
                for (const std::string& f : a.Faults)
                    faults << Esc(Q(f));
                html += Row({Clock(a.At),
                             Q(DirectionText(a.FromCourse)) + " to " + Q(DirectionText(a.ToCourse)),
                             Q(KnotsFigure(a.FromSpeed)) + " to " + Q(KnotsText(a.ToSpeed)),
                             a.Apparent ? "Yes" : "No",
                             faults.isEmpty() ? QString("None") : faults.join("<br>")});
            }
            html += "</table>";
        }
        if (actionAsked) {
            html += "<table>";
            QString inTime = action.Acted ? Verdict(action.InTime, "Yes", "No, too late")
                                          : Verdict(false, "", "No alteration");
            fact("In time", inTime);
            fact("Apparent on another radar",
                 Verdict(action.Apparent, "Yes", action.Acted ? "No, too small" : "No alteration"));
            if (exercise.RestrictedVisibility)
                fact("Rule 19(d)", action.Acted ? Verdict(action.RulesKept, "Kept", "Not kept")
                                                : Verdict(false, "", "No alteration"));
            html += "</table>";
        }
    }
    html += "<p class=\"total\">Total: " + total + "</p>";

    // The radar at each answer's moment: answers handed in at one moment share its picture.
    std::map<std::size_t, QStringList> answeredAt;
    for (const GradedAnswer& a : grading.Answers)
        if (const auto k = report.Run.TickAt(a.At))
            answeredAt[*k] << Esc(QString("Q%1 %2%3 %4")
                                      .arg(a.Marked.Given.Question + 1)
                                      .arg(a.Marked.Given.Vessel >= 0
                                               ? Q(VesselLetter(a.Marked.Given.Vessel)) + " "
                                               : QString())
                                      .arg(FigureTitle(a.Marked.Given.Asked),
                                           FigureText(a.Marked.Given.Asked, a.Marked.Given.Value)));
    std::vector<std::size_t> moments;
    for (const auto& [k, answers] : answeredAt)
        moments.push_back(k);
    const std::vector<QImage> radar = RadarPictures(report.Run, moments);
    // On paper the pictures start a page of their own, two to a page.
    html += QString(moments.empty() ? "<div>" : "<div style=\"page-break-before: always\">") +
            "<h2>The radar at each answer</h2>";
    if (moments.empty()) html += "<p>No answer was handed in.</p>";
    for (size_t n = 0; n < moments.size(); ++n) {
        const QString name = QString("radar%1.png").arg(n + 1);
        doc->addResource(QTextDocument::ImageResource, QUrl(name), radar[n]);
        const double time = report.Run.Ticks[moments[n]].SimTime;
        html += QString("<p><b>%1</b>: %2<br><img src=\"%3\" width=\"%4\"></p>")
                    .arg(Clock(time), answeredAt[moments[n]].join(", "), name)
                    .arg(kRadarWidth);
    }
    html += "</div>";
    if (!report.Run.Ticks.empty()) {
        doc->addResource(QTextDocument::ImageResource, QUrl("tracks.png"),
                         TracksPicture(report.Run));
        html += QString("<div style=\"page-break-before: always\"><h2>The true tracks</h2>"
                        "<p>North up, %1 to %2, a mark every %3 minutes.<br>"
                        "<img src=\"tracks.png\" width=\"%4\"></p></div>")
                    .arg(Clock(report.Run.Ticks.front().SimTime),
                         Clock(report.Run.Ticks.back().SimTime))
                    .arg(TimeMarkMinutes(report.Run))
                    .arg(kTracksWidth);
    }
    html += "</body></html>";
    doc->setHtml(html);
    doc->setMetaInformation(QTextDocument::DocumentTitle,
                            "Assessed exercise report - " + Q(grading.Student));
    return doc;
}

QString WriteReportPdf(const QTextDocument& document, const QString& pdfPath) {
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly))
        return QString("%1 cannot be written: %2").arg(pdfPath, file.errorString());
    {
        // The page's margins are the 2 cm printing gives a document.
        QPdfWriter writer(&file);
        writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
        writer.setCreator("Marovane");
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setResolution(300);
        document.print(&writer);
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        return QString("%1 cannot be written: %2").arg(pdfPath, file.errorString());
    return {};
}

QString WriteExerciseReport(const ExerciseReport& report, const QString& pdfPath) {
    return WriteReportPdf(*BuildExerciseReport(report), pdfPath);
}

} // namespace mv
