#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>

// The one error type of the mail layer: network failures, time-outs,
// negative protocol replies and message-file failures. Its text is what the
// user sees, after the caller's own words and ": ".
// NUL characters from a server are dropped, so that what() shows the whole
// visible text instead of stopping at the first of them.
class MailTransportError : public std::runtime_error {
public:
    explicit MailTransportError(const std::string& text) : std::runtime_error(WithoutNul(text)) {}

private:
    static std::string WithoutNul(std::string text) {
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
        return text;
    }
};
