#pragma once

#include <string>

class MailMessage;
class Account;

// Who may receive an automatic reply, and whose mail may count as an answer
// to a challenge. A challenge-response tool must never reply to itself: a
// reply to one of the account's own addresses comes back, is taken as an
// answer, and the account answers itself on every scan.

// True when address is one of the account's own: its EmailAddress, its
// EffectiveAddress, its ReplyAddress or one of its Aliases (any letter case;
// an empty text is never an address of the account).
bool IsOwnAddress(const Account& account, const std::string& address);

// The log line that says why no challenge or post-response may go to
// address for the message with this header, or "" when one may: an address
// IsValidEmail refuses, the account's own address, or any address of a
// message with an empty Return-Path (a bounce or another automatic notice).
std::string AutoReplyRefusal(const Account& account, const MailMessage& header, const std::string& address);

// False for mail that must never count as an answer to a challenge, whatever
// its subject says: mail from the account itself (From or Reply-To), from
// a mailer-daemon or postmaster (IsMailerDaemon), from a forged sender
// (IsForgedSender, when SkipForgedSenders is on), and mail whose answer
// address AutoReplyRefusal refuses.
bool MayBeAnswer(const Account& account, const MailMessage& header, const std::string& answerAddress);
