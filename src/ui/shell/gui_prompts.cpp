#include "ui/shell/gui_prompts.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>

#include <deque>
#include <utility>

namespace {

struct TextAnswer {
    QString Text;
    bool Ok;
};

std::deque<TextAnswer> g_texts;
std::deque<QString> g_fileNames;
bool g_unshown = false;

QString ShowTextDialog(QWidget* parent, const QString& title, const QString& prompt, bool* ok) {
    QInputDialog dialog(parent);
    dialog.setObjectName("InputDialog");
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    // Prompts are written with Windows line ends; a lone CR would show as a glyph.
    dialog.setLabelText(QString(prompt).replace("\r\n", "\n"));
    dialog.setTextValue(QString());
    bool accepted = dialog.exec() == QDialog::Accepted;
    if (ok)
        *ok = accepted;
    return accepted ? dialog.textValue() : QString();
}

} // namespace

namespace GuiPrompts {

QString AskText(QWidget* parent, const QString& title, const QString& prompt, bool* ok) {
    if (!g_texts.empty()) {
        TextAnswer answer = std::move(g_texts.front());
        g_texts.pop_front();
        if (ok)
            *ok = answer.Ok;
        return answer.Ok ? answer.Text : QString();
    }
    if (g_unshown) {
        if (ok)
            *ok = false;
        return QString();
    }
    return ShowTextDialog(parent, title, prompt, ok);
}

QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
    if (!g_fileNames.empty()) {
        QString fileName = std::move(g_fileNames.front());
        g_fileNames.pop_front();
        return fileName;
    }
    if (g_unshown)
        return QString();
    // Relative names elsewhere in the program resolve against the current
    // directory; whatever dialog the platform shows must not move it.
    QString current = QDir::currentPath();
    QString fileName = QFileDialog::getOpenFileName(parent, caption, folder, filter);
    QDir::setCurrent(current);
    return fileName;
}

void SetNextText(QString text, bool ok) {
    g_texts.push_back({std::move(text), ok});
}

void SetNextFileName(QString fileName) {
    g_fileNames.push_back(std::move(fileName));
}

void SetUnshown(bool unshown) {
    g_unshown = unshown;
}

} // namespace GuiPrompts
