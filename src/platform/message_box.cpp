#include "platform/message_box.h"

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    MessageBoxHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

MsgResult ShowMessageBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) {
    if (Handler())
        return Handler()(text, title, buttons, icon);
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        return MsgResult::Cancel;
    case MsgButtons::YesNo:
        break;
    }
    return MsgResult::No;
}
