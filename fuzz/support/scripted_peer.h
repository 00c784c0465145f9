#pragma once

#include <atomic>
#include <string>
#include <thread>

// The far end of a session under fuzzing: a TCP listener on 127.0.0.1 that,
// for each Serve, accepts one connection, sends the given bytes, closes its
// sending side and reads whatever the client says until it closes. The
// client code then sees a server that answers with exactly those bytes.
class ScriptedPeer {
public:
    ScriptedPeer();
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    int Port() const { return m_port; }
    // Starts serving one connection with bytes; Finish waits until it ended.
    void Serve(std::string bytes);
    // Returns what the client sent. Also ends a Serve whose client never
    // connected.
    std::string Finish();

private:
    void Run();
    void Converse(int fd);

    int m_listener = -1;
    int m_port = 0;
    std::string m_bytes;
    std::string m_heard;
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};
