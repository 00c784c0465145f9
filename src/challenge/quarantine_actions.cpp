#include "challenge/quarantine_actions.h"

#include "challenge/quarantine_view.h"
#include "challenge/release_to_inbox.h"
#include "mail/account_connection.h"
#include "mail/delivery_passes.h"
#include "mail/pop3_session.h"
#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "scan/password_mask.h"
#include "scan/quarantine_file.h"
#include "scan/scan_delivery_context.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"
#include "scan/work_lists.h"

#include <set>
#include <stdexcept>
#include <vector>

namespace {

class NoWindow : public QuarantineActionWindow {
public:
    void ShowWaitWindow() override {}
    void CloseWaitWindow() override {}
    void SetAccountTabsEnabled(bool) override {}
    void SetSettingsTabsEnabled(bool) override {}
};

constexpr ScanControl DeleteLockedControls[] = {ScanControl::Scan, ScanControl::Quarantine,
                                                ScanControl::ApprovedSenders, ScanControl::Settings,
                                                ScanControl::CloseCommand};

void LockForDelete(ScanView& scanView, QuarantineActionWindow& window, bool locked) {
    for (ScanControl control : DeleteLockedControls)
        scanView.SetControlEnabled(control, !locked);
    window.SetAccountTabsEnabled(!locked);
}

// The ids of the selected rows, sorted, each once.
std::set<int> SelectedIds(const QuarantineView& view) {
    std::set<int> ids;
    for (int row : view.SelectedRows())
        ids.insert(view.Rows()[static_cast<size_t>(row)].Id);
    return ids;
}

// Deletes one entry's file and then the entry; false (nothing removed) when
// the entry is gone or its file cannot be deleted.
bool DeleteEntry(QuarantineIndex& items, const std::string& folder, int id) {
    for (int i = 0; i < items.Count(); ++i) {
        if (items.Item(i).Id != id)
            continue;
        std::string path = QuarantineFilePath(folder, items.Item(i).FileName);
        if (!path.empty())
            DeleteFileIfExists(path);
        items.Delete(i);
        return true;
    }
    return false;
}

// The state of the window during an approve or release.
void LockForRelease(ScanView& scanView, QuarantineActionWindow& window, bool locked) {
    SetNavigationEnabled(scanView, !locked);
    window.SetSettingsTabsEnabled(!locked);
    scanView.SetControlEnabled(ScanControl::CloseCommand, !locked);
    window.SetAccountTabsEnabled(!locked);
}

// Approve: every shown message whose sender is the sender of a selected
// row. Senders are compared as addresses, not as masks, so a sender address
// holding "*" or "?" cannot pull in other senders' messages.
ReleaseIdSet ApproveIdList(const QuarantineView& view) {
    SenderList senders("");
    for (int row : view.SelectedRows()) {
        if (const QuarantineEntry* item = view.SelectedEntry(row))
            senders.Add(item->SenderAddress);
    }
    ReleaseIdSet ids;
    for (int row = 0; row < static_cast<int>(view.Rows().size()); ++row) {
        const QuarantineEntry* item = view.SelectedEntry(row);
        if (item && senders.Contains(item->SenderAddress))
            ids.insert(std::to_string(item->Id));
    }
    return ids;
}

ReleaseIdSet ReleaseIdList(const QuarantineView& view) {
    ReleaseIdSet ids;
    for (int row : view.SelectedRows()) {
        if (const QuarantineEntry* item = view.SelectedEntry(row))
            ids.insert(std::to_string(item->Id));
    }
    return ids;
}

// POP before SMTP: a login some servers want before they relay. Failures
// are logged only; the release goes on without it.
void PopBeforeSmtp(const Account& account, bool approve) {
    ScanLog& log = ScanState.ScanLog;
    try {
        Pop3Session session(Pop3SettingsFor(account));
        log.Add("Connecting to POP3 server.");
        session.Connect();
        log.Add("Successfully connected to POP3 server.");
        if (approve) {
            session.Disconnect();
            log.Add("Disconnected from POP3 server.");
        } else {
            log.Add("Disconnecting from POP3 server.");
            session.Disconnect();
        }
    } catch (const std::exception& error) {
        log.Add("Error connecting to POP3 server: " + WithoutPasswords(error.what(), account));
    }
}

// Steps 5 to 10 for the rows the view shows: the id list, the group's first
// log line, POP before SMTP and the delivery passes.
void Release(const QuarantineView& view, bool approve) {
    int accountIndex = view.CurrentAccount();
    const Account& account = Accounts.Item(accountIndex);
    ReleaseIdSet ids = approve ? ApproveIdList(view) : ReleaseIdList(view);
    bool showErrorBoxes = ids.size() < 2;
    ScanState.ScanLog.Add("Releasing messages to inbox: " + ShortDateLongTimeText(Now()));
    PopBeforeSmtp(account, approve);
    Counters.ToRelease = static_cast<std::int32_t>(ids.size());
    DeliveryPasses(accountIndex + 1, ScanDeliveryContext(CurrentScanView()), ids,
                   [&](ReleaseIdSet& list, SmtpClient& client) {
                       ReleaseToInbox(accountIndex, list, showErrorBoxes, client, !approve);
                   });
}

} // namespace

bool ReleaseFromView(QuarantineView& view, bool approve, QuarantineActionWindow& window) {
    return ReleaseGroupsFromView(view, approve, window, 1, [](int) {});
}

bool ReleaseGroupsFromView(QuarantineView& view, bool approve, QuarantineActionWindow& window, int groups,
                           const std::function<void(int group)>& showGroup) {
    ScanView& scanView = CurrentScanView();
    if (groups > 0)
        showGroup(0);
    if (groups <= 0 || view.SelectedCount() == 0) {
        scanView.MessageBox("No message is selected.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    const char* question =
        approve ? "Approve selected senders and release messages to inbox?" : "Release selected messages to inbox?";
    if (scanView.MessageBox(question, "Confirm", MsgButtons::YesNo, MsgIcon::Warning) != MsgResult::Yes)
        return false;
    scanView.SetBusyCursor(true);
    window.ShowWaitWindow();
    scanView.Pump();
    Counters.Released = 0;
    LockForRelease(scanView, window, true);
    ScanState.ScanLog.Clear();
    // The dial-up connection request of the original platform has nothing to
    // do here: the network is either there or not.
    std::string failure;
    for (int group = 0; group < groups; ++group) {
        try {
            if (group > 0)
                showGroup(group);
            if (view.SelectedCount() > 0)
                Release(view, approve);
        } catch (const std::exception& error) {
            failure += (failure.empty() ? "" : "\r\n") + std::string(error.what());
            ScanState.ScanLog.Add("Error releasing messages to inbox: " + std::string(error.what()));
        }
    }
    SetNavigationEnabled(scanView, true);
    window.SetSettingsTabsEnabled(true);
    scanView.SetControlEnabled(ScanControl::CloseCommand, true);
    view.Fill();
    window.SetAccountTabsEnabled(true);
    window.CloseWaitWindow();
    ScanState.ScanLog.Add(
        std::string(approve ? "Finished releasing messages to inbox: " : "Finished releasing messages to inbox : ") +
        ShortDateLongTimeText(Now()));
    try {
        ScanState.ScanLog.SaveToFolder(DataFolder());
    } catch (const std::exception& error) {
        failure += (failure.empty() ? "" : "\r\n") + std::string(error.what());
    }
    ScanState.ScanLog.Clear();
    scanView.SetStatusText("Finished releasing messages to inbox.");
    scanView.SetBusyCursor(false);
    if (!failure.empty())
        scanView.MessageBox(failure, "Error", MsgButtons::Ok, MsgIcon::Error);
    return failure.empty();
}

QuarantineActionWindow& NoActionWindow() {
    static NoWindow window;
    return window;
}

void DeleteFromView(QuarantineView& view, QuarantineActionWindow& window) {
    ScanView& scanView = CurrentScanView();
    if (view.SelectedCount() == 0) {
        scanView.MessageBox("No message is selected.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    if (scanView.MessageBox("Delete selected messages?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning) !=
        MsgResult::Yes)
        return;
    scanView.SetBusyCursor(true);
    LockForDelete(scanView, window, true);
    try {
        int accountIndex = view.CurrentAccount();
        Account& account = Accounts.Item(accountIndex);
        std::string folder = AccountFolder(accountIndex);
        for (int id : SelectedIds(view)) {
            try {
                DeleteEntry(account.Quarantine, folder, id);
            } catch (const std::runtime_error&) {
                // A file that cannot be deleted keeps its entry; the next id goes on.
            }
        }
        view.Fill();
        LockForDelete(scanView, window, false);
        SaveIndex(account);
    } catch (...) {
        // The window must stay usable whatever went wrong.
        view.Fill();
        LockForDelete(scanView, window, false);
        scanView.SetBusyCursor(false);
        throw;
    }
    scanView.SetBusyCursor(false);
}
