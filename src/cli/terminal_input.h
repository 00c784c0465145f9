#pragma once

#include <iosfwd>
#include <optional>
#include <string>

// Where the command line reads the answers to its questions, with a time
// limit so that a prompt can count down while it waits.
class TerminalInput {
public:
    virtual ~TerminalInput() = default;
    // The next line (without its line end), or nullopt when none came within
    // timeoutMs or the input has ended. An ended input still takes the
    // time, so a countdown runs at its real pace.
    virtual std::optional<std::string> ReadLine(int timeoutMs) = 0;
    // The input has ended (end of file): no answer will ever come.
    virtual bool Ended() const = 0;
};

// Standard input, read with poll() so that waiting can end.
class DescriptorInput : public TerminalInput {
public:
    explicit DescriptorInput(int fd = 0) : m_fd(fd) {}
    std::optional<std::string> ReadLine(int timeoutMs) override;
    bool Ended() const override { return m_ended; }

private:
    std::optional<std::string> TakeLine();

    int m_fd;
    std::string m_buffer;
    bool m_ended = false;
};

// A stream that holds everything there is to read (a test's script, a
// pipe read through iostreams): lines come at once, and an ended stream
// answers nullopt at once.
class StreamInput : public TerminalInput {
public:
    explicit StreamInput(std::istream& in) : m_in(in) {}
    std::optional<std::string> ReadLine(int timeoutMs) override;
    bool Ended() const override { return m_ended; }

private:
    std::istream& m_in;
    bool m_ended = false;
};
