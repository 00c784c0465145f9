#include "scan/reply_guards.h"

#include "mail/mail_message.h"
#include "records/account.h"
#include "records/account_address.h"
#include "records/email_syntax.h"
#include "records/program_settings.h"
#include "records/text_helpers.h"
#include "scan/forged_sender.h"
#include "scan/heuristics.h"

#include <algorithm>
#include <cctype>

namespace {

bool Same(const std::string& address, const std::string& own) {
    return !own.empty() && SameText(address, own);
}

// Bounces and other automatic notices travel with the null reverse-path,
// which the final delivery records as "Return-Path: <>"; answering them
// would only start a loop between two mail systems.
bool HasNullReturnPath(const MailMessage& header) {
    if (header.IndexOfHeader("Return-Path") < 0)
        return false;
    std::string path = header.HeaderValue("Return-Path");
    path.erase(std::remove_if(path.begin(), path.end(), [](unsigned char c) { return std::isspace(c); }), path.end());
    return path.empty() || path == "<>";
}

} // namespace

bool IsOwnAddress(const Account& account, const std::string& address) {
    if (address.empty())
        return false;
    return Same(address, account.EmailAddress) || Same(address, EffectiveAddress(account)) ||
           Same(address, account.ReplyAddress) || account.Aliases.Contains(address);
}

std::string AutoReplyRefusal(const Account& account, const MailMessage& header, const std::string& address) {
    // IsValidEmail asks for a domain of two labels or more: an unqualified
    // "root", an empty address or a display name left over from a broken
    // header would only come back as a bounce, or land on a local user.
    if (!IsValidEmail(address))
        return "Not challenging invalid address: " + address;
    if (IsOwnAddress(account, address))
        return "Not challenging own address: " + address;
    if (HasNullReturnPath(header))
        return "Not challenging mail without a return path: " + address;
    return {};
}

bool MayBeAnswer(const Account& account, const MailMessage& header, const std::string& answerAddress) {
    if (IsOwnAddress(account, header.From.Address) || IsOwnAddress(account, header.ReplyToAddress()))
        return false;
    // A bounce quotes the subject of what it returns, the tag included.
    if (IsMailerDaemon(header))
        return false;
    // Approving a forged sender would send the post-response to a third party.
    if (ProgramSettings.SkipForgedSenders && IsForgedSender(header))
        return false;
    return AutoReplyRefusal(account, header, answerAddress).empty();
}
