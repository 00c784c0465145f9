#include "cli/terminal_input.h"

#include <cerrno>
#include <chrono>
#include <istream>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace {

std::string WithoutCarriageReturn(std::string line) {
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace

std::optional<std::string> DescriptorInput::TakeLine() {
    size_t end = m_buffer.find('\n');
    if (end == std::string::npos)
        return std::nullopt;
    std::string line = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    return WithoutCarriageReturn(line);
}

std::optional<std::string> DescriptorInput::ReadLine(int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (auto line = TakeLine())
            return line;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        if (m_ended) {
            std::this_thread::sleep_for(left);
            return std::nullopt;
        }
        pollfd watched{m_fd, POLLIN, 0};
        int ready = ::poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR)
            m_ended = true;
        if (ready <= 0)
            continue;
        char buffer[1024];
        ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A last line without its line end still counts.
            m_ended = true;
            if (!m_buffer.empty()) {
                std::string line = WithoutCarriageReturn(m_buffer);
                m_buffer.clear();
                return line;
            }
            continue;
        }
        m_buffer.append(buffer, static_cast<size_t>(n));
    }
}

std::optional<std::string> StreamInput::ReadLine(int) {
    std::string line;
    if (m_ended || !std::getline(m_in, line)) {
        m_ended = true;
        return std::nullopt;
    }
    return WithoutCarriageReturn(line);
}
