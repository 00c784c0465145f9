#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

// AdvancedTab, the settings tab "Advanced": the scan's finer choices
// and the connection time-out, each stored as it changes.
class AdvancedTab : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedTab(QWidget* parent = nullptr);

    void Load();

    QLineEdit* m_timeoutEdit;

private:
    bool m_loading = false;
};
