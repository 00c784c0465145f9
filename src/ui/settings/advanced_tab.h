#pragma once

#include <QWidget>

#include <vector>

class QCheckBox;
class QLineEdit;

// AdvancedTab, the settings tab "Advanced": the scan's finer choices
// and the connection time-out, each stored as it changes.
class AdvancedTab : public QWidget {
    Q_OBJECT
public:
    explicit AdvancedTab(QWidget* parent = nullptr);

    void Load();

private:
    QLineEdit* m_timeoutEdit;
    // One per entry of the table of yes/no settings, in its order.
    std::vector<QCheckBox*> m_settingBoxes;
    bool m_loading = false;
};
