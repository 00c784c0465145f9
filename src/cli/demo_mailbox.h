#pragma once

#include "platform/date_time.h"

#include <string>
#include <vector>

// The mail the demo puts into its mailbox before the first scan: one message
// of every kind a scan tells apart.
struct DemoMail {
    std::string EnvelopeFrom;
    std::string Text; // CR LF lines, no terminating "."
    // What the scan is expected to do with it, for the demo's narration.
    std::string Expected;
};

// The demo's cast.
inline constexpr char DemoAccountAddress[] = "me@quorvane-demo.test";
inline constexpr char DemoApprovedSender[] = "friend@partner.example";
inline constexpr char DemoAnsweringSender[] = "ann@outside.test";
inline constexpr char DemoSilentSender[] = "bob@elsewhere.test";

// Messages to DemoAccountAddress, dated around now: from the approved sender,
// from two unknown senders, from a mailing list, with a ".pif" attachment,
// and an obvious spam not addressed to the account.
std::vector<DemoMail> DemoMailbox(SerialDateTime now);
