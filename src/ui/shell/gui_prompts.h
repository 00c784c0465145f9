#pragma once

#include <QString>

class QWidget;

// The desktop program's small questions: one line of text and the name of a
// file to open, each a modal Qt dialog. A test answers in advance with
// SetNextText and SetNextFileName; an answered prompt is not shown.
namespace GuiPrompts {

// Asks for one line of text in a field that starts empty. *ok (when given)
// tells whether the user confirmed; the text is "" when not.
QString AskText(QWidget* parent, const QString& title, const QString& prompt, bool* ok);

// Asks for one existing file, starting in folder; filter in Qt's syntax
// ("Text (*.txt)"); an empty caption gives the platform's own title. Returns
// "" when cancelled. The process's current directory is left as it was.
QString AskOpenFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter);

// Test hooks: the answers for the next prompts of each kind, in order (an
// empty file name is a cancelled dialog). With prompts unshown, a prompt
// without an answer is cancelled instead of waiting for a person.
void SetNextText(QString text, bool ok);
void SetNextFileName(QString fileName);
void SetUnshown(bool unshown);

} // namespace GuiPrompts
