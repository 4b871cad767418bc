#pragma once
// Where help lives and which page answers which control. The compiled help files and the
// manual sit in the documents folder beside the program, so help works wherever the program
// was started from. A help topic is addressed as the help file, "::html/" and the page name.

#include <QString>

#include <filesystem>
#include <utility>
#include <vector>

class QWidget;

namespace mv {

inline constexpr const char* kDocsFolder = "Marovane Docs";
inline constexpr const char* kHelpTopicsFile = "mv3help.qch";
inline constexpr const char* kTutorialFile = "mv3tutorial.qch";
inline constexpr const char* kManualFile = "mvfront.pdf";
inline constexpr const char* kTopicSeparator = "::html/";

// The documents folder and its files for a program folder.
QString DocsPath(const std::filesystem::path& programFolder, const QString& file);
// A page of the help topics in the running program's program folder.
QString HelpTopic(const QString& page);

// The page that explains a control's help context number; empty for a number nobody uses.
QString ContextHelpPage(int contextId);
// Every context number the program carries, with its page.
const std::vector<std::pair<int, QString>>& ContextHelpPages();
// The console's controls and their numbers, by object name.
const std::vector<std::pair<QString, int>>& ConsoleHelpContexts();

// Gives every control below `root` that is named in the console's table its number (as the
// `helpContext` property that the help key reads).
void SetHelpContexts(QWidget* root);
// The number of the widget or of the nearest window around it that carries one; 0 for none.
int HelpContextOf(const QWidget* widget);

} // namespace mv
