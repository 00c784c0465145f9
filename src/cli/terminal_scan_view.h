#pragma once

#include "scan/scan_view.h"

#include <functional>
#include <iosfwd>
#include <map>
#include <string>

class TerminalInput;

// How the terminal shows a scan.
struct TerminalScanOptions {
    // Standard output is a terminal: the headline, the current action and a
    // progress bar share one line that is rewritten in place. Otherwise every
    // headline, step and status text is a line of its own.
    bool UpdatingLine = false;
    int Width = 80;
    // A timer-started scan: nobody answers; every box gets the answer the
    // window gives when nobody answers it, and the approve prompt counts
    // down without reading.
    bool Unattended = false;
    // Every confirmation (a question titled "Confirm") is answered Yes
    // without asking (--yes); other questions are still asked.
    bool AssumeYes = false;
    // Seconds the approve prompt counts down before it approves.
    int ApproveSeconds = 30;
};

// The scan page on a terminal. Details go to out as they come; message
// boxes and the approve prompt are asked on err and answered from input.
// Message text is printed with terminal controls neutralised. Pump() is the
// process's event pump while a scan runs: it ticks the elapsed time and
// turns a Ctrl+C into the Cancel request (interrupt()).
class TerminalScanView : public ScanView {
public:
    TerminalScanView(std::ostream& out, std::ostream& err, TerminalInput& input, TerminalScanOptions options);
    ~TerminalScanView() override;
    TerminalScanView(const TerminalScanView&) = delete;
    TerminalScanView& operator=(const TerminalScanView&) = delete;

    // Called by Pump() for each Ctrl+C press while Cancel is enabled.
    void SetCancelHandler(std::function<void()> handler) { m_cancel = std::move(handler); }
    // Ends the updating line (before the command prints its summary).
    void FinishLine();

    const std::string& ScannedStatistic() const { return m_scanned; }
    const std::string& SpamStatistic() const { return m_spam; }
    const std::string& StatusText() const { return m_status; }

    void SetHeadline(const std::string& text) override;
    void SetCurrentAction(const std::string& text) override;
    void ClearDetails() override {}
    void AddDetailsLine(const std::string& line) override;
    void ScrollDetailsToTop() override {}
    void SetScannedText(const std::string& text) override { m_scanned = text; }
    void SetSpamText(const std::string& text) override { m_spam = text; }
    int ProgressMax() const override { return m_progressMax; }
    void SetProgressMax(int value) override;
    int ProgressPosition() const override { return m_progressPosition; }
    void SetProgressPosition(int value) override;
    void StartAnimation() override {}
    void StopAnimation() override {}
    void SetElapsedTimerEnabled(bool enabled) override { m_elapsedTimer = enabled; }
    void SetStatusText(const std::string& text) override;
    void StartTrayAnimation() override {}
    void StopTrayAnimation() override {}
    void ResetTrayIcon() override {}
    void SetControlEnabled(ScanControl control, bool enabled) override { m_enabled[control] = enabled; }
    bool ControlEnabled(ScanControl control) const override;
    void SetBusyCursor(bool) override {}
    MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) override;
    bool AskApproveSender(const std::string& text) override;
    void OpenAccountSettings() override;
    bool ScanPageShowing() const override { return m_scanPageShowing; }
    void Pump() override;

    // Whether progress goes to the scan page (a scan) or the status bar (an
    // approve or release).
    void SetScanPageShowing(bool showing) { m_scanPageShowing = showing; }

private:
    // Prints a line of its own, keeping the updating line below it.
    void PrintLine(std::ostream& stream, const std::string& text);
    void ClearStatusLine();
    void DrawStatusLine();
    std::string StatusLine() const;
    MsgResult UnansweredResult(MsgButtons buttons) const;
    MsgResult Ask(MsgButtons buttons);
    bool CountDownApproval();

    std::ostream& m_out;
    std::ostream& m_err;
    TerminalInput& m_input;
    TerminalScanOptions m_options;
    std::function<void()> m_cancel;
    std::string m_headline, m_action, m_status, m_scanned, m_spam, m_lastStep;
    int m_progressMax = 0, m_progressPosition = 0;
    bool m_elapsedTimer = false;
    bool m_lineShown = false;
    bool m_scanPageShowing = true;
    bool m_inPump = false;
    std::map<ScanControl, bool> m_enabled;
};
