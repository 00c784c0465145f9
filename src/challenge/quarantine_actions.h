#pragma once

#include <functional>

class QuarantineView;

// The two centred lines of the wait window WaitWindow.
inline constexpr char WaitWindowText[] = "Please wait while the requested action is being performed...";
inline constexpr char WaitWindowNote[] = "(This may take up to a few minutes)";

// What the quarantine actions need of the main window beyond the scan view
// (whose navigation buttons, Close command, cursor, status bar and message
// boxes they use through CurrentScanView()): the wait window WaitWindow and
// the tab controls that must not change under an operation.
class QuarantineActionWindow {
public:
    virtual ~QuarantineActionWindow() = default;
    // WaitWindow, shown (not modally) while an approve or release runs.
    virtual void ShowWaitWindow() = 0;
    virtual void CloseWaitWindow() = 0;
    // The quarantine view's account tabs.
    virtual void SetAccountTabsEnabled(bool enabled) = 0;
    // The tab control of the settings pages.
    virtual void SetSettingsTabsEnabled(bool enabled) = 0;
};

// A window that has none of these (the command line).
QuarantineActionWindow& NoActionWindow();

// Approve (approve true) and Release (approve false) of the selected messages:
// after the confirmation, re-sends quarantined messages of the view's current
// account to the account's own mailbox through its SMTP server (a POP3 login
// first, for servers that want POP before SMTP; its failure is only logged).
// Approve releases every shown message of the selected senders and approves
// them; release sends only the selected messages and approves nobody. Message
// boxes for single-message failures come from ReleaseToInbox. The operation's
// lines replace "log.txt". While it runs the navigation, the Close command
// and the tabs are disabled and the wait window is shown; they are restored
// whatever happens, and an unexpected error ends the operation with an
// "Error" box holding its text. Shows "No message is selected." when no row
// is selected. True when the action was confirmed and ended without such an
// error (saving the sender lists or the log included); messages that could
// not be sent stay in the quarantine and are not counted here.
bool ReleaseFromView(QuarantineView& view, bool approve, QuarantineActionWindow& window);

// The same action over several groups of rows as one operation, for a front
// end that names messages of several accounts and categories at once (the
// command line): showGroup(g) makes the view show group g (0 <= g < groups)
// with its rows selected. One confirmation, one wait window, and one log:
// "log.txt" holds every group's lines, each group opening with its
// "Releasing messages to inbox: " line, and one closing line. An error in one
// group is logged and reported and the next group goes on.
bool ReleaseGroupsFromView(QuarantineView& view, bool approve, QuarantineActionWindow& window, int groups,
                           const std::function<void(int group)>& showGroup);

// Delete: asks, then deletes the selected messages of the view's
// current account for good (file and index entry), refills the view and
// saves the index. A selected message that is gone already or whose file
// cannot be deleted is skipped silently (the entry then stays, so no file is
// left without an entry). Nothing is logged or sent. Shows "No message is
// selected." when no row is selected.
void DeleteFromView(QuarantineView& view, QuarantineActionWindow& window);
