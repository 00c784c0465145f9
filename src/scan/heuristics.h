#pragma once

#include <string>

class MailMessage;
class AliasList;

// The tests that file a quarantined message under its category. Pure
// functions of a decoded message (as reloaded from its quarantine file) and
// a few account values; every text test is a plain substring search on
// lower-cased text. None of them throws for any message.

// Mailing lists, auto-responders, order confirmations and the like: the
// Precedence header, sender and reply local parts, subject and plain-text
// body phrases (those naming the account's address or reply address).
bool IsAutomatedMail(const MailMessage& message, const std::string& accountAddress,
                     const std::string& accountReplyAddress);

// A message of two or more parts with an attachment whose name ends in a
// program extension (".exe", ".pif", ".scr", ...).
bool IsVirusMail(const MailMessage& message);

// No sender; not addressed to the account (when SpamNotRecipient is on);
// blacklisted; claiming to come from the account itself (its address, reply
// address or one of its aliases, in From or Reply-To); without a valid
// date; or a mail-system notice.
bool IsObviousSpam(const MailMessage& message, const std::string& accountAddress, const AliasList& aliases,
                   const std::string& accountReplyAddress);

// The From address or the first Reply-To address contains "mailer-daemon@",
// "mailerdaemon@" or "postmaster@".
bool IsMailerDaemon(const MailMessage& message);

// A part's "Content-Type" up to the first ";" (the whole value without
// one), lower-cased and not trimmed.
std::string MediaType(const std::string& contentType);
