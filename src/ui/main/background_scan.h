#pragma once

#include <QObject>

class MainWindow;
class QTimer;

// The scan every "AutoScanMin" minutes while the window is hidden or
// minimised and "AutoScan" is on. A tick that meets a scan in progress, or
// a window someone is looking at, lets it be.
class BackgroundScan : public QObject {
    Q_OBJECT
public:
    explicit BackgroundScan(MainWindow& window);

    // The interval and the on/off state from the settings.
    void Arm();
    // What a tick does.
    void RunNow();

private:
    MainWindow& m_window;
    QTimer* m_timer;
};
