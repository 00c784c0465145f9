#include "support/recording_scan_view.h"

#include "platform/event_pump.h"

#include <gtest/gtest.h>

RecordingScanView::RecordingScanView() {
    SetScanView(this);
}

RecordingScanView::~RecordingScanView() {
    SetScanView(nullptr);
}

std::vector<std::string> RecordingScanView::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& call : m_calls) {
        if (call.rfind(prefix, 0) == 0)
            found.push_back(call);
    }
    return found;
}

void RecordingScanView::SetHeadline(const std::string& text) {
    Headline = text;
    m_calls.push_back("Headline: " + text);
}

void RecordingScanView::SetCurrentAction(const std::string& text) {
    CurrentAction = text;
    m_calls.push_back("Action: " + text);
}

void RecordingScanView::ClearDetails() {
    Details.clear();
    m_calls.push_back("ClearDetails");
}

void RecordingScanView::AddDetailsLine(const std::string& line) {
    Details.push_back(line);
    m_calls.push_back("Details: " + line);
}

void RecordingScanView::ScrollDetailsToTop() {
    m_calls.push_back("ScrollDetailsToTop");
}

void RecordingScanView::SetScannedText(const std::string& text) {
    ScannedText = text;
    m_calls.push_back("Scanned: " + text);
}

void RecordingScanView::SetSpamText(const std::string& text) {
    SpamText = text;
    m_calls.push_back("Spam: " + text);
}

void RecordingScanView::SetProgressMax(int value) {
    m_progressMax = value;
    m_calls.push_back("ProgressMax: " + std::to_string(value));
}

void RecordingScanView::SetProgressPosition(int value) {
    m_progressPosition = value;
    m_calls.push_back("ProgressPosition: " + std::to_string(value));
}

void RecordingScanView::StartAnimation() {
    AnimationRunning = true;
    m_calls.push_back("StartAnimation");
}

void RecordingScanView::StopAnimation() {
    AnimationRunning = false;
    m_calls.push_back("StopAnimation");
}

void RecordingScanView::SetElapsedTimerEnabled(bool enabled) {
    ElapsedTimerEnabled = enabled;
    m_calls.push_back(std::string("ElapsedTimer: ") + (enabled ? "on" : "off"));
}

void RecordingScanView::SetStatusText(const std::string& text) {
    StatusText = text;
    m_calls.push_back("Status: " + text);
}

void RecordingScanView::StartTrayAnimation() {
    TrayAnimating = true;
    m_calls.push_back("StartTrayAnimation");
}

void RecordingScanView::StopTrayAnimation() {
    TrayAnimating = false;
    m_calls.push_back("StopTrayAnimation");
}

void RecordingScanView::ResetTrayIcon() {
    m_calls.push_back("ResetTrayIcon");
}

void RecordingScanView::SetControlEnabled(ScanControl control, bool enabled) {
    m_enabled[control] = enabled;
    m_calls.push_back(std::string(enabled ? "Enable: " : "Disable: ") + ScanControlName(control));
}

bool RecordingScanView::ControlEnabled(ScanControl control) const {
    auto found = m_enabled.find(control);
    return found != m_enabled.end() ? found->second : control != ScanControl::Cancel;
}

void RecordingScanView::SetBusyCursor(bool busy) {
    BusyCursor = busy;
    m_calls.push_back(busy ? "BusyCursor" : "NormalCursor");
}

MsgResult RecordingScanView::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                        MsgIcon) {
    m_calls.push_back("MessageBox: " + title + ": " + text);
    if (m_boxAnswers.empty()) {
        ADD_FAILURE() << "unexpected message box: " << title << ": " << text;
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
    MsgResult answer = m_boxAnswers.front();
    m_boxAnswers.pop_front();
    return answer;
}

bool RecordingScanView::AskApproveSender(const std::string& text) {
    m_calls.push_back("AskApprove: " + text);
    if (m_approveAnswers.empty()) {
        ADD_FAILURE() << "unexpected approve prompt: " << text;
        return false;
    }
    bool answer = m_approveAnswers.front();
    m_approveAnswers.pop_front();
    return answer;
}

void RecordingScanView::OpenAccountSettings() {
    m_calls.push_back("OpenAccountSettings");
}

void RecordingScanView::Pump() {
    ++Pumps;
    ::Pump();
}

const char* ScanControlName(ScanControl control) {
    switch (control) {
    case ScanControl::Start:
        return "Start";
    case ScanControl::Cancel:
        return "Cancel";
    case ScanControl::Scan:
        return "Scan";
    case ScanControl::Quarantine:
        return "Quarantine";
    case ScanControl::ApprovedSenders:
        return "ApprovedSenders";
    case ScanControl::Settings:
        return "Settings";
    case ScanControl::Help:
        return "Help";
    case ScanControl::About:
        return "About";
    case ScanControl::CloseCommand:
        return "CloseCommand";
    }
    return "?";
}
