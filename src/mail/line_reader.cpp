#include "mail/line_reader.h"

#include <cstring>

bool LineReader::Next(std::string_view& line) {
    if (m_position >= m_text.size()) {
        return false;
    }
    const char* start = m_text.data() + m_position;
    size_t remaining = m_text.size() - m_position;
    const void* found = std::memchr(start, '\n', remaining);
    size_t length = found ? static_cast<size_t>(static_cast<const char*>(found) - start) : remaining;
    m_position += found ? length + 1 : length;
    if (found && length > 0 && start[length - 1] == '\r') {
        --length;
    }
    line = std::string_view(start, length);
    return true;
}
