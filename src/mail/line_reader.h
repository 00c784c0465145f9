#pragma once

#include <cstddef>
#include <string_view>

// Walks a message text line by line without copying. Lines end with CR LF or
// a bare LF (the terminator is not part of the line); a last line without a
// terminator is still a line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    // Gives the next line; false at the end of the text.
    bool Next(std::string_view& line);
    bool AtEnd() const { return m_position >= m_text.size(); }

private:
    std::string_view m_text;
    size_t m_position = 0;
};
