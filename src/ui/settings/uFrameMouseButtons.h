#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;

// TframeMouseButtons, the settings tab "Advanced": the scan's finer choices
// and the connection time-out, each stored as it changes.
class TframeMouseButtons : public QWidget {
    Q_OBJECT
public:
    explicit TframeMouseButtons(QWidget* parent = nullptr);

    void Load();

    QLineEdit* edTimeOut;

private:
    bool m_loading = false;
};
