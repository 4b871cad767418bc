#pragma once
// One QAction per registered command, made when first asked for: its trigger runs the command
// through the registry, and after every change of the exercise every action's check mark and
// enabled state is set from its predicates, so a menu entry, a console button and a shortcut
// agree at every moment, whether or not a menu has been opened.

#include <QObject>
#include <QString>

#include <map>
#include <utility>
#include <vector>

class QAbstractButton;
class QAction;
class QActionGroup;

namespace mv {

class CommandRegistry;
class Exercise;
struct Command;

class CommandActions : public QObject {
    Q_OBJECT
  public:
    // The actions are children of `owner`, so that a window finds them by name.
    CommandActions(Exercise& exercise, QObject* owner);

    // The action of a registered command; null for a name that is not registered.
    QAction* action(const QString& name);
    // Every check mark and enabled state from its predicate.
    void Refresh();

    // A button as a second view of an action: a click triggers the action, and the button is
    // enabled (and, when it can be checked, checked) as the action is. Its caption stays its own.
    // A push button of an on/off command shows whether it is on, as the menu's check mark
    // does: it is held in and its lamp lit; `showState` false leaves it a plain button (one
    // whose caption already says the state).
    static void Bind(QAbstractButton* button, QAction* action, bool showState = true);

  private:
    // The action's check mark, enabled state and, when greyed, the tip saying why.
    static void Follow(const Command& command, QAction* action);

    CommandRegistry& registry_;
    QObject* owner_;
    std::map<QString, QAction*> actions_;
    // Each action beside its command, for the refresh after every change: the registry keeps
    // a command where it was first added (a second add replaces it in place) and never drops
    // one, so the pointer holds, and a refresh need not look every name up again.
    std::vector<std::pair<const Command*, QAction*>> followed_;
    std::map<QString, QActionGroup*> groups_;
};

} // namespace mv
