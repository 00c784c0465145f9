#pragma once

#include "platform/message_box.h"

#include <deque>
#include <string>
#include <vector>

// Answers message boxes from a script and records every box shown.
// Installed for its lifetime; a box with no scripted answer fails the test.
class ScriptedMessageBoxes {
public:
    struct Shown {
        std::string text, title;
        MsgButtons buttons;
        MsgIcon icon;
    };

    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes();
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    void Answer(MsgResult result) { m_answers.push_back(result); }
    const std::vector<Shown>& Boxes() const { return m_shown; }

private:
    std::deque<MsgResult> m_answers;
    std::vector<Shown> m_shown;
    MessageBoxHandler m_previous;
};
