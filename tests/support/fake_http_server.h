#pragma once

#include "support/loopback_server.h"

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// An HTTP/1.0 server on loopback for the update check: each path answers
// with a scripted response; every request is recorded (request line and
// headers). Unknown paths get 404.
class FakeHttpServer {
public:
    struct Response {
        Response(int status = 200, std::string body = {}, std::optional<long long> length = std::nullopt,
                 bool announceLength = true, bool stallHalfway = false)
            : Status(status), Body(std::move(body)), Length(length), AnnounceLength(announceLength),
              StallHalfway(stallHalfway) {}

        int Status = 200;
        std::string Body;
        // The announced length: the body's size, another number, or none.
        std::optional<long long> Length;
        bool AnnounceLength = true;
        // Sends the first half of the body, then waits for the client to
        // give up (a download to cancel).
        bool StallHalfway = false;
    };

    FakeHttpServer();
    ~FakeHttpServer() { m_server.Stop(); }

    void On(const std::string& path, Response response);
    int Port() const { return m_server.Port(); }
    std::string Address(const std::string& path) const;
    // "GET /path HTTP/1.0" and the header lines, per request.
    std::vector<std::vector<std::string>> Requests() const;

private:
    void Serve(ServerConnection& connection);

    mutable std::mutex m_mutex;
    std::map<std::string, Response> m_responses;
    std::vector<std::vector<std::string>> m_requests;
    LoopbackServer m_server;
};
