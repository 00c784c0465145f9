#pragma once

#include "platform/message_box.h"

#include <iosfwd>
#include <string>

// Message boxes and secret input on the terminal.

// The answers a box offers, as shown after its text (" [y/N] ").
const char* ButtonsHint(MsgButtons buttons);

// The button a typed answer stands for ("y"/"yes", "n"/"no", "o"/"ok", any
// case); anything else is the cautious answer (No, or Cancel where offered).
MsgResult AnswerFromText(const std::string& line, MsgButtons buttons);

// Installs a message-box handler that prints each box on err and reads the
// answer from in ("y"/"yes" or "n"/"no"); with assumeYes every question is
// answered Yes without reading. Restores the previous handler when destroyed.
class TerminalMessageBoxes {
public:
    TerminalMessageBoxes(std::istream& in, std::ostream& err, bool assumeYes);
    ~TerminalMessageBoxes();
    TerminalMessageBoxes(const TerminalMessageBoxes&) = delete;
    TerminalMessageBoxes& operator=(const TerminalMessageBoxes&) = delete;

private:
    MessageBoxHandler m_previous;
};

// Reads one line as a secret: on a terminal the prompt is shown and echo is
// off; otherwise the line is read from in as it comes. A missing line reads
// as the empty text. The trailing CR of a CR LF line is dropped.
std::string ReadSecretLine(std::istream& in, std::ostream& err, const std::string& prompt, bool interactive);
