#pragma once

#include <stdexcept>
#include <string>

// The one error type of the mail layer: network failures, time-outs,
// negative protocol replies and message-file failures. Its text is what the
// user sees, after the caller's own words and ": ".
class MailTransportError : public std::runtime_error {
public:
    explicit MailTransportError(const std::string& text) : std::runtime_error(text) {}
};
