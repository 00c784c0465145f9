#include "records/text_helpers.h"

#include <algorithm>

namespace {

// Deletes `remove` characters at the first occurrence of pattern, for as
// long as one is found; the search resumes just before the last cut.
void CollapseRepeated(std::string& text, const std::string& pattern, size_t remove) {
    size_t from = 0;
    for (size_t at = text.find(pattern, from); at != std::string::npos; at = text.find(pattern, from)) {
        text.erase(at, remove);
        from = at >= pattern.size() ? at - pattern.size() : 0;
    }
}

} // namespace

std::string RemoveBlankLines(std::string text) {
    CollapseRepeated(text, "\r\n\r\n", 2);
    CollapseRepeated(text, "\r\r", 1);
    CollapseRepeated(text, "\n\n", 1);
    return text;
}

std::pair<std::string, std::string> SplitCommandLine(const std::string& command) {
    size_t exe = UpperAscii(command).find(".EXE");
    if (exe != std::string::npos) {
        std::string program = command.substr(0, exe + 4);
        program.erase(std::remove(program.begin(), program.end(), '"'), program.end());
        std::string parameters = exe + 5 < command.size() ? command.substr(exe + 5) : std::string();
        return {program, Trim(parameters)};
    }
    bool quoted = false;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '"') {
            quoted = !quoted;
        } else if (command[i] == ' ' && !quoted) {
            std::string program = command.substr(0, i);
            program.erase(std::remove(program.begin(), program.end(), '"'), program.end());
            return {program, Trim(command.substr(i + 1))};
        }
    }
    return {command, std::string()};
}

std::string TextBefore(const std::string& text, const std::string& delimiter) {
    size_t at = text.find(delimiter);
    return at == std::string::npos ? text : text.substr(0, at);
}

std::string Trim(const std::string& text) {
    size_t first = 0;
    while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ')
        ++first;
    size_t last = text.size();
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ')
        --last;
    return text.substr(first, last - first);
}

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && LowerAscii(a) == LowerAscii(b);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    return text;
}

std::string JoinWith(const std::vector<std::string>& lines, const std::string& separator) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += separator;
        text += lines[i];
    }
    return text;
}

bool HoldsLineBreak(const std::string& text) {
    return text.find_first_of("\r\n") != std::string::npos;
}
