#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// How a fake server answers a command a test has scripted: with a given
// reply, by saying nothing, or by dropping the connection.
struct Reaction {
    enum Kind { Reply, Stall, Drop };
    Kind kind = Reply;
    std::string text;
    // Applies to the first matching command only.
    bool once = false;

    static Reaction Answer(std::string reply) { return {Reply, std::move(reply)}; }
    static Reaction Silence() { return {Stall, {}}; }
    static Reaction Disconnect() { return {Drop, {}}; }
    Reaction Once() const {
        Reaction copy = *this;
        copy.once = true;
        return copy;
    }
};

// The scripted reactions of a fake server and the commands it received,
// shared between the test and the server's thread.
class ScriptedReactions {
public:
    // Commands equal to command, or beginning with command and a space, get
    // this reaction instead of the fake's normal answer ("DELE" matches every
    // DELE, "DELE 3" only that one). The first matching entry wins.
    void On(const std::string& command, Reaction reaction);
    std::optional<Reaction> Find(const std::string& command);

    void Record(const std::string& command);
    std::vector<std::string> Commands() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<std::string, Reaction>> m_reactions;
    std::vector<std::string> m_commands;
};

class ServerConnection;

// The command loop of a fake server: records every command, applies the
// scripted reaction when there is one, and otherwise lets answer reply (a
// false answer ends the connection).
void ServeCommands(ServerConnection& connection, ScriptedReactions& script,
                   const std::function<bool(const std::string& command)>& answer);
