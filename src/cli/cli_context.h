#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// What every command of the command line works with: its arguments (after
// the command words) and the three standard streams.
struct CliContext {
    std::vector<std::string> Arguments;
    std::istream& In;
    std::ostream& Out;
    std::ostream& Err;
    bool InteractiveInput = false; // standard input is a terminal
};

// Exit statuses of the command line.
constexpr int ExitOk = 0;
constexpr int ExitFailed = 1; // refused input or a failed operation
constexpr int ExitUsage = 2;  // the command line itself is wrong

// A command that was used wrongly; the text explains how.
class UsageError : public std::exception {
public:
    explicit UsageError(std::string text) : m_text(std::move(text)) {}
    const char* what() const noexcept override { return m_text.c_str(); }

private:
    std::string m_text;
};
