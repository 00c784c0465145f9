#pragma once

#include <functional>
#include <string>

// Message boxes as one call: text, title, buttons, icon -> the button pressed.
// The GUI shows a dialog, the command line asks on the terminal, tests answer
// from a script. Titles, texts and icons are the system's own literal ones.
enum class MsgButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

using MessageBoxHandler =
    std::function<MsgResult(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon)>;

// Installs the handler of the running front end; returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Shows a message box. Without a handler nobody can answer: OK boxes give Ok,
// questions give their cautious answer (No, or Cancel where offered).
MsgResult ShowMessageBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon);
