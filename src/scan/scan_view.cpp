#include "scan/scan_view.h"

#include "platform/event_pump.h"

#include <map>

namespace {

class QuietScanView : public ScanView {
public:
    void SetHeadline(const std::string&) override {}
    void SetCurrentAction(const std::string&) override {}
    void ClearDetails() override {}
    void AddDetailsLine(const std::string&) override {}
    void ScrollDetailsToTop() override {}
    void SetScannedText(const std::string&) override {}
    void SetSpamText(const std::string&) override {}
    int ProgressMax() const override { return m_progressMax; }
    void SetProgressMax(int value) override { m_progressMax = value; }
    int ProgressPosition() const override { return m_progressPosition; }
    void SetProgressPosition(int value) override { m_progressPosition = value; }
    void StartAnimation() override {}
    void StopAnimation() override {}
    void SetElapsedTimerEnabled(bool) override {}
    void SetStatusText(const std::string&) override {}
    void StartTrayAnimation() override {}
    void StopTrayAnimation() override {}
    void ResetTrayIcon() override {}
    void SetControlEnabled(ScanControl control, bool enabled) override { m_enabled[control] = enabled; }
    bool ControlEnabled(ScanControl control) const override {
        auto found = m_enabled.find(control);
        // Idle state: everything enabled but Cancel.
        return found != m_enabled.end() ? found->second : control != ScanControl::Cancel;
    }
    void SetBusyCursor(bool) override {}
    MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) override {
        return ShowMessageBox(text, title, buttons, icon);
    }
    bool AskApproveSender(const std::string&) override { return false; }
    void OpenAccountSettings() override {}
    bool ScanPageShowing() const override { return false; }
    void Pump() override { ::Pump(); }

private:
    int m_progressMax = 0;
    int m_progressPosition = 0;
    std::map<ScanControl, bool> m_enabled;
};

QuietScanView& Quiet() {
    static QuietScanView view;
    return view;
}

ScanView*& Current() {
    static ScanView* view = nullptr;
    return view;
}

} // namespace

void SetNavigationEnabled(ScanView& view, bool enabled) {
    for (ScanControl control : {ScanControl::Scan, ScanControl::Quarantine, ScanControl::ApprovedSenders,
                                ScanControl::Settings, ScanControl::Help, ScanControl::About})
        view.SetControlEnabled(control, enabled);
}

ScanView& CurrentScanView() {
    return Current() ? *Current() : Quiet();
}

void SetScanView(ScanView* view) {
    Current() = view;
}
