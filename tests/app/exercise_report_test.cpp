// The report of an assessed exercise: each figure beside the truth with its verdict as printed,
// the action's outcome and faults, one radar picture per moment answers were handed in and the
// true tracks; marovane-plot grade --pdf writes one PDF per record from the same report.

#include "app/exercise_report.h"
#include "core/exercise/answer_key.h"
#include "core/number_text.h"
#include "core/record/run_reader.h"
#include "tests/support/fog_runs.h"
#include "tests/support/temp_dir.h"
#include "tools/plot/plot_tool.h"
#include "tools/plot/report_pdf.h"

#include <QApplication>
#include <QImage>
#include <QTextDocument>

#include <set>
#include <sstream>

namespace {

TEST(ExerciseReport, ShowsEveryVerdictAndPictureAndGradeWritesAPdfPerRecord) {
    const mv::test::TempDir dir;
    const std::string file =
        dir.Write("fog.toml", mv::test::FogExercise("\"cpa\", \"tcpa\", \"course\", \"speed\""));
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
    const mv::RunGrading grading = mv::GradeRun(exercise, truths, *bob.Record);
    const auto doc = mv::BuildExerciseReport(
        {exercise, QString::fromStdString(file), *bob.Record, truths, grading});
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
          QString("Total: 5 of 8")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n--\n"
                                             << text.toStdString();
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
