#pragma once

#include <QLabel>

// A label that acts as a link: link colour, a hand cursor, underlined while
// the mouse is over it, Clicked() on a left click.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void Clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetUnderlined(bool underlined);
};
