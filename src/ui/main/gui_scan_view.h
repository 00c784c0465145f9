#pragma once

#include "scan/scan_view.h"
#include "ui/shell/busy_cursor.h"

#include <functional>

class MainWindow;

// The engine's ScanView bound to the main window: its scan page, status bar,
// navigation buttons, Close command, elapsed-time timer and tray icon.
class GuiScanView : public ScanView {
public:
    using ApproveHandler = std::function<bool(const std::string& text)>;

    explicit GuiScanView(MainWindow& window);

    void SetHeadline(const std::string& text) override;
    void SetCurrentAction(const std::string& text) override;
    void ClearDetails() override;
    void AddDetailsLine(const std::string& line) override;
    void ScrollDetailsToTop() override;
    void SetScannedText(const std::string& text) override;
    void SetSpamText(const std::string& text) override;
    int ProgressMax() const override;
    void SetProgressMax(int value) override;
    int ProgressPosition() const override;
    void SetProgressPosition(int value) override;
    void StartAnimation() override;
    void StopAnimation() override;
    void SetElapsedTimerEnabled(bool enabled) override;
    void SetStatusText(const std::string& text) override;
    void StartTrayAnimation() override;
    void StopTrayAnimation() override;
    void ResetTrayIcon() override;
    void SetControlEnabled(ScanControl control, bool enabled) override;
    bool ControlEnabled(ScanControl control) const override;
    void SetBusyCursor(bool busy) override;
    MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) override;
    bool AskApproveSender(const std::string& text) override;
    void OpenAccountSettings() override;
    bool ScanPageShowing() const override;
    void Pump() override;

    // Tests answer the approve prompt here instead of on the window.
    void SetApproveHandler(ApproveHandler handler) { m_approveHandler = std::move(handler); }

private:
    MainWindow& m_window;
    ApproveHandler m_approveHandler;
    BusyCursorSwitch m_busy;
    int m_progressMax = 1;
};
