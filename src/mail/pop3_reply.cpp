#include "mail/pop3_reply.h"

#include "platform/mail_transport_error.h"
#include "records/text_helpers.h"

#include <charconv>

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

std::string AfterIndicator(const std::string& line, std::size_t indicatorLength) {
    std::string text = line.substr(indicatorLength);
    if (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    return text;
}

} // namespace

Pop3Reply ParsePop3Reply(const std::string& line) {
    if (StartsWith(line, "+OK"))
        return {true, true, AfterIndicator(line, 3)};
    if (StartsWith(line, "-ERR"))
        return {false, true, AfterIndicator(line, 4)};
    return {false, false, line};
}

int ParseStatCount(const std::string& text) {
    std::string word = TextBefore(Trim(text), " ");
    if (word.empty())
        return 0;
    int count = 0;
    const char* end = word.data() + word.size();
    auto [stop, error] = std::from_chars(word.data(), end, count);
    if (error != std::errc() || stop != end || count < 0)
        throw MailTransportError("Invalid STAT reply: " + text);
    return count;
}

bool IsMultiLineEnd(const std::string& line) {
    return line == ".";
}

std::string UnstuffLine(const std::string& line) {
    if (line.size() >= 2 && line[0] == '.' && line[1] == '.')
        return line.substr(1);
    return line;
}
