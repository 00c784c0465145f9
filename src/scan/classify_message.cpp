#include "scan/classify_message.h"

#include "mail/mail_message.h"
#include "mail/pop3_session.h"
#include "platform/identifier.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_address.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "records/sender_lists.h"
#include "records/text_helpers.h"
#include "scan/challenge_tag.h"
#include "scan/forged_sender.h"
#include "scan/heuristics.h"
#include "scan/password_mask.h"
#include "scan/quarantine_file.h"
#include "scan/reply_guards.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"
#include "scan/work_lists.h"

#include <stdexcept>

namespace {

constexpr int LoopLimit = 5;

// The addresses one message is judged by.
struct Addresses {
    std::string From;
    // The first Reply-To address, or "!" when there is no Reply-To entry, so
    // that a missing one matches no list entry.
    std::string Reply;
    // The first Reply-To address, empty when there is none.
    std::string FirstReply;
    // Where challenges and post-responses go.
    std::string Answer;

    explicit Addresses(const MailMessage& header)
        : From(header.From.Address), Reply(header.ReplyTo.empty() ? "!" : header.ReplyTo.front().Address),
          FirstReply(header.ReplyToAddress()), Answer(FirstReply.empty() ? From : FirstReply) {}
};

std::string NameOrAddress(const MailMessage& header, const std::string& address) {
    return header.From.Name.empty() ? address : header.From.Name;
}

// This run's decisions are looked up by real addresses only: the "!" of a
// missing Reply-To would otherwise make one decision stand for every sender
// without a Reply-To.
bool DecidedThisRun(const AddressList& list, const Addresses& addresses) {
    return (!addresses.From.empty() && list.Contains(addresses.From)) ||
           (!addresses.FirstReply.empty() && list.Contains(addresses.FirstReply));
}

void RememberDecision(AddressList& list, const Addresses& addresses) {
    if (!addresses.From.empty())
        list.Add(addresses.From);
    if (!addresses.FirstReply.empty())
        list.Add(addresses.FirstReply);
}

bool AskApproval(const MailMessage& header, const Addresses& addresses, ScanView& view) {
    bool clockRunning = ScanState.Clock.Running();
    if (clockRunning)
        SetElapsedTimeRunning(ScanState, view, false);
    bool approve = view.AskApproveSender(header.From.DisplayText() + "\r\n" + PromptSubject(header.Subject));
    RememberDecision(approve ? ScanState.ApprovedThisRun : ScanState.DeclinedThisRun, addresses);
    if (clockRunning)
        SetElapsedTimeRunning(ScanState, view, true);
    return approve;
}

bool DecideApproval(const MailMessage& header, const Addresses& addresses, ScanView& view) {
    if (ApprovedSenders.Matches(addresses.From) || ApprovedSenders.Matches(addresses.Reply) ||
        BlockedSenders.Matches(addresses.From) || BlockedSenders.Matches(addresses.Reply))
        return false;
    if (ProgramSettings.NoAskApprove)
        return true;
    if (DecidedThisRun(ScanState.ApprovedThisRun, addresses))
        return true;
    if (DecidedThisRun(ScanState.DeclinedThisRun, addresses))
        return false;
    return AskApproval(header, addresses, view);
}

bool IsAnswerAddress(const std::string& address, const Addresses& addresses) {
    return !address.empty() && ((!addresses.From.empty() && SameText(address, addresses.From)) ||
                                (!addresses.FirstReply.empty() && SameText(address, addresses.FirstReply)));
}

// The Reply-To of a held message, where its challenge went.
std::string StoredReplyTo(const std::string& folder, const QuarantineEntry& entry) {
    MailMessage stored;
    if (!ReadStoredHeader(QuarantineFilePath(folder, entry.FileName), stored))
        return {};
    return stored.ReplyToAddress();
}

// The quarantined mail of the answering sender goes on the release list:
// mail sent from the answering address, and mail whose Reply-To named it
// (the challenge went there). Addresses are compared as addresses, not as
// masks, so that an answer from "*@example.com" releases only mail from
// that very text.
void ListForRelease(int accountIndex, const Addresses& addresses, ReleaseIdSet& releaseList) {
    const QuarantineIndex& items = Accounts.Item(accountIndex).Quarantine;
    std::string folder = AccountFolder(accountIndex);
    for (int index = 0; index < items.Count(); ++index) {
        const QuarantineEntry& entry = items.Item(index);
        if (IsAnswerAddress(entry.SenderAddress, addresses) || IsAnswerAddress(StoredReplyTo(folder, entry), addresses))
            releaseList.insert(std::to_string(entry.Id));
    }
}

void HandleAnswer(int accountIndex, int messageNumber, const MailMessage& header, const Addresses& addresses,
                  ScannedHeader& record, AccountWorkLists& work, ScanView& view) {
    record.Kept = true;
    ++Counters.Responses;
    ++ScanState.ResponsesReceived;
    work.DeleteList.push_back(messageNumber);
    if (!DecideApproval(header, addresses, view))
        return;
    try {
        if (work.PostResponseList.Add(addresses.Answer, NameOrAddress(header, addresses.Answer), header.Subject))
            ++Counters.Approved;
        ListForRelease(accountIndex, addresses, work.ReleaseList);
    } catch (...) {
        // A failed list addition loses only the follow-up of this answer.
    }
}

int Categorise(const MailMessage& message, const Account& account) {
    std::string accountAddress = EffectiveAddress(account);
    if (ProgramSettings.SkipForgedSenders && IsForgedSender(message))
        return CategorySpam;
    if (IsAutomatedMail(message, accountAddress, account.ReplyAddress))
        return CategoryAutomated;
    if (IsVirusMail(message))
        return CategoryVirus;
    if (IsObviousSpam(message, accountAddress, account.Aliases, account.ReplyAddress))
        return CategorySpam;
    return CategoryChallenged;
}

void RemoveEntry(QuarantineIndex& items, int id) {
    for (int index = 0; index < items.Count(); ++index)
        if (items.Item(index).Id == id)
            return items.Delete(index);
}

// Downloads, saves and records one message. False when it must stay on the
// server; then nothing of it is left in the quarantine.
bool SaveToQuarantine(int accountIndex, int messageNumber, const MailMessage& header, const ScannedHeader& record,
                      Pop3Session& session, AccountWorkLists& work, int& category) {
    Account& account = Accounts.Item(accountIndex);
    ScanLog& log = ScanState.ScanLog;
    log.Add("Spam detected, downloading from server.");
    MailMessage raw;
    raw.RawRead = raw.RawWrite = true;
    try {
        if (!session.RetrieveMessage(messageNumber, raw))
            throw MailTransportError("Retrieve error.");
    } catch (const MailTransportError&) {
        // Examined again by the next scan.
        return false;
    }
    log.Add("Successfully downloaded spam message from server.");

    std::string path;
    bool written = false;
    int entryId = -1;
    try {
        std::string folder = IncludeTrailingDelimiter(AccountFolder(accountIndex));
        std::string fileName = NewIdentifierText() + ".dat";
        path = folder + fileName;
        log.Add("Saving spam message to file.");
        raw.SaveToFile(path);
        written = true;
        log.Add("Sucessfully saved spam message to file.");

        MailMessage decoded;
        decoded.LoadFromFile(path);
        category = Categorise(decoded, account);
        entryId = account.Quarantine
                      .Add(header.From.Address, header.From.Name, category, fileName, header.Date, header.Subject,
                           record.Recipients)
                      .Id;
        if (!SaveIndex(account))
            throw std::runtime_error("Cannot save the quarantine index in " + folder);
    } catch (const std::exception& error) {
        ++ScanState.SaveFailures;
        log.Add("Error save message to file: " + WithoutPasswords(error.what(), account));
        if (entryId >= 0)
            RemoveEntry(account.Quarantine, entryId);
        if (written) {
            try {
                DeleteFileIfExists(path);
            } catch (const std::exception&) {
                // An unrecorded file is only a leftover; the message is still on the server.
            }
        }
        return false;
    }
    work.DeleteList.push_back(messageNumber);
    work.SavedFiles.push_back(path);
    return true;
}

// The quarantine file of a message stored by an earlier scan whose QUIT did
// not reach the server (a dropped connection, a killed process): same
// sender, subject and date in the index, same Message-ID in the file.
// Empty when there is none.
std::string StoredCopy(int accountIndex, const MailMessage& header) {
    if (header.MessageId.empty())
        return {};
    const QuarantineIndex& items = Accounts.Item(accountIndex).Quarantine;
    std::string folder = AccountFolder(accountIndex);
    for (int index = 0; index < items.Count(); ++index) {
        const QuarantineEntry& entry = items.Item(index);
        if (entry.Date != header.Date || entry.Subject != header.Subject ||
            !SameText(entry.SenderAddress, header.From.Address))
            continue;
        std::string path = QuarantineFilePath(folder, entry.FileName);
        MailMessage stored;
        if (ReadStoredHeader(path, stored) && stored.MessageId == header.MessageId)
            return path;
    }
    return {};
}

void Quarantine(int accountIndex, int messageNumber, const MailMessage& header, const Addresses& addresses,
                const ScannedHeader& record, Pop3Session& session, AccountWorkLists& work) {
    ++Counters.Spam;
    ++ScanState.SpamDetected;
    if (std::string copy = StoredCopy(accountIndex, header); !copy.empty()) {
        // Stored and challenged once already: only the deletion is left to do.
        ScanState.ScanLog.Add("Message already in quarantine, deleting from server.");
        work.DeleteList.push_back(messageNumber);
        work.SavedFiles.push_back(copy);
        return;
    }
    int category = CategoryChallenged;
    if (!SaveToQuarantine(accountIndex, messageNumber, header, record, session, work, category))
        return;
    if (category == CategoryAutomated || category == CategoryVirus)
        ScanState.NeedsAttention = true;
    if (category != CategoryChallenged || ProgramSettings.NoChallenge)
        return;
    if (RecentRecipients.CountOf(addresses.Answer) >= LoopLimit)
        return;
    if (std::string refusal = AutoReplyRefusal(Accounts.Item(accountIndex), header, addresses.Answer);
        !refusal.empty()) {
        ScanState.ScanLog.Add(refusal);
        return;
    }
    work.ChallengeList.Add(addresses.Answer, NameOrAddress(header, addresses.Answer),
                           header.Subject.empty() ? std::string(" ") : header.Subject);
}

} // namespace

bool IsMakerMail(const std::string& address) {
    std::size_t at = address.rfind('@');
    if (at == std::string::npos)
        return false;
    std::string domain = LowerAscii(address.substr(at + 1));
    std::string maker = MakerMailDomain;
    return domain == maker || (domain.size() > maker.size() &&
                               domain.compare(domain.size() - maker.size() - 1, std::string::npos, "." + maker) == 0);
}

std::string PromptSubject(const std::string& subject) {
    std::size_t space = subject.rfind(' ');
    if (space == std::string::npos)
        return subject.empty() ? subject : subject.substr(0, subject.size() - 1);
    return subject.substr(0, space == 0 ? 0 : space - 1);
}

void ClassifyMessage(int accountIndex, int messageNumber, const MailMessage& header, Pop3Session& session,
                     AccountWorkLists& work, ScanView& view) {
    Account& account = Accounts.Item(accountIndex);
    ScannedHeader* found = account.ScannedHeaders.FindByNumber(messageNumber);
    ScannedHeader spare;
    ScannedHeader& record = found ? *found : spare;
    const Addresses addresses(header);

    if (ApprovedSenders.Matches(addresses.Reply) || ApprovedSenders.Matches(addresses.From)) {
        record.Kept = true;
    } else if (ProgramSettings.ApproveMailerDaemonPostmaster && IsMailerDaemon(header)) {
        record.Kept = true;
    } else if (IsMakerMail(addresses.From)) {
        record.Kept = true;
    } else if (IsChallengeAnswer(header.Subject) && MayBeAnswer(account, header, addresses.Answer)) {
        HandleAnswer(accountIndex, messageNumber, header, addresses, record, work, view);
    } else {
        Quarantine(accountIndex, messageNumber, header, addresses, record, session, work);
    }
}
