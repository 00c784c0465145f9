#pragma once

// A stand-in for a distant server: forwards each TCP connection made to its
// own loopback port to a loopback target port, holding every chunk for a
// fixed delay in each direction. Chunks keep their order and do not wait for
// one another, so a round trip costs twice the delay however much is in
// flight, as on a long line.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

class DelayingProxy {
public:
    DelayingProxy(int targetPort, std::chrono::milliseconds delay);
    // Stops accepting and waits for the open connections to end.
    ~DelayingProxy();
    DelayingProxy(const DelayingProxy&) = delete;
    DelayingProxy& operator=(const DelayingProxy&) = delete;

    int Port() const { return m_port; }

private:
    void Accept();
    void Serve(int client);

    int m_targetPort;
    std::chrono::milliseconds m_delay;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::vector<std::thread> m_connections;
    std::thread m_acceptor;
};
