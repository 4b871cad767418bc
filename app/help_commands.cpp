#include "app/help_commands.h"

#include "app/about_box.h"
#include "gui/help_topics.h"
#include "session/dialogs.h"

#include <QFileInfo>
#include <QWidget>

namespace mv {

namespace {

#ifdef _WIN32
constexpr const char* kExecutableSuffix = ".exe";
#else
constexpr const char* kExecutableSuffix = "";
#endif

} // namespace

// Help files are handed to the viewer as they are: a missing one is the viewer's to report.
void ShowHelpTopics(Dialogs& dialogs, const std::filesystem::path& programFolder) {
    dialogs.showHelp(DocsPath(programFolder, kHelpTopicsFile));
}

void ShowTutorial(Dialogs& dialogs, const std::filesystem::path& programFolder) {
    dialogs.showHelp(DocsPath(programFolder, kTutorialFile));
}

void OpenManual(Dialogs& dialogs, const std::filesystem::path& programFolder) {
    const QString path = DocsPath(programFolder, kManualFile);
    if (!QFileInfo(path).isFile()) {
        dialogs.message("File " + path + " not found", "Can't open manual",
                        Dialogs::Icon::Critical);
        return;
    }
    // The desktop finds no viewer for PDF files: the user can install one.
    if (!dialogs.openDocument(path))
        dialogs.message(kNoPdfViewerText + path, "Can't open manual", Dialogs::Icon::Exclamation);
}

bool CompanionInstalled(const std::filesystem::path& programFolder) {
    return QFileInfo(CompanionPath(programFolder)).isFile();
}

void RunCompanion(Dialogs& dialogs, const std::filesystem::path& programFolder) {
    const QString path = CompanionPath(programFolder);
    if (!QFileInfo(path).isFile()) {
        dialogs.message(path + " not found", "Can't run MV3", Dialogs::Icon::Exclamation);
        return;
    }
    dialogs.openDocument(path);
}

QString CompanionPath(const std::filesystem::path& programFolder) {
    return QString::fromStdString((programFolder / "mv3").string()) + kExecutableSuffix;
}

void ShowContextHelp(Dialogs& dialogs, int contextId, const std::filesystem::path* contentsFolder) {
    if (contextId == 0 && contentsFolder) {
        ShowHelpTopics(dialogs, *contentsFolder);
        return;
    }
    const QString page = ContextHelpPage(contextId);
    dialogs.showHelp(HelpTopic(page.isEmpty() ? QString("index.htm") : page));
}

void ShowFocusHelp(Dialogs& dialogs, const QWidget* focus) {
    ShowContextHelp(dialogs, HelpContextOf(focus));
}

void ShowAboutBox(QWidget* parent) {
    auto* box = new AboutBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace mv
