#pragma once

class ScanView;
struct AccountWorkLists;

// Steps 3 to 5 of an account scan (the FollowUpSteps that the front ends
// hand to RunScan), after its POP3 session has ended, each
// over SMTP connections of its own (DeliveryPasses) for account
// accountNumber (from 1):
//   3. the challenges of work.ChallengeList, unless NoChallenge is set;
//   4. the post-responses of work.PostResponseList, unless NoChallenge is set;
//   5. the release of work.ReleaseList (whatever NoChallenge says), which
//      approves the released senders.
// Each step extends the view's progress range by its list's size, fills the
// bar when done and reports its counts in the details. What could not be
// sent stays in the lists (and the quarantine) for the caller to drop.
// Errors other than the transport failures the senders log themselves are
// passed on.
void RunFollowUpSteps(int accountNumber, AccountWorkLists& work, ScanView& view);
