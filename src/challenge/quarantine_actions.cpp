#include "challenge/quarantine_actions.h"

#include "challenge/quarantine_file.h"
#include "challenge/quarantine_view.h"
#include "platform/paths.h"
#include "records/uObjects.h"
#include "scan/scan_view.h"

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
bool DeleteEntry(TUnkMailItems& items, const std::string& folder, int id) {
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

} // namespace

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
        TAccountItem& account = Accounts.Item(accountIndex);
        std::string folder = AccountFolder(accountIndex);
        for (int id : SelectedIds(view)) {
            try {
                DeleteEntry(account.UnkMailItems, folder, id);
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
