#pragma once

#include <QWidget>

// TfrmWait: shown (not modally) while an approve or release runs; no border,
// title or buttons, always on top, centred on the main window.
class TfrmWait : public QWidget {
    Q_OBJECT
public:
    explicit TfrmWait(QWidget* mainWindow);

    // Shows the window over the main window and lets it paint.
    void ShowOver();

private:
    QWidget* m_mainWindow;
};
