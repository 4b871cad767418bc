#include "session/command_registry.h"

#include "session/exercise.h"

#include <algorithm>

namespace mv {

void CommandRegistry::add(Command command) {
    const auto same = [&](const std::unique_ptr<Command>& c) { return c->name == command.name; };
    const auto it = std::find_if(commands_.begin(), commands_.end(), same);
    if (it != commands_.end())
        **it = std::move(command);
    else
        commands_.push_back(std::make_unique<Command>(std::move(command)));
}

const Command* CommandRegistry::find(const QString& name) const {
    for (const auto& c : commands_)
        if (c->name == name) return c.get();
    return nullptr;
}

bool CommandRegistry::Trigger(const QString& name) {
    const Command* c = find(name);
    if (!c || !c->run || (c->enabled && !c->enabled())) return false;
    const Exercise::ChangeScope change(exercise_);
    c->run();
    return true;
}

} // namespace mv
