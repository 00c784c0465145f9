#include "scan/scan_account.h"

#include "mail/account_connection.h"
#include "mail/mail_message.h"
#include "mail/pop3_session.h"
#include "platform/atomic_file.h"
#include "platform/date_time.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "records/text_helpers.h"
#include "scan/classify_message.h"
#include "scan/password_mask.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"
#include "scan/work_lists.h"

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

const char* const Bullet = "\xE2\x80\xA2"; // U+2022 in UTF-8

std::string ConnectionNotice(const std::string& error) {
    std::string notice = "(Please ignore this message if it was your intention to not scan for spam at this "
                         "time)\r\n\r\nCannot scan account for spam.\r\n\r\nError connecting to incoming mail (POP3) "
                         "server: " +
                         error + "\r\n\r\nYou may be receiving this error because:\r\n\r\n";
    const char* reasons[] = {"You are not connected to the internet.", "Or your firewall is blocking this program.",
                             "Or your ISP is having server problems.",
                             "Or you have entered incorrect account settings."};
    for (int i = 0; i < 4; ++i)
        notice += std::string(i ? "\r\n" : "") + Bullet + " " + reasons[i];
    return notice + "\r\n\r\nPlease check the above and try again.";
}

// An error text that another sentence follows in one log line.
std::string AsSentence(std::string text) {
    if (text.empty() || text.back() != '.')
        text += '.';
    return text;
}

void FillProgress(ScanView& view) {
    view.SetProgressPosition(view.ProgressMax());
}

void StepProgress(ScanView& view) {
    view.SetProgressPosition(view.ProgressPosition() + 1);
}

// The date as the header records show it: in the user's locale, or the
// start of the raw "Date" value when the date could not be read.
std::string DateText(const MailMessage& header) {
    if (std::trunc(header.Date) != 0)
        return ShortDateLongTimeText(header.Date);
    return header.HeaderValue("Date").substr(0, 16);
}

std::string DateKeyText(SerialDateTime date) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", date);
    return text;
}

void AddHeaderRecord(Account& account, int number, const MailMessage& header) {
    ScannedHeader& item = account.ScannedHeaders.Add();
    item.MessageNumber = number;
    item.FromName = header.From.Name.empty() ? header.From.DisplayText() : header.From.Name;
    item.Recipients = AddressListText(header.To);
    item.FromAddress = header.From.Address;
    item.ReplyAddress = header.ReplyToAddress();
    item.Subject = header.Subject;
    item.DateText = DateText(header);
    // An unknown priority is recorded as normal.
    item.Priority = header.Priority >= 0 && header.Priority <= 4 ? static_cast<uint8_t>(header.Priority) : 2;
    std::string contentType = LowerAscii(header.ContentType);
    item.HasAttachments = contentType.find("multipart/mixed") != std::string::npos ||
                          contentType.find("multipart/related") != std::string::npos;
    item.Key = DateKeyText(header.Date) + header.MessageId;
}

class AccountScan {
public:
    AccountScan(int accountNumber, ScanView& view, const FollowUpSteps& followUpSteps)
        : m_index(accountNumber - 1), m_account(Accounts.Item(m_index)), m_view(view), m_followUpSteps(followUpSteps) {}

    ScanAccountResult Run() {
        ResetCounters();
        m_view.SetCurrentAction("step 1/5: scanning messages");
        m_view.Pump();
        int count = 0;
        if (!Connect(count))
            return ScanAccountResult::Failed;
        bool headersRead = ReadHeaders(count);
        Summarise(count);
        bool committed = DeleteFromServer();
        m_followUpSteps(m_index + 1, m_work, m_view);
        return headersRead && committed ? ScanAccountResult::Completed : ScanAccountResult::Failed;
    }

private:
    void ResetCounters() {
        Counters.Sent = 0;
        Counters.Released = 0;
        Counters.Responses = 0;
        Counters.Approved = 0;
        Counters.Deleted = 0;
        Counters.ToMove = 0;
    }

    void Log(const std::string& line) { ScanState.ScanLog.Add(line); }
    std::string ErrorText(const MailTransportError& error) const { return WithoutPasswords(error.what(), m_account); }

    bool Connect(int& count) {
        try {
            m_session = std::make_unique<Pop3Session>(Pop3SettingsFor(m_account));
            Log("Connecting to POP3 server.");
            m_session->Connect();
            m_view.StartTrayAnimation();
            Log("Sucessfully connectied to POP3 server.");
            count = m_session->CountMessages();
            m_session->ReadAhead(count);
        } catch (const MailTransportError& error) {
            ReportConnectionFailure(ErrorText(error));
            return false;
        }
        m_account.ScannedHeaders.Clear();
        m_view.SetProgressMax(m_view.ProgressMax() + count);
        m_view.Pump();
        return true;
    }

    // A box of the account scan: none when unattended; the time it stays
    // open is not counted as scan time.
    void ShowBox(const std::string& text, const std::string& title, MsgIcon icon) {
        if (ScanState.Unattended)
            return;
        bool clockRunning = ScanState.Clock.Running();
        if (clockRunning)
            SetElapsedTimeRunning(ScanState, m_view, false);
        m_view.MessageBox(text, title, MsgButtons::Ok, icon);
        if (clockRunning)
            SetElapsedTimeRunning(ScanState, m_view, true);
    }

    void ReportConnectionFailure(const std::string& error) {
        ShowBox(ConnectionNotice(error), "Notice", MsgIcon::Warning);
        m_view.AddDetailsLine(
            "Cannot scan account for spam.  Error connecting to incoming mail (POP3) server: " + error + "\r\n");
        Log("Error connecting to POP3 server: " + error);
    }

    // Step 1. False when a header could not be read.
    bool ReadHeaders(int count) {
        for (int number = 1; number <= count; ++number) {
            if (ScanState.AbortRequested) {
                FillProgress(m_view);
                m_view.Pump();
                break;
            }
            ++Counters.Scanned;
            ++ScanState.MessagesScanned;
            m_view.SetCurrentAction("step 1/5: scanning messages (" + std::to_string(number) + "/" +
                                    std::to_string(count) + ")");
            m_view.Pump();
            if (!ReadHeader(number))
                return false;
            ShowStatistics(ScanState, m_view);
            SaveIndex(m_account);
            StepProgress(m_view);
            m_view.Pump();
        }
        return true;
    }

    bool ReadHeader(int number) {
        Log("Retrieving header for message #: " + std::to_string(number));
        m_header.Clear();
        m_header.RawRead = m_header.RawWrite = true;
        try {
            m_session->RetrieveHeader(number, m_header);
        } catch (const MailTransportError& error) {
            std::string text = ErrorText(error);
            ShowBox("Error retrieving message header: " + text, "Error", MsgIcon::Error);
            m_view.AddDetailsLine("Cannot continue to scan account for spam.  Error retrieving message header: " +
                                  text);
            Log("Error retrieving message header: " + text);
            return false;
        }
        Log("Successfully retrieved message header.");
        try {
            m_header.SetHeaderText(RemoveBlankLines(m_header.HeaderText()));
            m_header.ParseHeaderFields();
        } catch (const std::exception& error) {
            Log("Error processing headers: " + WithoutPasswords(error.what(), m_account));
            return false;
        }
        Log("Sucessfully processed headers.");
        AddHeaderRecord(m_account, number, m_header);
        ClassifyMessage(m_index, number, m_header, *m_session, m_work, m_view);
        return true;
    }

    void Summarise(int count) {
        m_view.SetControlEnabled(ScanControl::Cancel, false);
        int scanned = Counters.Scanned - Counters.Responses;
        m_view.AddDetailsLine("Scanned " + std::to_string(scanned) + "/" + std::to_string(count - Counters.Responses) +
                              " messages.");
        m_view.AddDetailsLine("Detected " + std::to_string(Counters.Spam) + " (" + PercentText(Counters.Spam, scanned) +
                              "%) spam.");
        m_view.AddDetailsLine("Received " + std::to_string(Counters.Responses) + " responses.");
    }

    // Step 2. False when the session could not be ended with an answered
    // QUIT: then the deletions may not have happened.
    bool DeleteFromServer() {
        m_view.SetCurrentAction("step 2/5: moving messages to quarantine folder");
        m_view.Pump();
        if (!m_work.DeleteList.empty()) {
            Counters.ToMove = static_cast<int>(m_work.DeleteList.size());
            m_view.SetProgressMax(m_view.ProgressMax() + Counters.ToMove);
            m_view.Pump();
            std::vector<int> numbers(m_work.DeleteList.begin(), m_work.DeleteList.end());
            m_session->DeleteMessages(
                numbers, [this](int, const std::string& error) { NoteDeletion(WithoutPasswords(error, m_account)); });
        }
        m_view.AddDetailsLine("Moved " + std::to_string(Counters.Deleted - Counters.Responses) + "/" +
                              std::to_string(Counters.ToMove - Counters.Responses) + " messages to quarantine folder.");
        FillProgress(m_view);
        m_view.Pump();
        return EndSession();
    }

    // The server deletes the marked messages only at QUIT, so the files and
    // the index they were saved to must be on the disk first; if they cannot
    // be, the session ends without QUIT and the server keeps everything.
    bool EndSession() {
        try {
            FlushQuarantine();
        } catch (const std::exception& error) {
            Log("Error saving the quarantine to disk: " + AsSentence(WithoutPasswords(error.what(), m_account)) +
                " The messages stay on the server.");
            m_session.reset();
            return false;
        }
        try {
            m_session->Disconnect();
        } catch (const MailTransportError& error) {
            Log("Error ending the POP3 session: " + AsSentence(ErrorText(error)) +
                " The messages may not have been deleted from the server.");
            return false;
        }
        return true;
    }

    // The log of one DELE, written as its reply is handled.
    void NoteDeletion(const std::string& error) {
        Log("Deleting message from server.");
        if (!error.empty()) {
            Log("Error deleting message from server: " + error);
            return;
        }
        Log("Successfully deleted message from server.");
        ++Counters.Deleted;
        if (m_view.ScanPageShowing()) {
            StepProgress(m_view);
            m_view.Pump();
        }
    }

    void FlushQuarantine() {
        if (m_work.SavedFiles.empty())
            return;
        for (const std::string& file : m_work.SavedFiles)
            SyncFile(file);
        std::string folder = AccountFolder(m_index);
        SyncFile(IncludeTrailingDelimiter(folder) + "account2.dat");
        SyncFolder(folder);
    }

    int m_index;
    Account& m_account;
    ScanView& m_view;
    const FollowUpSteps& m_followUpSteps;
    std::unique_ptr<Pop3Session> m_session;
    MailMessage m_header;
    AccountWorkLists m_work;
};

} // namespace

ScanAccountResult ScanAccount(int accountNumber, const FollowUpSteps& followUpSteps) {
    // The work lists and the session end with the scan object, whatever happens.
    return AccountScan(accountNumber, CurrentScanView(), followUpSteps).Run();
}
