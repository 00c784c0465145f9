#include "ui/main/background_scan.h"

#include "challenge/follow_up_steps.h"
#include "records/program_settings.h"
#include "scan/scan_run.h"
#include "scan/scan_state.h"
#include "ui/main/main_window.h"

#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

// "AutoScanMin" minutes in milliseconds, within what a timer takes.
int Interval() {
    long long ms = static_cast<long long>(std::max(ProgramSettings.AutoScanMin, 1)) * 60 * 1000;
    return static_cast<int>(std::min<long long>(ms, INT_MAX));
}

} // namespace

BackgroundScan::BackgroundScan(MainWindow& window) : QObject(&window), m_window(window), m_timer(new QTimer(this)) {
    m_timer->setObjectName("backgroundScanTimer");
    connect(m_timer, &QTimer::timeout, this, &BackgroundScan::RunNow);
}

void BackgroundScan::Arm() {
    m_timer->setInterval(Interval());
    if (ProgramSettings.AutoScan)
        m_timer->start();
    else
        m_timer->stop();
}

void BackgroundScan::RunNow() {
    if (m_window.isVisible() && !m_window.isMinimized())
        return;
    if (ScanState.Running)
        return;
    m_timer->stop();
    ScanState.Unattended = true;
    m_window.SwitchToScanPage();
    RunScan(RunFollowUpSteps);
    ScanState.Unattended = false;
    m_timer->start();
}
