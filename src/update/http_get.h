#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The update check's HTTP: one HTTP/1.0 GET over the socket layer (so the
// event pump runs while it waits), with the agent "TmxWebUpdate", through the
// proxy of the environment's "http_proxy" unless "no_proxy" names the host.

// An "http://" address: host, optional ":port" (80 otherwise), path.
struct HttpAddress {
    std::string Host;
    int Port = 80;
    std::string Path = "/";
};
// Nothing for an address of another scheme or without a host.
std::optional<HttpAddress> ParseHttpAddress(const std::string& address);

struct HttpGetResult {
    bool Complete = false;           // status 200 and the whole body arrived
    std::optional<long long> Length; // Content-Length, when announced
    long long Received = 0;
    std::string Error; // why it is not complete
};

// One body block (at most 1025 bytes) as it arrives, with the bytes received
// so far and the announced length; false stops the transfer (Cancel).
using HttpBodySink = std::function<bool(std::string_view block, long long received, std::optional<long long> length)>;

// Fetches address. A body longer than limit (announced or received) is
// refused; so is a body shorter than its announced length. Transport errors
// end the transfer with their text; nothing is raised.
HttpGetResult HttpGet(const std::string& address, long long limit, int timeoutMs, const HttpBodySink& sink);
