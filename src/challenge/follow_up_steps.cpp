#include "challenge/follow_up_steps.h"

#include "challenge/auto_reply.h"
#include "challenge/release_to_inbox.h"
#include "mail/delivery_passes.h"
#include "records/program_settings.h"
#include "scan/scan_delivery_context.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"
#include "scan/work_lists.h"

namespace {

void ExtendProgress(ScanView& view, std::size_t size) {
    view.SetProgressMax(view.ProgressMax() + static_cast<int>(size));
    view.Pump();
}

void FillProgress(ScanView& view) {
    view.SetProgressPosition(view.ProgressMax());
}

void SendReplies(int accountNumber, AutoReplyList& list, AutoReplyKind kind, ScanView& view) {
    DeliveryPasses(accountNumber, ScanDeliveryContext(view), list, [&](AutoReplyList& entries, SmtpClient& client) {
        SendAutoReplies(entries, kind, accountNumber - 1, view, client);
    });
    FillProgress(view);
}

void SendChallenges(int accountNumber, AutoReplyList& list, ScanView& view) {
    view.SetCurrentAction("step 3/5: sending challenge emails");
    ExtendProgress(view, list.size());
    Counters.ToSend = list.Count();
    SendReplies(accountNumber, list, AutoReplyKind::Challenge, view);
    view.AddDetailsLine("Sent " + std::to_string(Counters.Sent) + "/" + std::to_string(Counters.ToSend) +
                        " challenge emails.");
    view.Pump();
}

void SendPostResponses(int accountNumber, AutoReplyList& list, ScanView& view) {
    ExtendProgress(view, list.size());
    Counters.ToSend = list.Count();
    Counters.Sent = 0;
    SendReplies(accountNumber, list, AutoReplyKind::PostResponse, view);
    view.AddDetailsLine("Sent " + std::to_string(Counters.Sent) + "/" + std::to_string(Counters.ToSend) +
                        " post-response emails.");
    view.Pump();
}

void ReleaseApproved(int accountNumber, ReleaseIdSet& list, ScanView& view) {
    view.SetCurrentAction("step 5/5: releasing approved messages to inbox");
    ExtendProgress(view, list.size());
    Counters.ToRelease = static_cast<int>(list.size());
    DeliveryPasses(accountNumber, ScanDeliveryContext(view), list, [&](ReleaseIdSet& ids, SmtpClient& client) {
        ReleaseToInbox(accountNumber - 1, ids, false, client, false);
    });
    FillProgress(view);
    view.AddDetailsLine("Approved " + std::to_string(Counters.Approved) + " senders.");
    view.AddDetailsLine("Released " + std::to_string(Counters.Released) + "/" + std::to_string(Counters.ToRelease) +
                        " messages to inbox.");
    view.Pump();
}

} // namespace

void RunFollowUpSteps(int accountNumber, AccountWorkLists& work, ScanView& view) {
    if (!work.ChallengeList.Empty() && !ProgramSettings.NoChallenge)
        SendChallenges(accountNumber, work.ChallengeList, view);
    if (!work.PostResponseList.Empty() && !ProgramSettings.NoChallenge)
        SendPostResponses(accountNumber, work.PostResponseList, view);
    if (!work.ReleaseList.empty())
        ReleaseApproved(accountNumber, work.ReleaseList, view);
}
