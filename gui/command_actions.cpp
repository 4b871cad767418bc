#include "gui/command_actions.h"

#include "gui/button_faces.h"
#include "session/command_registry.h"
#include "session/exercise.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QPushButton>

namespace mv {

CommandActions::CommandActions(Exercise& exercise, QObject* owner)
    : QObject(owner), registry_(exercise.commands()), owner_(owner) {
    connect(&exercise, &Exercise::changed, this, &CommandActions::Refresh);
}

QAction* CommandActions::action(const QString& name) {
    if (const auto it = actions_.find(name); it != actions_.end()) return it->second;
    const Command* c = registry_.find(name);
    if (!c) return nullptr;
    auto* a = new QAction(c->caption, owner_);
    a->setObjectName(c->name);
    // "Quit" is the platform's own key for it (Ctrl+Q here, Cmd+Q on a Mac).
    if (c->shortcut == "Quit")
        a->setShortcut(QKeySequence(QKeySequence::Quit));
    else if (!c->shortcut.isEmpty())
        a->setShortcut(QKeySequence(c->shortcut));
    a->setCheckable(static_cast<bool>(c->checked));
    if (!c->group.isEmpty()) {
        QActionGroup*& g = groups_[c->group];
        if (!g) g = new QActionGroup(owner_);
        g->addAction(a);
    }
    connect(a, &QAction::triggered, this, [this, name] {
        if (!registry_.Trigger(name)) Refresh();
    });
    actions_.emplace(name, a);
    followed_.emplace_back(c, a);
    Follow(*c, a);
    return a;
}

void CommandActions::Follow(const Command& c, QAction* a) {
    if (c.checked) a->setChecked(c.checked());
    if (c.enabled) a->setEnabled(c.enabled());
    // An empty tip is the caption again, as for every other entry.
    if (!c.disabledTip.isEmpty()) a->setToolTip(a->isEnabled() ? QString() : c.disabledTip);
}

void CommandActions::Refresh() {
    for (const auto& [c, a] : followed_)
        Follow(*c, a);
}

void CommandActions::Bind(QAbstractButton* button, QAction* action, bool showState) {
    if (!button || !action) return;
    if (auto* push = qobject_cast<QPushButton*>(button); push && action->isCheckable()) {
        push->setCheckable(showState);
        if (showState) push->setIcon(StateLampIcon());
    }
    const auto follow = [button, action] {
        button->setEnabled(action->isEnabled());
        if (button->isCheckable()) button->setChecked(action->isChecked());
    };
    // Clicked, not toggled: an option clicked when already chosen runs its command again.
    connect(button, &QAbstractButton::clicked, action, [action] { action->trigger(); });
    connect(action, &QAction::changed, button, follow);
    connect(action, &QAction::toggled, button, follow);
    follow();
}

} // namespace mv
