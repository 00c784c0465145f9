#pragma once

#include <QWidget>

// WaitWindow: shown (not modally) while an approve or release runs; no border,
// title or buttons, always on top, centred on the main window.
class WaitWindow : public QWidget {
    Q_OBJECT
public:
    explicit WaitWindow(QWidget* mainWindow);

    // Shows the window over the main window and lets it paint.
    void ShowOver();

private:
    QWidget* m_mainWindow;
};
