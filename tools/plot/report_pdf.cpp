#include "tools/plot/report_pdf.h"

#include "report/exercise_report.h"

#include <QApplication>

#include <cstdio>

namespace mv {

ReportPdfWriter ReportPdfWriterWith(std::unique_ptr<QApplication>& app) {
    return [&app](const AssessedExercise& exercise, const std::string& exerciseFile,
                  const RunRecord& run, const RunGrading& grading,
                  const std::filesystem::path& pdf) -> std::string {
        if (!QCoreApplication::instance()) {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
                qEnvironmentVariableIsEmpty("DISPLAY") &&
                qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            static int argc = 1;
            static char name[] = "marovane-plot";
            static char* argv[] = {name, nullptr};
            // The toolkit's remarks (an offscreen window cannot be raised, and the like) are
            // no concern of the instructor; the tool's own messages go to its error stream.
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
                if (type == QtCriticalMsg || type == QtFatalMsg)
                    std::fprintf(stderr, "marovane-plot: %s\n", qPrintable(m));
            });
            app = std::make_unique<QApplication>(argc, argv);
        }
        const ExerciseReport report{exercise, QString::fromStdString(exerciseFile), run, grading};
        return WriteExerciseReport(report, QString::fromStdString(pdf.string())).toStdString();
    };
}

} // namespace mv
