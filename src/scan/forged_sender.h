#pragma once

#include "mail/authentication_results.h"

#include <string>
#include <vector>

class MailMessage;

// Whether the mail system that received a message found its sender forged,
// by what it recorded in "Authentication-Results" header fields.
//
// Only the receiving system's own fields count. Header fields are added at
// the top as a message travels, so the topmost Authentication-Results field
// is the last system's verdict; the fields counted are the ones that share
// its authserv-id and stand above the first "Received" field below it (a
// provider may write several, and may put Received fields of its own
// internal hops above them), and none that stands below the first field
// the message's author writes (From, To, Subject, Date, ...). Fields
// further down came with the message and may have been written by the
// sender.
//
// Only failures are acted on, so a sender who writes a passing result of
// his own gains nothing; a message without such fields is no forgery.

// The counted fields, parsed, top first.
std::vector<AuthenticationResults> ReceiverAuthenticationResults(const std::vector<std::string>& headerLines);

// True when a counted field says dmarc=fail, or spf=fail while none says
// dkim=pass.
bool IsForgedSender(const MailMessage& message);
