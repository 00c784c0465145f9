#include "support/scripted_reactions.h"

#include "support/loopback_server.h"

void ScriptedReactions::On(const std::string& command, Reaction reaction) {
    std::lock_guard lock(m_mutex);
    m_reactions.emplace_back(command, std::move(reaction));
}

std::optional<Reaction> ScriptedReactions::Find(const std::string& command) {
    std::lock_guard lock(m_mutex);
    for (auto entry = m_reactions.begin(); entry != m_reactions.end(); ++entry) {
        const std::string& prefix = entry->first;
        if (command != prefix && command.rfind(prefix + " ", 0) != 0)
            continue;
        Reaction reaction = entry->second;
        if (reaction.once)
            m_reactions.erase(entry);
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

void ServeCommands(ServerConnection& connection, ScriptedReactions& script,
                   const std::function<bool(const std::string& command)>& answer) {
    while (auto command = connection.ReadLine()) {
        script.Record(*command);
        if (auto reaction = script.Find(*command)) {
            if (reaction->kind == Reaction::Stall)
                return connection.Stall();
            if (reaction->kind == Reaction::Drop)
                return connection.Close();
            connection.SendLine(reaction->text);
            continue;
        }
        if (!answer(*command))
            return;
    }
}
