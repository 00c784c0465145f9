#pragma once

#include "scan/scan_account.h"

#include <string>

// The scan run: one pass over every enabled account, started by the user,
// a shortcut or the background timer, reporting through CurrentScanView()
// and ScanState (the caller sets ScanState.Unattended for a timer-started
// run).

// What became of a run, for callers that report it (the command line's exit
// status); the window ignores it.
struct ScanRunOutcome {
    // The run got past its checks (there was an enabled account and no
    // account deletion in progress).
    bool Ran = false;
    // Enabled accounts scanned, and how many of them failed.
    int AccountsScanned = 0;
    int AccountsFailed = 0;
    // Cancel was requested.
    bool Aborted = false;
    // Messages that could not be saved (they stay on the server) and run
    // files that could not be written; the error text when "log.txt" was
    // not written.
    int SaveFailures = 0;
    std::string LogError;
};

// StartScan. Without accounts: asks whether to configure one
// (attended runs only). Without an enabled account: the notice, also when
// unattended. While an account is being deleted: nothing. Otherwise scans
// every enabled account in order with ScanAccount (followUpSteps sending
// what each account's scan collected), keeps the statistics,
// progress, elapsed time and details up to date, honours Cancel before each
// account, and at the end trims the loop list to 100 and saves it and writes
// "log.txt". One account's failure never stops the run. An unexpected error
// (a file that cannot be written) ends the account loop; it is logged, shown
// in an "Error" box when attended, and the run still ends in order, so the
// window is always left usable.
ScanRunOutcome RunScan(const FollowUpSteps& followUpSteps);

// CancelScan: asks "Are you sure you want to cancel?"; on Yes disables
// Cancel, shows "Aborting scan, please wait..." and sets AbortRequested.
// Does not wait.
void RequestScanCancel();
