#include "ui/preview/message_text_view.h"

#include "ui/shell/desktop_services.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Web addresses with a scheme or "www.", mail addresses with or without
// "mailto:"; trailing punctuation belongs to the sentence, not the link.
const QRegularExpression LinkPattern(
    R"((?:https?://|www\.)[^\s<>"'`]+[^\s<>"'`.,;:!?)\]}]|(?:mailto:)?[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\.[A-Za-z0-9-]+)+)",
    QRegularExpression::CaseInsensitiveOption);

// Control characters (terminal escapes among them) are shown, never obeyed.
QString Printable(QString text) {
    for (QChar& c : text)
        if ((c.unicode() < 0x20 && c != '\n' && c != '\t') || c.unicode() == 0x7f)
            c = QChar(0xFFFD);
    return text;
}

} // namespace

MessageTextView::MessageTextView(QWidget* parent) : QTextBrowser(parent) {
    setObjectName("bodyView");
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setLineWrapMode(QTextEdit::WidgetWidth);
    connect(this, &QTextBrowser::anchorClicked, this, &MessageTextView::OpenLink);
}

void MessageTextView::SetMessageText(const QString& text) {
    QString shown = Printable(text.left(MaxShownCharacters));
    clear();
    QTextCursor cursor(document());
    QTextCharFormat plain;
    QTextCharFormat link;
    link.setAnchor(true);
    link.setForeground(palette().color(QPalette::Link));
    link.setFontUnderline(true);
    int done = 0;
    for (auto match = LinkPattern.globalMatch(shown); match.hasNext();) {
        QRegularExpressionMatch found = match.next();
        cursor.insertText(shown.mid(done, found.capturedStart() - done), plain);
        link.setAnchorHref(LinkTarget(found.captured()).toString());
        cursor.insertText(found.captured(), link);
        done = found.capturedEnd();
    }
    cursor.insertText(shown.mid(done), plain);
    if (text.size() > MaxShownCharacters)
        cursor.insertText(QStringLiteral("\n\n[The preview shows the first %1 characters of this message's %2.]")
                              .arg(MaxShownCharacters)
                              .arg(text.size()),
                          plain);
    moveCursor(QTextCursor::Start);
}

QVariant MessageTextView::loadResource(int, const QUrl&) {
    return {};
}

void MessageTextView::OpenLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    if (scheme == "http" || scheme == "https" || scheme == "mailto")
        OpenUrl(url);
}

QUrl LinkTarget(const QString& linkText) {
    if (linkText.startsWith("www.", Qt::CaseInsensitive))
        return QUrl("http://" + linkText, QUrl::StrictMode);
    if (!linkText.contains("://") && !linkText.startsWith("mailto:", Qt::CaseInsensitive))
        return QUrl("mailto:" + linkText, QUrl::StrictMode);
    return QUrl(linkText, QUrl::StrictMode);
}
