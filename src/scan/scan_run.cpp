#include "scan/scan_run.h"

#include "import/address_book_sync.h"
#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "records/account.h"
#include "records/account_address.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "scan/scan_account.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

#include <stdexcept>

namespace {

constexpr int LoopListLimit = 100;

const char* const NoAccountsQuestion =
    "No email accounts are configured.  Would you like to configure your email account(s) now?";
const char* const NoEnabledAccountNotice =
    "There are no email accounts enabled.  To enable an email account, turn on the option \"Enable spam "
    "protection for this account\" in the email account settings.";
const char* const AttentionNotice =
    "NOTICE: a possible automated message/mailing list or virus has been detected.  These types of messages cannot "
    "be automatically handled and require your attention.  Please check the quarantine folder for any possible "
    "legitimate emails in the \"Possible Automated Mail\" and \"Possible Viruses\" tabs.";

int EnabledAccountCount() {
    int count = 0;
    for (int i = 0; i < Accounts.Count(); ++i)
        count += Accounts.Item(i).Enabled ? 1 : 0;
    return count;
}

// Step 4: the run-level state, the controls and the labels.
void StartRun(ScanView& view) {
    view.SetBusyCursor(true);
    ScanState.ScanLog.Clear();
    ScanState.ScanLog.Add("Start scan: " + ShortDateLongTimeText(Now()));
    ScanState.Running = true;
    view.SetControlEnabled(ScanControl::Start, false);
    SetNavigationEnabled(view, false);
    view.SetControlEnabled(ScanControl::CloseCommand, false);
    // ConnectInternet asked the dial-up networking for a connection; here
    // the network is either there or not, so there is nothing to ask.
    ScanState.AbortRequested = false;
    view.SetControlEnabled(ScanControl::Cancel, true);
    view.ClearDetails();
    ScanState.MessagesScanned = 0;
    ScanState.SpamDetected = 0;
    ScanState.ResponsesReceived = 0;
    ShowStatistics(ScanState, view);
    ScanState.NeedsAttention = false;
    ScanState.SaveFailures = 0;
    ResetElapsedTime(ScanState, view);
    ScanState.ApprovedThisRun.Clear();
    ScanState.DeclinedThisRun.Clear();
    if (ProgramSettings.SyncAddressBook)
        SyncAddressBooks(false);
    view.StartAnimation();
    SetElapsedTimeRunning(ScanState, view, true);
}

// Steps 5.3 to 5.8 for one enabled account (index from 0, ordinal k of n).
ScanAccountResult ScanOne(ScanView& view, const FollowUpSteps& followUpSteps, int index, int k, int n) {
    const Account& account = Accounts.Item(index);
    view.SetControlEnabled(ScanControl::Cancel, true);
    view.SetProgressPosition(0);
    view.SetProgressMax(0);
    view.Pump();
    Counters.Scanned = 0;
    Counters.Spam = 0;
    view.SetHeadline("Scanning " + account.EmailAddress + " (" + std::to_string(k) + "/" + std::to_string(n) + ")" +
                     ", please wait...");
    ScanState.ScanLog.Add("Scanning " + account.EmailAddress + ".");
    view.AddDetailsLine("Scanning " + EffectiveAddress(account) + ".");
    ScanAccountResult result = ScanAccount(index + 1, followUpSteps);
    view.StopTrayAnimation();
    view.ResetTrayIcon();
    view.AddDetailsLine("Finished scanning account.");
    ScanState.ScanLog.Add("Finished scanning account.");
    if (result == ScanAccountResult::Completed) {
        if (ScanState.AbortRequested) {
            ScanState.ScanLog.Add("Scan aborted.");
            view.AddDetailsLine("\r\nScan aborted.");
        }
        view.AddDetailsLine("");
    }
    if (view.ProgressMax() != 0) {
        view.SetProgressPosition(view.ProgressMax());
    } else {
        view.SetProgressMax(1);
        view.SetProgressPosition(1);
    }
    view.Pump();
    return result;
}

// Step 5: the enabled accounts in collection order.
void ScanAccounts(ScanView& view, const FollowUpSteps& followUpSteps, int enabled, ScanRunOutcome& outcome) {
    int k = 1;
    for (int i = 0; i < Accounts.Count(); ++i) {
        if (!Accounts.Item(i).Enabled)
            continue;
        if (ScanState.AbortRequested)
            break;
        ++outcome.AccountsScanned;
        if (ScanOne(view, followUpSteps, i, k, enabled) == ScanAccountResult::Failed)
            ++outcome.AccountsFailed;
        ++k;
    }
}

void SaveLoopList() {
    RecentRecipients.TrimTo(LoopListLimit);
    RecentRecipients.SaveToFile(DataFolder());
}

// Steps 7 to 9.
void FinishRun(ScanView& view) {
    view.ScrollDetailsToTop();
    view.SetHeadline("Finished scanning your email accounts for spam.");
    view.SetCurrentAction("");
    SetElapsedTimeRunning(ScanState, view, false);
    view.StopAnimation();
    view.SetControlEnabled(ScanControl::Cancel, false);
    if (ScanState.NeedsAttention && !ProgramSettings.NoChallenge)
        view.AddDetailsLine(AttentionNotice);
    view.SetControlEnabled(ScanControl::CloseCommand, true);
    SetNavigationEnabled(view, true);
    view.SetControlEnabled(ScanControl::Start, true);
    ScanState.Running = false;
    ScanState.ApprovedThisRun.Clear();
    ScanState.DeclinedThisRun.Clear();
}

// An error the run cannot handle: logged, and shown when someone is there.
void ReportError(ScanView& view, const std::string& text) {
    ScanState.ScanLog.Add("Error: " + text);
    if (!ScanState.Unattended) {
        bool clockWasRunning = ScanState.Clock.Running();
        SetElapsedTimeRunning(ScanState, view, false);
        view.MessageBox(text, "Error", MsgButtons::Ok, MsgIcon::Error);
        if (clockWasRunning)
            SetElapsedTimeRunning(ScanState, view, true);
    }
}

} // namespace

ScanRunOutcome RunScan(const FollowUpSteps& followUpSteps) {
    ScanView& view = CurrentScanView();
    ScanRunOutcome outcome;
    if (Accounts.Count() == 0) {
        if (!ScanState.Unattended &&
            view.MessageBox(NoAccountsQuestion, "Notice", MsgButtons::YesNo, MsgIcon::Warning) == MsgResult::Yes)
            view.OpenAccountSettings();
        return outcome;
    }
    int enabled = EnabledAccountCount();
    if (enabled == 0) {
        view.MessageBox(NoEnabledAccountNotice, "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return outcome;
    }
    if (ScanState.DeletingAccount)
        return outcome;
    outcome.Ran = true;
    try {
        StartRun(view);
        ScanAccounts(view, followUpSteps, enabled, outcome);
    } catch (const std::exception& error) {
        ++outcome.AccountsFailed;
        // The account scan may have ended while connected.
        view.StopTrayAnimation();
        view.ResetTrayIcon();
        ReportError(view, error.what());
    }
    try {
        SaveLoopList();
    } catch (const std::exception& error) {
        ++ScanState.SaveFailures;
        ReportError(view, error.what());
    }
    FinishRun(view);
    outcome.Aborted = ScanState.AbortRequested;
    ScanState.ScanLog.Add("End scan: " + ShortDateLongTimeText(Now()));
    try {
        ScanState.ScanLog.SaveToFolder(DataFolder());
    } catch (const std::exception& error) {
        outcome.LogError = error.what();
        if (!ScanState.Unattended)
            view.MessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
    }
    outcome.SaveFailures = ScanState.SaveFailures;
    ScanState.ScanLog.Clear();
    view.SetBusyCursor(false);
    return outcome;
}

void RequestScanCancel() {
    ScanView& view = CurrentScanView();
    if (view.MessageBox("Are you sure you want to cancel?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning) !=
        MsgResult::Yes)
        return;
    view.SetControlEnabled(ScanControl::Cancel, false);
    view.SetHeadline("Aborting scan, please wait...");
    ScanState.AbortRequested = true;
}
