#include "records/ini_document.h"

#include "platform/atomic_file.h"
#include "records/text_helpers.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {

const std::string Utf8ByteOrderMark = "\xEF\xBB\xBF";

// A value must stay on its line, or it could forge keys and sections.
std::string OneLine(std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    return value;
}

// The whole file, or empty when it does not exist; any other failure raises,
// so that a later save cannot replace a file that was never read.
std::string ReadFileOrNothing(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        throw std::runtime_error("Cannot read file " + path + ": " + std::strerror(errno));
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            int error = errno;
            ::close(fd);
            throw std::runtime_error("Cannot read file " + path + ": " + std::strerror(error));
        }
        if (got == 0)
            break;
        content.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return content;
}

} // namespace

std::optional<int> ParseIniInteger(const std::string& text) {
    std::string number = Trim(text);
    if (number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X')) {
        const char* first = number.data() + 2;
        const char* last = number.data() + number.size();
        if (last - first > 8)
            return std::nullopt;
        uint32_t bits = 0;
        auto [end, error] = std::from_chars(first, last, bits, 16);
        if (error != std::errc() || end != last)
            return std::nullopt;
        return static_cast<int>(bits);
    }
    const char* first = number.data();
    const char* last = number.data() + number.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int value = 0;
    auto [end, error] = std::from_chars(first, last, value, 10);
    if (first == last || error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

IniDocument::Line IniDocument::ParseLine(const std::string& text, bool firstLine) {
    Line line;
    line.text = text;
    std::string content = text;
    if (firstLine && content.compare(0, Utf8ByteOrderMark.size(), Utf8ByteOrderMark) == 0)
        content.erase(0, Utf8ByteOrderMark.size());
    content = Trim(content);
    if (content.empty() || content[0] == ';' || content[0] == '#')
        return line;
    if (content[0] == '[') {
        size_t close = content.find(']');
        if (close != std::string::npos) {
            line.kind = Line::Section;
            line.name = Trim(content.substr(1, close - 1));
        }
        return line;
    }
    size_t equals = content.find('=');
    if (equals == std::string::npos || equals == 0)
        return line;
    line.kind = Line::Key;
    line.name = Trim(content.substr(0, equals));
    line.value = Trim(content.substr(equals + 1));
    return line;
}

void IniDocument::LoadFromFile(const std::string& path) {
    LoadFromText(ReadFileOrNothing(path));
}

void IniDocument::LoadFromText(const std::string& text) {
    m_lines.clear();
    for (const std::string& line : SplitLines(text))
        m_lines.push_back(ParseLine(line, m_lines.empty()));
}

void IniDocument::SaveToFile(const std::string& path) const {
    ReplaceFileAtomically(path, Text());
}

std::string IniDocument::Text() const {
    std::string text;
    for (const Line& line : m_lines)
        text += line.text + "\r\n";
    return text;
}

int IniDocument::FindSection(const std::string& section) const {
    for (size_t i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Line::Section && SameText(m_lines[i].name, section))
            return static_cast<int>(i);
    return -1;
}

int IniDocument::FindKey(int sectionLine, const std::string& key) const {
    for (size_t i = static_cast<size_t>(sectionLine) + 1; i < m_lines.size() && m_lines[i].kind != Line::Section; ++i)
        if (m_lines[i].kind == Line::Key && SameText(m_lines[i].name, key))
            return static_cast<int>(i);
    return -1;
}

const IniDocument::Line* IniDocument::FindValue(const std::string& section, const std::string& key) const {
    int sectionLine = FindSection(section);
    if (sectionLine < 0)
        return nullptr;
    int keyLine = FindKey(sectionLine, key);
    return keyLine < 0 ? nullptr : &m_lines[static_cast<size_t>(keyLine)];
}

std::string IniDocument::ReadString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) const {
    const Line* line = FindValue(section, key);
    return line ? line->value : defaultValue;
}

int IniDocument::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const {
    const Line* line = FindValue(section, key);
    if (!line)
        return defaultValue;
    return ParseIniInteger(line->value).value_or(defaultValue);
}

bool IniDocument::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniDocument::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    std::string written = OneLine(value);
    int sectionLine = FindSection(section);
    if (sectionLine < 0) {
        m_lines.push_back(ParseLine("[" + section + "]", m_lines.empty()));
        m_lines.push_back(ParseLine(key + "=" + written, false));
        return;
    }
    int keyLine = FindKey(sectionLine, key);
    if (keyLine >= 0) {
        Line& line = m_lines[static_cast<size_t>(keyLine)];
        // An unchanged value keeps the line exactly as the user wrote it.
        if (line.value != written)
            line = ParseLine(line.name + "=" + written, false);
        return;
    }
    size_t insertAt = static_cast<size_t>(sectionLine) + 1;
    for (size_t i = insertAt; i < m_lines.size() && m_lines[i].kind != Line::Section; ++i)
        if (m_lines[i].kind == Line::Key)
            insertAt = i + 1;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), ParseLine(key + "=" + written, false));
}

void IniDocument::WriteInteger(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, std::to_string(value));
}

void IniDocument::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

bool IniDocument::SectionExists(const std::string& section) const {
    return FindSection(section) >= 0;
}

std::vector<std::string> IniDocument::SectionNames() const {
    std::vector<std::string> names;
    for (const Line& line : m_lines)
        if (line.kind == Line::Section)
            names.push_back(line.name);
    return names;
}

bool IniDocument::ValueExists(const std::string& section, const std::string& key) const {
    return FindValue(section, key) != nullptr;
}

std::vector<std::string> IniDocument::KeyNames(const std::string& section) const {
    std::vector<std::string> names;
    int sectionLine = FindSection(section);
    if (sectionLine < 0)
        return names;
    for (size_t i = static_cast<size_t>(sectionLine) + 1; i < m_lines.size() && m_lines[i].kind != Line::Section; ++i)
        if (m_lines[i].kind == Line::Key && FindKey(sectionLine, m_lines[i].name) == static_cast<int>(i))
            names.push_back(m_lines[i].name);
    return names;
}
