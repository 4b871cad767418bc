#pragma once
// Every command of the program, registered once by name: its caption with its access key, its
// shortcut, what it runs and the predicates of its check mark and enabled state over the plain
// state. A menu entry and a console button are two views of one command; running a command by
// its name is what a click on either does, followed by one change notification, so that every
// view of every command shows the state as it now is.

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace mv {

class Exercise;

struct Command {
    // The object name of the command's action: the menu entry's design name ("mnuRangeRings",
    // "mnuRange(7)"), or "act..." for a command that only a console button gives.
    QString name;
    QString caption;  // with its access key: "R&ange Rings"
    QString shortcut; // portable text: "Ctrl+R"; "Quit" for the platform's own; empty for none
    std::function<void()> run;
    std::function<bool()> checked = {}; // empty: no check mark
    std::function<bool()> enabled = {}; // empty: always enabled
    QString group = {};                 // exclusive group: one of them checked at a time
    QString disabledTip = {};           // why the command is greyed, shown on hovering it
};

class CommandRegistry {
  public:
    explicit CommandRegistry(Exercise& exercise) : exercise_(exercise) {}

    // A command added twice under one name replaces the first.
    void add(Command command);
    const Command* find(const QString& name) const;
    const std::vector<std::unique_ptr<Command>>& commands() const { return commands_; }
    // Runs the command, then the exercise says once that the state changed. False for a name
    // that is not registered or a command that is disabled now.
    bool Trigger(const QString& name);

  private:
    Exercise& exercise_;
    std::vector<std::unique_ptr<Command>> commands_;
};

} // namespace mv
