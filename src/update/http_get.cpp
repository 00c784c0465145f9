#include "update/http_get.h"

#include "platform/mail_transport_error.h"
#include "platform/tcp_socket.h"
#include "records/text_helpers.h"

#include <charconv>
#include <cstdlib>
#include <sstream>

namespace {

constexpr std::size_t BlockSize = 1025;
constexpr int MaxHeaderLines = 100;

bool ParsePort(std::string_view text, int& port) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    return error == std::errc() && end == text.data() + text.size() && port > 0 && port < 65536;
}

// Whether "no_proxy" (comma-separated host names or domain suffixes, or
// "*") keeps the host off the proxy.
bool BypassesProxy(const std::string& host) {
    const char* value = std::getenv("no_proxy");
    if (!value)
        value = std::getenv("NO_PROXY");
    if (!value)
        return false;
    std::stringstream list(value);
    for (std::string entry; std::getline(list, entry, ',');) {
        entry = LowerAscii(Trim(entry));
        if (entry == "*" || entry == LowerAscii(host))
            return true;
        if (!entry.empty() && entry[0] != '.')
            entry = "." + entry;
        if (entry.size() > 1 && LowerAscii(host).ends_with(entry))
            return true;
    }
    return false;
}

std::optional<HttpAddress> ProxyFor(const HttpAddress& target) {
    const char* value = std::getenv("http_proxy");
    if (!value || !*value || BypassesProxy(target.Host))
        return std::nullopt;
    std::string proxy = value;
    if (proxy.find("://") == std::string::npos)
        proxy = "http://" + proxy;
    return ParseHttpAddress(proxy);
}

// The status line's code, 0 when it is no HTTP status line.
int StatusCode(const std::string& line) {
    if (!line.starts_with("HTTP/") || line.size() < 12)
        return 0;
    int code = 0;
    std::from_chars(line.data() + 9, line.data() + 12, code);
    return code;
}

std::optional<long long> ContentLength(const std::string& line) {
    std::string name = LowerAscii(TextBefore(line, ":"));
    if (Trim(name) != "content-length" || line.find(':') == std::string::npos)
        return std::nullopt;
    std::string value = Trim(line.substr(line.find(':') + 1));
    long long length = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), length);
    if (error != std::errc() || end != value.data() + value.size() || length < 0)
        return std::nullopt;
    return length;
}

} // namespace

std::optional<HttpAddress> ParseHttpAddress(const std::string& address) {
    std::string rest = address;
    if (LowerAscii(rest.substr(0, 7)) == "http://")
        rest = rest.substr(7);
    else if (rest.find("://") != std::string::npos)
        return std::nullopt;
    HttpAddress parsed;
    std::size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    if (slash != std::string::npos)
        parsed.Path = rest.substr(slash);
    std::size_t colon = authority.rfind(':');
    if (colon != std::string::npos && authority.find(']', colon) == std::string::npos) {
        if (!ParsePort(std::string_view(authority).substr(colon + 1), parsed.Port))
            return std::nullopt;
        authority = authority.substr(0, colon);
    }
    if (authority.size() > 2 && authority.front() == '[' && authority.back() == ']')
        authority = authority.substr(1, authority.size() - 2);
    // Spaces or line breaks would let a page inject into the request.
    if (authority.empty() || authority.find_first_of(" \t\r\n@") != std::string::npos ||
        parsed.Path.find_first_of(" \t\r\n") != std::string::npos)
        return std::nullopt;
    parsed.Host = authority;
    return parsed;
}

HttpGetResult HttpGet(const std::string& address, long long limit, int timeoutMs, const HttpBodySink& sink) {
    HttpGetResult result;
    std::optional<HttpAddress> target = ParseHttpAddress(address);
    if (!target) {
        result.Error = "Not an http address: " + address;
        return result;
    }
    std::optional<HttpAddress> proxy = ProxyFor(*target);
    const HttpAddress& peer = proxy ? *proxy : *target;
    std::string hostHeader = target->Host + (target->Port == 80 ? "" : ":" + std::to_string(target->Port));
    try {
        TcpSocket socket;
        socket.SetReadTimeout(timeoutMs);
        socket.Connect(peer.Host, peer.Port, timeoutMs);
        socket.WriteLine("GET " + (proxy ? "http://" + hostHeader + target->Path : target->Path) + " HTTP/1.0");
        socket.WriteLine("Host: " + hostHeader);
        socket.WriteLine("User-Agent: TmxWebUpdate");
        socket.WriteLine("Pragma: no-cache");
        socket.WriteLine("Cache-Control: no-cache");
        socket.WriteLine("");
        int status = StatusCode(socket.ReadLine());
        for (int lines = 0;; ++lines) {
            std::string line = socket.ReadLine();
            if (line.empty())
                break;
            if (lines == MaxHeaderLines)
                throw MailTransportError("Too many header lines.");
            if (auto length = ContentLength(line))
                result.Length = length;
        }
        if (status != 200)
            throw MailTransportError("HTTP status " + std::to_string(status) + ".");
        if (result.Length && *result.Length > limit)
            throw MailTransportError("The file is larger than " + std::to_string(limit) + " bytes.");
        char block[BlockSize];
        while (std::size_t count = socket.ReadBlock(block, sizeof block)) {
            // Counted only once accepted, so Received is what the sink was given.
            long long received = result.Received + static_cast<long long>(count);
            if (received > limit || (result.Length && received > *result.Length))
                throw MailTransportError("More data than announced or allowed.");
            result.Received = received;
            if (!sink(std::string_view(block, count), result.Received, result.Length)) {
                result.Error = "Cancelled.";
                return result;
            }
        }
    } catch (const MailTransportError& error) {
        result.Error = error.what();
        return result;
    }
    if (result.Length && result.Received != *result.Length) {
        result.Error = "The transfer ended early.";
        return result;
    }
    result.Complete = true;
    return result;
}
