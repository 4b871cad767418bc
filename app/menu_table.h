#pragma once
// The main window's menus as data: one row per entry, in menu order, parents before their
// children. A row names a submenu (with its caption), a separator, or a registered command,
// whose action (caption, shortcut, check mark, enabled state) the menu shows as it is.

#include <QString>

#include <functional>
#include <vector>

namespace mv {

class Application;

struct MenuEntry {
    QString name;    // a command's name, or a submenu's or separator's object name
    QString caption; // a submenu's caption with its access key; "-" for a separator; empty for
                     // a command, which has its own
    QString parent;  // the submenu's name; empty for the menu bar

    bool isSeparator() const { return caption == "-"; }
    bool isCommand() const { return caption.isEmpty(); }
};

// Registers the main window's own commands (the companion program, Exit, the manual, About);
// `quit` ends the program.
void RegisterMainWindowCommands(Application& app, std::function<void()> quit);
// Every entry in menu order.
std::vector<MenuEntry> MenuTable();

} // namespace mv
