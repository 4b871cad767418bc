// The report of an assessed exercise: which truth marked it, each figure beside the truth with
// its verdict as printed, the action's outcome and faults (a target still closing at the end by
// its predicted CPA), one radar picture per moment answers were handed in and the true tracks;
// marovane-plot grade --pdf writes one PDF per record from the same report.

#include "app/exercise_report.h"
#include "core/exercise/answer_key.h"
#include "core/number_text.h"
#include "core/record/run_reader.h"
#include "gui/palette.h"
#include "tests/support/fog_runs.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"
#include "tools/plot/plot_tool.h"
#include "tools/plot/report_pdf.h"

#include <QApplication>
#include <QImage>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextDocument>

#include <set>
#include <sstream>

namespace {

TEST(ExerciseReport, ShowsEveryVerdictAndPictureAndGradeWritesAPdfPerRecord) {
    const mv::test::TempDir dir;
    // Asked at 12:04, before either student turns at 12:05: the truth of each one's own run is
    // then the answer key's.
    std::string toml = mv::test::FogExercise("\"cpa\", \"tcpa\", \"course\", \"speed\"");
    toml.replace(toml.find("12:06:00"), 8, "12:04:00");
    const std::string file = dir.Write("fog.toml", toml);
    const auto exercise = *mv::ReadExerciseFile(file).Exercise;
    mv::Simulation start;
    ASSERT_EQ(mv::BuildExerciseSimulation(exercise, dir.path, {}, start), "");
    const std::vector<mv::Truth> truths = mv::QuestionTruths(exercise, start);
    const mv::TargetTruth& b = truths[0].Targets.at(0);
    // Ann turns 60 degrees to starboard, Bob 60 to port; both answer the CPA right and the
    // TCPA 5 minutes off at 12:05, the course at 12:07:30, and never the speed.
    const auto record = [&](const std::string& student, int course) {
        mv::test::RecordFogRun(dir.path, start, student, course, 300,
                               [&b](int t, std::vector<mv::Answer>& a) {
                                   if (t == 100)
                                       a = {{0, 1, mv::Figure::Cpa, b.Cpa.CPA},
                                            {0, 1, mv::Figure::Tcpa, b.Cpa.TCPA + 5}};
                                   if (t == 150) a = {{0, 1, mv::Figure::Course, b.Water.Course}};
                               });
    };
    record("Ann", 60);
    record("Bob", 300);

    const auto bob = mv::ReadRunRecord((dir.path / "Bob.mvrun").string());
    ASSERT_TRUE(bob.ok()) << bob.Error;
    const mv::RunGrading grading = mv::GradeRun(exercise, start, *bob.Record);
    const auto doc =
        mv::BuildExerciseReport({exercise, QString::fromStdString(file), *bob.Record, grading});
    const QString text = doc->toPlainText();
    const auto row = [](std::initializer_list<std::string> cells) {
        QStringList l;
        for (const std::string& c : cells)
            l << QString::fromStdString(c);
        return l.join('\n');
    };
    const std::string cpa = mv::FormatNumber(b.Cpa.CPA, "#0.00") + " nm";
    const std::string tcpa = mv::FormatNumber(b.Cpa.TCPA, "#0.0") + " min";
    const std::string late = mv::FormatNumber(b.Cpa.TCPA + 5, "#0.0") + " min";
    for (const QString& expected :
         {row({"B", "CPA", cpa, cpa, "0.00 nm", "0.20 nm", "12:05:00", "Right"}),
          row({"B", "TCPA", late, tcpa, "5.0 min", "2.0 min", "12:05:00", "Wrong"}),
          row({"B", "Course", "180", "180", "0\u00b0", "3\u00b0", "12:07:30", "Right"}),
          row({"B", "Speed", "-", "10.0 kn", "-", "1.0 kn", "-", "Not answered"}),
          row({"12:05:00", "000 to 300", "12.0 to 12.0 kn", "Yes",
               "Altered to port for B, forward of the beam"}),
          QString("Rule 19(d)\nNot kept"), QString("Ended\ntime limit"), QString("Bob"),
          QString("Total: 5 of 8"), QString("Marked against the student's own run as recorded.")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n--\n"
                                             << text.toStdString();
    // Bob turned to 300 at 12:05 with B 6.2 nm off: B then closes at some 19 knots, nearest at
    // about 12:20 at some 3.9 nm, so at the end (12:15) she is still closing and judged by it.
    const QRegularExpressionMatch closing =
        QRegularExpression(R"(B\n(\d+\.\d\d) nm, still closing at the end: CPA (\d+\.\d\d) nm )"
                           R"(predicted\n2\.00 nm\n)")
            .match(text);
    ASSERT_TRUE(closing.hasMatch()) << text.toStdString();
    EXPECT_NEAR(closing.captured(2).toDouble(), 3.9, 0.3);
    EXPECT_GT(closing.captured(1).toDouble(), closing.captured(2).toDouble());
    // Marked without the run, the report says so.
    mv::RunGrading keyed = grading;
    keyed.Source = mv::TruthSource::Key;
    EXPECT_TRUE(
        mv::BuildExerciseReport({exercise, QString::fromStdString(file), *bob.Record, keyed})
            ->toPlainText()
            .contains("Marked against the answer key: the run was not recorded."));
    // A display set up at 12:03 listed with what the video showed then: B showing, the noise
    // at 3.4 % of the screen against a limit of 5 %.
    mv::AssessedExercise withSetup = exercise;
    withSetup.Setups = {{0.5 + 3.0 / 1440, {1}, 0.05, 0}};
    mv::RunGrading setUp = grading;
    setUp.Setups = {{{1}, {}, 0.034, true}};
    EXPECT_TRUE(
        mv::BuildExerciseReport({withSetup, QString::fromStdString(file), *bob.Record, setUp})
            ->toPlainText()
            .contains(row({"1", "12:03:00", "B", "None", "3 %", "5 %", "Right"})));
    // Two moments of answers and the tracks; each picture drawn, not a blank square.
    EXPECT_EQ(doc->toHtml().count("<img"), 3);
    for (const char* name : {"radar1.png", "radar2.png", "tracks.png"}) {
        const QImage picture =
            doc->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
        std::set<QRgb> colours;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                colours.insert(picture.pixel(x, y));
        EXPECT_GT(colours.size(), 3u) << name;
    }
    // Paper keeps the day's face: 3 nm west and 1 nm south of the own vessel, between the
    // rings at 2 and 4 nm, on the 12-mile scale's 37.5 pixels a mile.
    const QImage radar =
        doc->resource(QTextDocument::ImageResource, QUrl("radar1.png")).value<QImage>();
    EXPECT_EQ(radar.pixelColor(450 - 112, 495 + 38), mv::PaletteFor(mv::DisplayPalette::Day).face);

    // On the screen at night the report is still paper, black on white as it prints.
    const QPalette day = QApplication::palette();
    QApplication::setPalette(mv::WidgetPalette(mv::DisplayPalette::Night, day));
    mv::ScriptedDialogs dialogs;
    mv::ReportWindow window(
        mv::BuildExerciseReport({exercise, QString::fromStdString(file), *bob.Record, grading}), {},
        dialogs);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    const QImage page = window.findChild<QTextBrowser*>("txtReport")->viewport()->grab().toImage();
    QApplication::setPalette(day);
    EXPECT_EQ(page.pixelColor(page.width() - 5, 5), QColor(Qt::white));

    std::unique_ptr<QApplication> none;
    std::ostringstream out, err;
    const std::string pdfs = (dir.path / "reports").string();
    ASSERT_EQ(mv::RunPlotTool({"grade", "--exercise", file, (dir.path / "Ann.mvrun").string(),
                               (dir.path / "Bob.mvrun").string(), "--pdf", pdfs},
                              out, err, {}, mv::ReportPdfWriterWith(none)),
              0)
        << err.str();
    for (const char* name : {"Ann - Ann.pdf", "Bob - Bob.pdf"})
        EXPECT_TRUE(mv::test::Slurp(std::filesystem::path(pdfs) / name).starts_with("%PDF"))
            << name;
}

} // namespace
