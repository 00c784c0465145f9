#include "scan/heuristics.h"

#include "mail/mail_message.h"
#include "records/alias_list.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <initializer_list>

namespace {

bool Contains(const std::string& text, const std::string& word) {
    return text.find(word) != std::string::npos;
}

bool ContainsAny(const std::string& text, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&](const char* word) { return Contains(text, word); });
}

std::string WithoutCharacters(std::string text, const std::string& removed) {
    text.erase(std::remove_if(text.begin(), text.end(), [&](char c) { return removed.find(c) != std::string::npos; }),
               text.end());
    return text;
}

// An address reduced to its lower-cased local part without "-", "_" and ".".
std::string LocalPartText(const std::string& address) {
    return LowerAscii(TextBefore(WithoutCharacters(address, "-_."), "@"));
}

std::string FirstReplyOrBang(const MailMessage& message) {
    return message.ReplyTo.empty() ? std::string("!") : message.ReplyTo.front().Address;
}

// The plain-text body the phrase tests look at.
std::string BodyText(const MailMessage& message) {
    std::string text;
    if (message.Parts.empty()) {
        text = JoinWith(message.BodyLines, "\r\n");
    } else {
        auto plain = std::find_if(message.Parts.begin(), message.Parts.end(), [](const MessagePart& part) {
            return !part.IsAttachment() && MediaType(part.ContentType) == "text/plain";
        });
        if (plain != message.Parts.end())
            text = JoinWith(plain->Lines, "\r\n");
    }
    return WithoutCharacters(LowerAscii(text), " :");
}

// Each word tested against S first, then R.
bool EitherContainsAny(const std::string& sender, const std::string& reply, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(),
                       [&](const char* word) { return Contains(sender, word) || Contains(reply, word); });
}

bool BodyNamesAddress(const std::string& body, const std::string& address) {
    if (address.empty())
        return false;
    std::string lowered = LowerAscii(address);
    for (const char* phrase :
         {"sentto", "senttotheaddress", "senttotheemailaddress", "senttothee-mailaddress", "senttothefollowingaddress",
          "senttothefollowingemailaddress", "senttothefollowinge-mailaddress"})
        if (Contains(body, phrase + lowered))
            return true;
    return false;
}

bool OccursIn(const std::string& address, const std::string& loweredText) {
    return !address.empty() && Contains(loweredText, address);
}

bool AnyEntryIsAlias(const MailAddressList& list, const AliasList& aliases) {
    return std::any_of(list.begin(), list.end(),
                       [&](const MailAddress& entry) { return aliases.Contains(entry.Address); });
}

// Not addressed to the account: neither of its addresses in To or Cc, and
// no To or Cc entry one of its aliases.
bool NotAddressedToAccount(const MailMessage& message, const std::string& account, const std::string& reply,
                           const AliasList& aliases) {
    std::string to = LowerAscii(AddressListText(message.To));
    std::string cc = LowerAscii(AddressListText(message.Cc));
    if (OccursIn(account, to) || OccursIn(reply, to) || OccursIn(account, cc) || OccursIn(reply, cc))
        return false;
    return !AnyEntryIsAlias(message.To, aliases) && !AnyEntryIsAlias(message.Cc, aliases);
}

// An empty account address never equals anything.
bool SameAddress(const std::string& address, const std::string& accountAddress) {
    return !accountAddress.empty() && SameText(address, accountAddress);
}

} // namespace

std::string MediaType(const std::string& contentType) {
    // Not trimmed: "text/plain ;charset=..." is not "text/plain" here.
    return LowerAscii(TextBefore(contentType, ";"));
}

bool IsAutomatedMail(const MailMessage& message, const std::string& accountAddress,
                     const std::string& accountReplyAddress) {
    const std::string sender = LocalPartText(message.From.Address);
    const std::string reply = LocalPartText(FirstReplyOrBang(message));
    const std::string body = BodyText(message);
    const std::string subject = WithoutCharacters(LowerAscii(message.Subject), " -");
    const std::string precedence = LowerAscii(message.HeaderValue("Precedence"));

    if (precedence == "bulk" || precedence == "list" || precedence == "junk" || precedence == "auto_reply")
        return true;
    if (EitherContainsAny(
            sender, reply,
            {"noreply", "donotreply", "donotrespond", "dontreply", "dontrespond", "nobody", "nonexistent"}))
        return true;
    if (ContainsAny(sender, {"autoreply", "autoresponse", "autorespond", "automaticreply", "automaticresponse",
                             "automaticrespond", "automatedreply", "automatedresponse", "automatedrespond",
                             "autogenerated", "automaticallygenerated"}))
        return true;
    if (EitherContainsAny(sender, reply,
                          {"sales", "confirm", "order", "billing", "renewal", "customer", "service", "webmaster",
                           "webadmin", "newsletter", "mailinglist", "hostmaster"}))
        return true;
    if (ContainsAny(subject,
                    {"donotreply", "donotrespond", "don'treply", "don'trespond", "autoreply", "autoresponse",
                     "autorespond", "automatedreply", "automatedresponse", "automatedrespond", "automaticreply",
                     "automaticresponse", "automaticrespond", "autogenerated", "automaticallygenerated", "renewal"}))
        return true;
    if (ContainsAny(body, {"donotreply", "don'treply", "donotrespond", "don'trespond"}))
        return true;
    if (BodyNamesAddress(body, accountAddress) || BodyNamesAddress(body, accountReplyAddress))
        return true;
    return ContainsAny(body, {"privacypolicy", "privacystatement", "emailpreferences"});
}

bool IsVirusMail(const MailMessage& message) {
    if (message.Parts.size() < 2)
        return false;
    for (const MessagePart& part : message.Parts) {
        if (MediaType(part.ContentType) == "multipart/alternative" || !part.IsAttachment())
            continue;
        std::size_t dot = part.FileName.rfind('.');
        std::string extension = dot == std::string::npos ? std::string() : LowerAscii(part.FileName.substr(dot));
        for (const char* program :
             {".exe", ".com", ".pif", ".vbs", ".bat", ".cmd", ".scr", ".shs", ".js", ".dll", ".lnk", ".chm"})
            if (extension == program)
                return true;
    }
    return false;
}

bool IsObviousSpam(const MailMessage& message, const std::string& accountAddress, const AliasList& aliases,
                   const std::string& accountReplyAddress) {
    const std::string& from = message.From.Address;
    const std::string reply = FirstReplyOrBang(message);
    const std::string account = LowerAscii(accountAddress);
    const std::string accountReply = LowerAscii(accountReplyAddress);

    if (from.empty())
        return true;
    if (ProgramSettings.SpamNotRecipient && NotAddressedToAccount(message, account, accountReply, aliases))
        return true;
    if (BlockedSenders.Matches(from) || BlockedSenders.Matches(reply))
        return true;
    if (SameAddress(from, account) || SameAddress(from, accountReply) || SameAddress(reply, account) ||
        SameAddress(reply, accountReply) || aliases.Contains(from) || aliases.Contains(reply))
        return true;
    if (message.Date <= 0)
        return true;
    return IsMailerDaemon(message);
}

bool IsMailerDaemon(const MailMessage& message) {
    // A Reply-To naming a mail system is as good as such a From: a reply to
    // it would go to the mail system all the same.
    for (const std::string& address : {message.From.Address, message.ReplyToAddress()})
        if (ContainsAny(LowerAscii(address), {"mailer-daemon@", "mailerdaemon@", "postmaster@"}))
            return true;
    return false;
}
