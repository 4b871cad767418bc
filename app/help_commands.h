#pragma once
// The Help menu's commands and context help: help topics, tutorial, manual, companion program
// and about box. Documents are found in the folder "Marovane Docs" beside the program.

#include <QString>

#include <filesystem>

class QWidget;

namespace mv {

class Dialogs;

void ShowHelpTopics(Dialogs& dialogs, const std::filesystem::path& programFolder);
void ShowTutorial(Dialogs& dialogs, const std::filesystem::path& programFolder);
// "Can't open manual" when the manual is missing, and a word on the PDF viewer when no
// program on this desktop takes it.
void OpenManual(Dialogs& dialogs, const std::filesystem::path& programFolder);
// "Can't run MV3" when the companion program is missing.
void RunCompanion(Dialogs& dialogs, const std::filesystem::path& programFolder);
// The companion program "mv3" beside the program (with ".exe" on Windows).
QString CompanionPath(const std::filesystem::path& programFolder);
// The companion program is there to run: its menu entry is greyed, with kNoCompanionTip, when
// it is not.
bool CompanionInstalled(const std::filesystem::path& programFolder);
inline constexpr const char* kNoCompanionTip =
    "Marovane 3 is a separate program and is not installed beside this one";
inline constexpr const char* kNoPdfViewerText =
    "No program to show PDF files is installed. Install a PDF viewer (such as Evince or "
    "Okular) and choose Radar Navigation Manual again; the manual is the file ";
// The page of a control's help context number, for the help key (F1). A number without a
// page of its own opens the first page. So does 0 (the control carries none), unless
// `contentsFolder` names the program folder: then 0 opens the help topics' contents, as the
// Help menu does.
void ShowContextHelp(Dialogs& dialogs, int contextId,
                     const std::filesystem::path* contentsFolder = nullptr);
// The help key: the page of the focused control, or of the nearest window around it.
void ShowFocusHelp(Dialogs& dialogs, const QWidget* focus);
// "About Marovane", modal over `parent`.
void ShowAboutBox(QWidget* parent);

} // namespace mv
