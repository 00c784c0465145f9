#include "ui/shell/gui_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <deque>

namespace {

std::deque<MsgResult> g_answers;
std::vector<GuiMessageBoxes::Shown> g_shown;
bool g_unshown = false;

QMessageBox::Icon QtIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

MsgResult ResultOf(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        return MsgResult::Ok;
    }
}

} // namespace

namespace GuiMessageBoxes {

void Install() {
    SetMessageBoxHandler(Show);
}

MsgResult Show(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) {
    g_shown.push_back({text, title, buttons, icon});
    if (!g_answers.empty()) {
        MsgResult answer = g_answers.front();
        g_answers.pop_front();
        return answer;
    }
    if (g_unshown)
        return buttons == MsgButtons::Ok ? MsgResult::Ok
                                         : (buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel);
    QMessageBox box(QtIcon(icon), QString::fromStdString(title), QString::fromStdString(text), QtButtons(buttons),
                    QApplication::activeWindow());
    box.setObjectName("MessageBox");
    // Texts may quote a server or a message: never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return ResultOf(box.exec());
}

void SetNextAnswer(MsgResult answer) {
    g_answers.push_back(answer);
}

const std::vector<Shown>& ShownBoxes() {
    return g_shown;
}

void SetUnshown(bool unshown) {
    g_unshown = unshown;
}

void ClearShown() {
    g_shown.clear();
    g_answers.clear();
}

} // namespace GuiMessageBoxes
