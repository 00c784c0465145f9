#include "challenge/auto_reply.h"

#include "mail/charset_conversion.h"
#include "mail/mail_message.h"
#include "mail/smtp_client.h"
#include "platform/mail_transport_error.h"
#include "records/account.h"
#include "records/account_address.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "records/text_helpers.h"
#include "scan/challenge_tag.h"
#include "scan/password_mask.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

#include <algorithm>

namespace {

constexpr std::size_t SubjectLimit = 25;

// Control characters would end the header line they stand in.
std::string SingleLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }, ' ');
    return text;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The body is declared ISO-8859-1, so text in the locale's own encoding is
// converted (characters it lacks transliterated); text that does not convert
// is sent as it stands.
std::string Latin1Body(const std::string& text) {
    if (IsAscii(text))
        return text;
    std::string converted;
    if (ConvertCharset(text, LocaleCharset(), "ISO-8859-1//TRANSLIT", converted))
        return converted;
    return text;
}

// The first count characters: whole UTF-8 sequences in a UTF-8 locale,
// bytes in a single-byte one.
std::string FirstCharacters(const std::string& text, std::size_t count) {
    if (!SameCharset(LocaleCharset(), "UTF-8"))
        return text.substr(0, count);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
        if (!continuation && characters++ == count)
            return text.substr(0, i);
    }
    return text;
}

const char* StepText(AutoReplyKind kind) {
    return kind == AutoReplyKind::Challenge ? "step 3/5: sending challenge emails ("
                                            : "step 4/5: sending post-response emails (";
}

} // namespace

void ReplacePlaceholders(const std::vector<std::string>& pairs, std::string& text) {
    for (const std::string& pair : pairs) {
        std::size_t equals = pair.find('=');
        std::string name = pair.substr(0, equals);
        std::string value = equals == std::string::npos ? std::string() : pair.substr(equals + 1);
        if (name.empty())
            continue;
        std::string result;
        std::size_t from = 0;
        for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, from)) {
            result.append(text, from, at - from);
            result += value;
            from = at + name.size();
        }
        result.append(text, from, std::string::npos);
        text = std::move(result);
    }
}

std::string ChallengeSubject(const std::string& subject, int challengeNumber) {
    std::string cut = FirstCharacters(Trim(subject), SubjectLimit);
    return "Re: " + cut + "  " + ChallengeTagText(challengeNumber);
}

std::string AutoReplyBody(AutoReplyKind kind, const std::string& accountName, const std::string& senderName) {
    const std::string& templateText = kind == AutoReplyKind::Challenge ? ChallengeTemplate : PostResponseTemplate;
    std::string body = "This is an automatic reply to your message.\r\n\r\n";
    body += JoinLines(SplitLines(templateText));
    body += "\r\n----------";
    ReplacePlaceholders({"%My-Name%=" + accountName, "%Sender-Name%=" + senderName}, body);
    return body;
}

void ComposeAutoReply(MailMessage& message, const AutoReplyEntry& entry, AutoReplyKind kind, const Account& account) {
    message.Clear();
    message.RawRead = message.RawWrite = false;
    message.To = {MailAddress{SingleLine(entry.Name), entry.Address}};
    message.From = MailAddress{SingleLine(account.DisplayName), EffectiveAddress(account)};
    if (!account.ReplyAddress.empty())
        message.ReplyTo = {MailAddress{"", account.ReplyAddress}};
    message.Subject = SingleLine(
        kind == AutoReplyKind::Challenge ? ChallengeSubject(entry.Subject, NewChallengeNumber()) : entry.Subject);
    message.UseCurrentDate = true;
    message.Priority = 0;
    message.ContentType = "text/plain; charset=\"iso-8859-1\"";
    std::string body = Latin1Body(AutoReplyBody(kind, account.DisplayName, entry.Name));
    message.ContentTransferEncoding = IsAscii(body) ? "7bit" : "8bit";
    message.ExtraHeaders.push_back("Precedence: auto_reply");
    message.BodyLines = SplitLines(body);
}

bool SendAutoReplies(AutoReplyList& list, AutoReplyKind kind, int accountIndex, ScanView& view,
                     SmtpClient& smtpClient) {
    const Account& account = Accounts.Item(accountIndex);
    ScanLog& log = ScanState.ScanLog;
    for (int index = list.Count() - 1; index >= 0; --index) {
        bool sent = false;
        try {
            const AutoReplyEntry entry = list[index];
            MailMessage message;
            ComposeAutoReply(message, entry, kind, account);
            smtpClient.EnvelopeFrom = ProgramSettings.NoNullMailFrom ? message.From.Address : std::string();
            smtpClient.EnvelopeTo = entry.Address;
            smtpClient.MailAgent = "Quorvane";
            log.Add("Sending challenge to: " + entry.Address + ".");
            smtpClient.SendWithEnvelope(message);
            sent = true;
            RecentRecipients.Insert(entry.Address);
            ++Counters.Sent;
            view.SetCurrentAction(StepText(kind) + std::to_string(Counters.Sent) + "/" +
                                  std::to_string(Counters.ToSend) + ")");
            view.SetProgressPosition(view.ProgressPosition() + 1);
            view.Pump();
            log.Add("Successfully sent challenge.");
            list.Delete(index);
        } catch (const MailTransportError& error) {
            log.Add("Error sending challenge: " + WithoutPasswords(error.what(), account));
        } catch (...) {
            // Anything else leaves the entry for the next pass, unless the
            // message already went out.
            if (sent && index < list.Count())
                list.Delete(index);
        }
    }
    return true;
}
