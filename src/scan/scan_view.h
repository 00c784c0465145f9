#pragma once

#include "platform/message_box.h"

#include <string>

// The controls the engine enables and disables as its re-entrancy guard: the
// scan page's Start and Cancel, the six navigation buttons (Scan,
// Quarantine, Approved Senders, Settings, Help, About) and the Close command
// of the window's system menu.
enum class ScanControl { Start, Cancel, Scan, Quarantine, ApprovedSenders, Settings, Help, About, CloseCommand };

// The scan page as the engine sees it. The scan run, the account scan and
// the senders report only through this interface, so they run without a
// window: the GUI binds it to widgets, the command line draws it on the
// terminal, tests record every call.
class ScanView {
public:
    virtual ~ScanView() = default;

    // The headline: "Scanning ...", "Finished scanning ...", "Aborting scan, ...".
    virtual void SetHeadline(const std::string& text) = 0;
    // The current action: the step texts.
    virtual void SetCurrentAction(const std::string& text) = 0;

    // The details: the per-account report.
    virtual void ClearDetails() = 0;
    virtual void AddDetailsLine(const std::string& line) = 0;
    virtual void ScrollDetailsToTop() = 0;

    // The statistics: messages scanned, spam detected.
    virtual void SetScannedText(const std::string& text) = 0;
    virtual void SetSpamText(const std::string& text) = 0;

    // The progress bar: the progress of the current account.
    virtual int ProgressMax() const = 0;
    virtual void SetProgressMax(int value) = 0;
    virtual int ProgressPosition() const = 0;
    virtual void SetProgressPosition(int value) = 0;

    // The busy animation.
    virtual void StartAnimation() = 0;
    virtual void StopAnimation() = 0;

    // The one-second elapsed-time tick.
    virtual void SetElapsedTimerEnabled(bool enabled) = 0;
    // The status bar's second panel: the elapsed time, release progress.
    virtual void SetStatusText(const std::string& text) = 0;

    // The tray icon: "flashing" while connected to a server.
    virtual void StartTrayAnimation() = 0;
    virtual void StopTrayAnimation() = 0;
    virtual void ResetTrayIcon() = 0;

    virtual void SetControlEnabled(ScanControl control, bool enabled) = 0;
    virtual bool ControlEnabled(ScanControl control) const = 0;

    virtual void SetBusyCursor(bool busy) = 0;

    // A message box with the system's literal text, title, buttons and icon.
    virtual MsgResult MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                                 MsgIcon icon) = 0;
    // The approve prompt; text is its second line. True to
    // approve the sender, false to reject.
    virtual bool AskApproveSender(const std::string& text) = 0;
    // Shows the Settings page at its "Email Accounts" tab.
    virtual void OpenAccountSettings() = 0;
    // Whether the scan page is the page showing (progress goes there, or to
    // the status bar when another page shows).
    virtual bool ScanPageShowing() const = 0;

    // Lets pending user-interface events run.
    virtual void Pump() = 0;
};

// Enables or disables the six navigation buttons together.
void SetNavigationEnabled(ScanView& view, bool enabled);

// The view the engine reports to. Until a front end sets one (or after it
// sets nullptr) a quiet view stands in: it shows nothing, its message boxes
// go to ShowMessageBox, the approve prompt rejects, and its pump runs the
// process-wide event pump. The view is not owned.
ScanView& CurrentScanView();
void SetScanView(ScanView* view);
