#pragma once

#include "scan/work_lists.h"

#include <string>
#include <vector>

class MailMessage;
class ScanView;
class Account;
class SmtpClient;

// The automatic replies: the challenge sent to an unknown sender, and the
// post-response that confirms an approval.

enum class AutoReplyKind { Challenge, PostResponse };

// For each "name=value" pair in order (split at the first "="; a pair
// without one has an empty value), replaces every occurrence of name in
// text by value, left to right. Text a replacement inserts is not searched
// again for the same name, but later pairs do search it. Names are matched
// exactly; an empty name is ignored.
void ReplacePlaceholders(const std::vector<std::string>& pairs, std::string& text);

// The challenge subject: "Re: " + the subject trimmed and cut to its first 25
// characters + two spaces + the tag of the number.
std::string ChallengeSubject(const std::string& subject, int challengeNumber);

// The body: the introduction line, an empty line, every line of the kind's
// template (ChallengeTemplate or PostResponseTemplate), an empty line and a
// dashes line, with "%My-Name%" and then "%Sender-Name%" filled in.
std::string AutoReplyBody(AutoReplyKind kind, const std::string& accountName, const std::string& senderName);

// Composes the reply for one list entry in decoded mode: To the entry, From
// the account's EffectiveAddress with its DisplayName, Reply-To its
// ReplyAddress when set, the subject (a new challenge tag for a challenge,
// the entry's subject unchanged for a post-response), the current date,
// priority highest, plain text declared as ISO-8859-1, "Precedence:
// auto_reply". Line breaks and other control characters in the names and
// the subject become spaces, so nothing a sender wrote can add header lines.
void ComposeAutoReply(MailMessage& message, const AutoReplyEntry& entry, AutoReplyKind kind, const Account& account);

// Sends one reply per entry of list, from the last entry down, through the
// connected smtpClient for account accountIndex (from 0), with a null
// envelope sender unless NoNullMailFrom is set, and "X-Mailer: Quorvane".
// Each message sent puts its recipient at the head of RecentRecipients, counts in
// Counters.Sent, shows the step text with Sent and ToSend, advances the
// view's progress by one and leaves the list; entries that failed stay.
// Transport failures are logged; nothing is raised. Returns true.
bool SendAutoReplies(AutoReplyList& list, AutoReplyKind kind, int accountIndex, ScanView& view, SmtpClient& smtpClient);
