#pragma once

#include <QWidget>

class QVBoxLayout;

// A page of the main window with its title as heading; the page's own
// controls go into Body().
class TitledPage : public QWidget {
    Q_OBJECT
public:
    TitledPage(const char* objectName, const QString& title, QWidget* parent = nullptr);

    QVBoxLayout* Body() const { return m_body; }

private:
    QVBoxLayout* m_body;
};
