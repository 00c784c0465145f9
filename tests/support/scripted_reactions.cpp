#include "support/scripted_reactions.h"

void ScriptedReactions::On(const std::string& command, Reaction reaction) {
    std::lock_guard lock(m_mutex);
    m_reactions.emplace_back(command, std::move(reaction));
}

std::optional<Reaction> ScriptedReactions::Find(const std::string& command) const {
    std::lock_guard lock(m_mutex);
    for (const auto& [prefix, reaction] : m_reactions) {
        if (command == prefix || command.rfind(prefix + " ", 0) == 0)
            return reaction;
    }
    return std::nullopt;
}

void ScriptedReactions::Record(const std::string& command) {
    std::lock_guard lock(m_mutex);
    m_commands.push_back(command);
}

std::vector<std::string> ScriptedReactions::Commands() const {
    std::lock_guard lock(m_mutex);
    return m_commands;
}
