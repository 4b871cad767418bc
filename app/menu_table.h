#pragma once
// The main window's menus as data: one row per entry with its object name, caption and access
// key, parent, shortcut, what it runs and predicates for its check mark and enabled state over
// the plain state. The main window builds its menu bar from the rows and sets every check mark
// and enabled state from the predicates after every command and before a menu opens, so a mark
// can never disagree with the state, whichever way the state was changed.

#include <QKeySequence>
#include <QString>

#include <functional>
#include <vector>

namespace mv {

class Application;

struct MenuEntry {
    QString name;    // the QAction's object name: "mnuRange(7)", "mnuFileSeparator1"
    QString caption; // with its access key; "-" for a separator line
    QString parent;  // the submenu's name; empty for the menu bar
    QKeySequence shortcut = {};
    std::function<void()> run = {};     // empty for a submenu or a separator
    std::function<bool()> checked = {}; // empty: no check mark
    std::function<bool()> enabled = {}; // empty: always enabled
    QString group = {};                 // exclusive group: one entry of it checked at a time

    bool isSeparator() const { return caption == "-"; }
};

// Every entry in menu order, parents before their children. `quit` ends the program.
std::vector<MenuEntry> MenuTable(Application& app, std::function<void()> quit);

} // namespace mv
