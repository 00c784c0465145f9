#pragma once

#include "platform/message_box.h"

#include <string>
#include <vector>

// The message boxes of the desktop program: the engine's ShowMessageBox and
// every window's questions come here and become modal Qt message boxes with
// the system's literal text (always plain text, never markup), title, icon
// and buttons. A test answers in advance with SetNextAnswer and reads what
// was asked with ShownBoxes(); an answered box is not shown.
namespace GuiMessageBoxes {

struct Shown {
    std::string Text;
    std::string Title;
    MsgButtons Buttons;
    MsgIcon Icon;
};

// Makes these the process's message boxes.
void Install();

MsgResult Show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon);

// Test hooks: the answers for the next boxes, in order, and what was asked.
// With boxes unshown, a box without an answer gets the cautious one (OK,
// No, or Cancel where offered) instead of waiting for a person.
void SetNextAnswer(MsgResult answer);
void SetUnshown(bool unshown);
const std::vector<Shown>& ShownBoxes();
void ClearShown();

} // namespace GuiMessageBoxes
