#include "support/scripted_message_boxes.h"

#include <gtest/gtest.h>

ScriptedMessageBoxes::ScriptedMessageBoxes() {
    m_previous = SetMessageBoxHandler(
        [this](const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) {
            m_shown.push_back({text, title, buttons, icon});
            if (m_answers.empty()) {
                ADD_FAILURE() << "unexpected message box: " << title << ": " << text;
                return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
            }
            MsgResult answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        });
}

ScriptedMessageBoxes::~ScriptedMessageBoxes() {
    SetMessageBoxHandler(std::move(m_previous));
}
