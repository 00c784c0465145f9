#include "mail/header_lines.h"

#include <algorithm>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

bool IsContinuationLine(std::string_view line) {
    return !line.empty() && IsBlank(line.front());
}

bool IsHeaderNamed(std::string_view line, std::string_view name) {
    if (name.empty() || line.size() <= name.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if (LowerChar(line[i]) != LowerChar(name[i])) {
            return false;
        }
    }
    size_t position = name.size();
    while (position < line.size() && IsBlank(line[position])) {
        ++position;
    }
    return position < line.size() && line[position] == ':';
}

int FindHeaderLine(const std::vector<std::string>& lines, std::string_view name) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!IsContinuationLine(lines[i]) && IsHeaderNamed(lines[i], name)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

size_t HeaderLineSpan(const std::vector<std::string>& lines, size_t index) {
    size_t end = index + 1;
    while (end < lines.size() && IsContinuationLine(lines[end])) {
        ++end;
    }
    return end - index;
}

std::string UnfoldedHeaderValue(const std::vector<std::string>& lines, size_t index) {
    std::string_view first = lines[index];
    size_t colon = first.find(':');
    std::string value(colon == std::string_view::npos ? std::string_view() : first.substr(colon + 1));
    size_t span = HeaderLineSpan(lines, index);
    for (size_t i = index + 1; i < index + span; ++i) {
        value += ' ';
        value += TrimBlanks(lines[i]);
    }
    return std::string(TrimBlanks(value));
}

std::string HeaderFieldName(std::string_view line) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return std::string();
    }
    return std::string(TrimBlanks(line.substr(0, colon)));
}

void AppendFoldedHeaderLine(std::string_view line, std::vector<std::string>& lines, size_t width) {
    // Never break inside the field name: the first break may come at the blank after "Name:".
    size_t colon = line.find(':');
    size_t earliest = colon == std::string_view::npos ? 1 : colon + 1;
    while (line.size() > width) {
        size_t cut = std::string_view::npos;
        for (size_t i = std::min(width, line.size() - 1); i >= earliest && i > 0; --i) {
            if (IsBlank(line[i])) {
                cut = i;
                break;
            }
        }
        if (cut == std::string_view::npos) {
            size_t from = std::max(width, earliest);
            while (from < line.size() && !IsBlank(line[from])) {
                ++from;
            }
            cut = from < line.size() ? from : std::string_view::npos;
        }
        if (cut == std::string_view::npos) {
            break;
        }
        lines.emplace_back(line.substr(0, cut));
        line.remove_prefix(cut);
        earliest = 1;
    }
    lines.emplace_back(line);
}
