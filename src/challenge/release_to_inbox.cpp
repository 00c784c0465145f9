#include "challenge/release_to_inbox.h"

#include "mail/mail_message.h"
#include "mail/smtp_client.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_address.h"
#include "records/account_folder.h"
#include "records/sender_lists.h"
#include "scan/password_mask.h"
#include "scan/quarantine_file.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

#include <exception>
#include <set>

namespace {

void ShowReleaseError(ScanView& view, const std::string& text) {
    view.MessageBox("Cannot release message to inbox.\r\n\r\n" + text, "Error", MsgButtons::Ok, MsgIcon::Error);
}

// A sender address becomes an approved-list entry; one holding a wildcard
// character would approve every address it matches.
void Approve(const std::string& address) {
    if (address.find_first_of("*?") == std::string::npos)
        ApprovedSenders.Add(address);
}

void ShowProgress(ScanView& view) {
    std::string counts = std::to_string(Counters.Released + 1) + "/" + std::to_string(Counters.ToRelease) + ")";
    if (view.ScanPageShowing())
        view.SetCurrentAction("step 5/5: releasing messages to inbox (" + counts);
    else
        view.SetStatusText("Releasing messages to inbox (" + counts);
}

class Release {
public:
    Release(int accountIndex, ReleaseIdSet& idList, bool showErrorBoxes, SmtpClient& smtpClient, bool skipApprove)
        : m_account(Accounts.Item(accountIndex)), m_folder(AccountFolder(accountIndex)), m_idList(idList),
          m_showErrorBoxes(showErrorBoxes), m_smtp(smtpClient), m_skipApprove(skipApprove), m_view(CurrentScanView()) {}

    bool Run() {
        std::exception_ptr failure;
        try {
            for (int index = 0; index < m_account.Quarantine.Count(); ++index) {
                const QuarantineEntry& entry = m_account.Quarantine.Item(index);
                if (m_idList.count(std::to_string(entry.Id)))
                    ReleaseEntry(entry);
            }
        } catch (...) {
            failure = std::current_exception();
        }
        RemoveReleased();
        if (failure) {
            // The senders of what was already sent stay approved.
            try {
                SaveLists();
            } catch (...) {
                // The error that ended the release is the one to report.
            }
            std::rethrow_exception(failure);
        }
        SaveLists();
        return m_idList.empty();
    }

private:
    void ReleaseEntry(const QuarantineEntry& entry) {
        ScanLog& log = ScanState.ScanLog;
        log.Add("Releasing message to inbox.");
        MailMessage message;
        message.RawRead = message.RawWrite = true;
        try {
            message.LoadFromFile(QuarantineFilePath(m_folder, entry.FileName));
            message.ParseHeaderFields();
        } catch (const MailTransportError& error) {
            std::string text = "Error loading message file: " + WithoutPasswords(error.what(), m_account);
            if (m_showErrorBoxes)
                ShowReleaseError(m_view, text);
            log.Add(text);
            return;
        }
        int delivered = message.IndexOfHeader("Delivered-To");
        if (delivered >= 0)
            message.DeleteHeaderLine(delivered);
        log.Add("Sucessfully loaded message from file.");

        std::string ownAddress = EffectiveAddress(m_account);
        m_smtp.EnvelopeFrom = ownAddress;
        m_smtp.EnvelopeTo = m_account.ReplyAddress.empty() ? ownAddress : m_account.ReplyAddress;
        ShowProgress(m_view);
        log.Add("Sending message from: " + message.From.Address);
        try {
            m_smtp.SendWithEnvelope(message);
        } catch (const MailTransportError& error) {
            std::string text = "Error sending message: " + WithoutPasswords(error.what(), m_account);
            log.Add(text);
            if (m_showErrorBoxes)
                ShowReleaseError(m_view, text);
            return;
        }
        log.Add("Sucessfully sent message.");
        m_released.insert(std::to_string(entry.Id));
        ++Counters.Released;
        // Approved before the pump runs, which may end the release.
        if (!m_skipApprove) {
            Approve(entry.SenderAddress);
            if (!message.ReplyTo.empty())
                Approve(message.ReplyTo.front().Address);
        }
        if (m_view.ScanPageShowing()) {
            m_view.SetProgressPosition(m_view.ProgressPosition() + 1);
            m_view.Pump();
        }
    }

    // The released messages leave the quarantine: file, index entry and id.
    void RemoveReleased() {
        for (auto id = m_idList.begin(); id != m_idList.end();) {
            if (!m_released.count(*id)) {
                ++id;
                continue;
            }
            RemoveEntry(std::stoi(*id));
            id = m_idList.erase(id);
        }
        SaveIndex(m_account);
    }

    void RemoveEntry(int id) {
        QuarantineIndex& items = m_account.Quarantine;
        for (int index = 0; index < items.Count(); ++index) {
            if (items.Item(index).Id != id)
                continue;
            try {
                if (std::string path = QuarantineFilePath(m_folder, items.Item(index).FileName); !path.empty())
                    DeleteFileIfExists(path);
            } catch (const std::exception&) {
                // The entry goes all the same: keeping it would send the
                // message a second time.
            }
            items.Delete(index);
            return;
        }
    }

    Account& m_account;
    std::string m_folder;
    ReleaseIdSet& m_idList;
    bool m_showErrorBoxes;
    SmtpClient& m_smtp;
    bool m_skipApprove;
    ScanView& m_view;
    std::set<std::string> m_released;
};

} // namespace

bool ReleaseToInbox(int accountIndex, ReleaseIdSet& idList, bool showErrorBoxes, SmtpClient& smtpClient,
                    bool skipApprove) {
    return Release(accountIndex, idList, showErrorBoxes, smtpClient, skipApprove).Run();
}
