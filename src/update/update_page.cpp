#include "update/update_page.h"

#include "records/text_helpers.h"

#include <charconv>
#include <sstream>

namespace {

constexpr std::size_t NameOffset = 11; // "META NAME=\""
constexpr std::size_t ValueOffset = 9; // "CONTENT=\""
constexpr std::size_t ValueWindow = 255;

std::string UpToQuote(const std::string& text) {
    return text.substr(0, text.find('"'));
}

int LeadingNumber(const std::string& text) {
    std::string part = TextBefore(text, ".");
    int value = 0;
    auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    return error == std::errc() && end == part.data() + part.size() ? value : 0;
}

std::string AfterFirstDot(const std::string& text) {
    std::size_t dot = text.find('.');
    return dot == std::string::npos ? text : text.substr(dot + 1);
}

} // namespace

std::map<std::string, std::string> ReadUpdatePageTags(const std::string& page) {
    std::map<std::string, std::string> tags;
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        std::size_t meta = line.find("META NAME");
        if (meta == std::string::npos || meta + NameOffset > line.size())
            continue;
        std::string name = UpToQuote(line.substr(meta + NameOffset));
        std::size_t content = UpperAscii(line).find("CONTENT=");
        std::string value;
        if (content != std::string::npos && content + ValueOffset <= line.size())
            value = UpToQuote(line.substr(content + ValueOffset, ValueWindow));
        tags[name] = value;
    }
    return tags;
}

bool IsNewerVersion(const std::string& program, const std::string& page) {
    std::string p = program, v = page;
    for (;;) {
        int programPart = LeadingNumber(p), pagePart = LeadingNumber(v);
        if (programPart < pagePart)
            return true;
        if (pagePart < programPart)
            return false;
        bool more = p.find('.') != std::string::npos;
        p = AfterFirstDot(p);
        v = AfterFirstDot(v);
        if (!more)
            return false;
    }
}
