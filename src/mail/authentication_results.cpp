#include "mail/authentication_results.h"

#include "records/text_helpers.h"

#include <cctype>

namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The value cut at every ";" outside quoted strings and comments, with the
// comments removed (each leaves a space) and quoted strings kept as written.
std::vector<std::string> Segments(std::string_view value) {
    std::vector<std::string> segments(1);
    int commentDepth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        bool escaped = c == '\\' && i + 1 < value.size();
        if (commentDepth > 0) {
            i += escaped ? 1 : 0;
            commentDepth += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (commentDepth == 0)
                segments.back() += ' ';
        } else if (quoted) {
            segments.back() += value.substr(i, escaped ? 2 : 1);
            i += escaped ? 1 : 0;
            quoted = c != '"';
        } else if (c == '(') {
            commentDepth = 1;
        } else if (c == ';') {
            segments.emplace_back();
        } else {
            segments.back() += c;
            quoted = c == '"';
        }
    }
    return segments;
}

std::string FirstWord(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && IsBlank(text[start]))
        ++start;
    std::size_t end = start;
    while (end < text.size() && !IsBlank(text[end]))
        ++end;
    return text.substr(start, end - start);
}

// The authserv-id: a token, or a quoted string without its quotes.
std::string FirstValue(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos || text[start] != '"')
        return FirstWord(text);
    std::string value;
    for (std::size_t i = start + 1; i < text.size() && text[i] != '"'; ++i)
        value += text[i] == '\\' && i + 1 < text.size() ? text[++i] : text[i];
    return value;
}

// "method[/version] = result ...": false when the segment holds no result
// ("none", or text without "=").
bool ReadResult(const std::string& segment, AuthenticationResult& result) {
    std::size_t equals = segment.find('=');
    if (equals == std::string::npos)
        return false;
    std::string method = Trim(segment.substr(0, equals));
    method = Trim(method.substr(0, method.find('/')));
    std::string value = FirstWord(segment.substr(equals + 1));
    if (method.empty() || value.empty() || method.find_first_of(" \t\"") != std::string::npos)
        return false;
    result = {LowerAscii(method), LowerAscii(value)};
    return true;
}

} // namespace

AuthenticationResults ParseAuthenticationResults(std::string_view value) {
    AuthenticationResults parsed;
    std::vector<std::string> segments = Segments(value);
    std::size_t first = 0;
    // A token cannot hold "=": a first segment that does is a result.
    if (segments[0].find('=') == std::string::npos) {
        parsed.AuthservId = LowerAscii(FirstValue(segments[0]));
        first = 1;
    }
    for (std::size_t i = first; i < segments.size(); ++i) {
        AuthenticationResult result;
        if (ReadResult(segments[i], result))
            parsed.Results.push_back(result);
    }
    return parsed;
}
