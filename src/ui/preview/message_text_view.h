#pragma once

#include <QTextBrowser>

// m_bodyView: the message text of the secure preview. The text is laid out as
// plain text (never read as HTML); web and mail addresses in it become links,
// and a click on one hands only an http, https or mailto address to the
// desktop's handler. Nothing is ever loaded: no image, style sheet or page.
class MessageTextView : public QTextBrowser {
    Q_OBJECT
public:
    // How much of a message's text is laid out; a longer text is cut there
    // with a note, so a huge message cannot stall the window.
    static constexpr int MaxShownCharacters = 1 << 20;

    explicit MessageTextView(QWidget* parent = nullptr);

    void SetMessageText(const QString& text);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void OpenLink(const QUrl& url);
};

// The address a detected link opens: "www." gets "http://", a bare mail
// address "mailto:".
QUrl LinkTarget(const QString& linkText);
