#include "cli/commands.h"

#include "challenge/follow_up_steps.h"
#include "challenge/quarantine_purge.h"
#include "cli/options.h"
#include "cli/quarantine_selection.h"
#include "cli/terminal_session.h"
#include "cli/terminal_text.h"
#include "platform/data_folder.h"
#include "records/account.h"
#include "records/recent_recipient_list.h"
#include "records/sender_lists.h"
#include "scan/scan_run.h"
#include "scan/scan_state.h"

#include <ostream>

namespace {

// Exit status of a scan that was cancelled with Ctrl+C (128 + SIGINT, as a
// shell reports an interrupted program).
constexpr int ExitCancelled = 130;

// What the desktop program loads at start before its first scan, including
// the purge of expired quarantine files.
void LoadForScan() {
    LoadQuarantine();
    LoadLists();
    RecentRecipients.LoadFromFile(DataFolder());
    for (int a = 0; a < Accounts.Count(); ++a)
        PurgeOldQuarantine(a);
}

int ExitStatusOf(const ScanRunOutcome& outcome) {
    if (!outcome.Ran || outcome.AccountsFailed > 0 || outcome.SaveFailures > 0 || !outcome.LogError.empty())
        return ExitFailed;
    return outcome.Aborted ? ExitCancelled : ExitOk;
}

} // namespace

int ScanCommand(CliContext& context) {
    Options options(context.Arguments, {}, {"unattended"});
    if (!options.Positional().empty())
        throw UsageError("scan [--unattended]");
    LoadForScan();
    ScanRunOutcome outcome;
    std::string scanned, spam, elapsed;
    {
        TerminalSession session(context, options.Has("unattended"), false);
        session.View().SetCancelHandler(RequestScanCancel);
        ScanState.Unattended = options.Has("unattended");
        outcome = RunScan(RunFollowUpSteps);
        ScanState.Unattended = false;
        scanned = session.View().ScannedStatistic();
        spam = session.View().SpamStatistic();
        elapsed = ElapsedTimeText(ScanState.ElapsedSeconds);
    }
    if (outcome.Ran) {
        context.Out << "Scanned: " << scanned << "  Spam: " << spam << "  Elapsed: " << elapsed << "\n";
        context.Out << "Accounts: " << outcome.AccountsScanned << " scanned, " << outcome.AccountsFailed << " failed"
                    << (outcome.Aborted ? " (scan cancelled)" : "") << ". Log: " << TerminalSafe(DataFolder())
                    << "/log.txt\n";
        if (outcome.SaveFailures > 0)
            context.Out << "Could not save " << outcome.SaveFailures
                        << (outcome.SaveFailures == 1 ? " message or file" : " messages or files")
                        << " (see the log); messages that were not saved stay on the server.\n";
        if (!outcome.LogError.empty())
            context.Out << "The log was not written: " << TerminalSafe(outcome.LogError) << "\n";
    }
    return ExitStatusOf(outcome);
}
