#pragma once

#include "scan/scan_view.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

// A ScanView for tests: keeps what a window would show, records every call
// as one line ("Headline: ...", "Details: ...", "MessageBox: Error: ..."),
// and answers message boxes and the approve prompt from a script. A box or
// prompt with no scripted answer fails the test. Installs itself as the
// current view for its lifetime.
class RecordingScanView : public ScanView {
public:
    RecordingScanView();
    ~RecordingScanView() override;
    RecordingScanView(const RecordingScanView&) = delete;
    RecordingScanView& operator=(const RecordingScanView&) = delete;

    void AnswerMessageBox(MsgResult answer) { m_boxAnswers.push_back(answer); }
    void AnswerApprove(bool approve) { m_approveAnswers.push_back(approve); }
    void SetScanPageShowing(bool showing) { m_scanPageShowing = showing; }

    const std::vector<std::string>& Calls() const { return m_calls; }
    // The calls that begin with prefix, in order.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

    std::string Headline, CurrentAction, ScannedText, SpamText, StatusText;
    std::vector<std::string> Details;
    bool AnimationRunning = false, ElapsedTimerEnabled = false, TrayAnimating = false, BusyCursor = false;
    int Pumps = 0;

    void SetHeadline(const std::string& text) override;
    void SetCurrentAction(const std::string& text) override;
    void ClearDetails() override;
    void AddDetailsLine(const std::string& line) override;
    void ScrollDetailsToTop() override;
    void SetScannedText(const std::string& text) override;
    void SetSpamText(const std::string& text) override;
    int ProgressMax() const override { return m_progressMax; }
    void SetProgressMax(int value) override;
    int ProgressPosition() const override { return m_progressPosition; }
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
    bool ScanPageShowing() const override { return m_scanPageShowing; }
    void Pump() override;

private:
    std::vector<std::string> m_calls;
    std::deque<MsgResult> m_boxAnswers;
    std::deque<bool> m_approveAnswers;
    std::map<ScanControl, bool> m_enabled;
    int m_progressMax = 0, m_progressPosition = 0;
    bool m_scanPageShowing = true;
};

// The name a recorded call uses for a control ("Start", "CloseCommand").
const char* ScanControlName(ScanControl control);
