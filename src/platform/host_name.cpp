#include "platform/host_name.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include <netdb.h>
#include <unistd.h>

namespace {

bool IsQualifiedName(const std::string& name) {
    if (name.find('.') == std::string::npos || name.front() == '.' || name.back() == '.' ||
        name.find("..") != std::string::npos)
        return false;
    if (name.rfind("localhost", 0) == 0)
        return false;
    return std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) || c == '-' || c == '.'; });
}

std::string CanonicalName(const std::string& host) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return {};
    std::string name = found->ai_canonname ? found->ai_canonname : "";
    ::freeaddrinfo(found);
    return name;
}

std::string LookUpQualifiedName() {
    char buffer[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0 || buffer[0] == '\0')
        return {};
    std::string host = buffer;
    if (IsQualifiedName(host))
        return host;
    std::string canonical = CanonicalName(host);
    return IsQualifiedName(canonical) ? canonical : std::string();
}

} // namespace

std::string FullyQualifiedHostName() {
    // Looked up once: the resolver may wait on the network, and the name
    // does not change while the program runs.
    static const std::string name = LookUpQualifiedName();
    return name;
}
