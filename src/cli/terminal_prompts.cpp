#include "cli/terminal_prompts.h"

#include "cli/terminal_text.h"
#include "records/text_helpers.h"

#include <iostream>
#include <termios.h>
#include <unistd.h>

namespace {

MsgResult ReadAnswer(std::istream& in, MsgButtons buttons) {
    std::string line;
    if (!std::getline(in, line))
        line.clear();
    return AnswerFromText(line, buttons);
}

bool IsQuestion(MsgButtons buttons) {
    return buttons != MsgButtons::Ok;
}

} // namespace

const char* ButtonsHint(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::YesNo:
        return " [y/N] ";
    case MsgButtons::YesNoCancel:
        return " [y/n/C] ";
    case MsgButtons::OkCancel:
        return " [o/C] ";
    case MsgButtons::Ok:
        break;
    }
    return "";
}

MsgResult AnswerFromText(const std::string& line, MsgButtons buttons) {
    std::string answer = LowerAscii(Trim(line));
    bool yes = answer == "y" || answer == "yes";
    bool no = answer == "n" || answer == "no";
    switch (buttons) {
    case MsgButtons::YesNo:
        return yes ? MsgResult::Yes : MsgResult::No;
    case MsgButtons::YesNoCancel:
        return yes ? MsgResult::Yes : (no ? MsgResult::No : MsgResult::Cancel);
    case MsgButtons::OkCancel:
        return (answer == "o" || answer == "ok") ? MsgResult::Ok : MsgResult::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return MsgResult::Ok;
}

TerminalMessageBoxes::TerminalMessageBoxes(std::istream& in, std::ostream& err, bool assumeYes) {
    m_previous = SetMessageBoxHandler(
        [&in, &err, assumeYes](const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon) {
            err << TerminalSafeLines(title) << ": " << TerminalSafeLines(text);
            if (!IsQuestion(buttons)) {
                err << "\n";
                return MsgResult::Ok;
            }
            if (assumeYes) {
                err << " yes\n";
                return buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
            }
            err << ButtonsHint(buttons) << std::flush;
            return ReadAnswer(in, buttons);
        });
}

TerminalMessageBoxes::~TerminalMessageBoxes() {
    SetMessageBoxHandler(std::move(m_previous));
}

std::string ReadSecretLine(std::istream& in, std::ostream& err, const std::string& prompt, bool interactive) {
    termios saved{};
    bool echoOff = interactive && ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (interactive)
        err << prompt << std::flush;
    if (echoOff) {
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::string line;
    if (!std::getline(in, line))
        line.clear();
    if (echoOff) {
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        err << "\n";
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}
