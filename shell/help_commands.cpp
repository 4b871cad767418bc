#include "shell/help_commands.h"

#include "ui/dialogs.h"

namespace mv {

// Placeholders until the help files are built: each command names what it would open.

void ShowHelpTopics(Dialogs& dialogs, const std::filesystem::path&) {
    dialogs.showHelp("mv3help");
}

void ShowTutorial(Dialogs& dialogs, const std::filesystem::path&) {
    dialogs.showHelp("mv3tutorial");
}

void OpenManual(Dialogs& dialogs, const std::filesystem::path& programFolder) {
    dialogs.openDocument(
        QString::fromStdString((programFolder / "Marovane Docs" / "mvfront.pdf").string()));
}

void RunCompanion(Dialogs& dialogs, const std::filesystem::path& programFolder) {
    dialogs.openDocument(QString::fromStdString((programFolder / "mv3").string()));
}

void ShowContextHelp(Dialogs& dialogs, int contextId) {
    dialogs.showHelp(QString::number(contextId));
}

void ShowAboutBox(QWidget*) {}

} // namespace mv
