#include "cli/commands.h"

#include "challenge/follow_up_steps.h"
#include "cli/demo_mailbox.h"
#include "cli/options.h"
#include "cli/terminal_session.h"
#include "cli/terminal_text.h"
#include "demo/demo_mail_service.h"
#include "mail/mail_message.h"
#include "mail/pop3_session.h"
#include "mail/smtp_client.h"
#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "platform/identifier.h"
#include "records/account.h"
#include "records/account_store.h"
#include "records/program_settings.h"
#include "records/recent_recipient_list.h"
#include "records/sender_lists.h"
#include "scan/scan_run.h"
#include "scan/scan_state.h"

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <stdexcept>

namespace {

// The demo's logins on its private mail service.
const DemoMailUser Me{"me", "demo-password", DemoAccountAddress};
const DemoMailUser Ann{"ann", "ann-password", DemoAnsweringSender};

// A private folder under $TMPDIR (else /tmp), removed at the end unless kept.
class DemoFolder {
public:
    explicit DemoFolder(bool keep) : m_keep(keep) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvane-demo-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("Cannot create a folder for the demo in " + pattern);
        m_path = pattern;
    }
    ~DemoFolder() {
        if (!m_keep) {
            std::error_code ignored;
            std::filesystem::remove_all(m_path, ignored);
        }
    }
    DemoFolder(const DemoFolder&) = delete;
    DemoFolder& operator=(const DemoFolder&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    bool m_keep;
};

// Everything the demo prints goes through here, so that text from messages
// cannot act on the terminal.
class Narrator {
public:
    explicit Narrator(std::ostream& out) : m_out(out) {}
    void Section(const std::string& title) { m_out << "\n== " << title << "\n" << std::flush; }
    void Line(const std::string& text) { m_out << TerminalSafe(text) << "\n" << std::flush; }

private:
    std::ostream& m_out;
};

Pop3Settings Pop3For(const DemoMailService& service, const DemoMailUser& user) {
    return {"127.0.0.1", service.Pop3Port(), user.Login, user.Password, 30000};
}

// From and subject of every message waiting in a mailbox, read over POP3 as
// a mail program would (the messages stay).
std::vector<std::string> Mailbox(const DemoMailService& service, const DemoMailUser& user) {
    Pop3Session session(Pop3For(service, user));
    session.Connect();
    std::vector<std::string> rows;
    int count = session.CountMessages();
    for (int n = 1; n <= count; ++n) {
        MailMessage header;
        header.RawRead = header.RawWrite = true;
        session.RetrieveHeader(n, header);
        rows.push_back(std::to_string(n) + ". " + header.From.DisplayText() + " - " + header.Subject);
    }
    session.Disconnect();
    return rows;
}

void ShowMailbox(Narrator& narrator, const DemoMailService& service, const DemoMailUser& user) {
    std::vector<std::string> rows = Mailbox(service, user);
    for (const std::string& row : rows)
        narrator.Line("  " + row);
    if (rows.empty())
        narrator.Line("  (empty)");
}

// The newest message of a mailbox, whole.
MailMessage NewestMessage(const DemoMailService& service, const DemoMailUser& user) {
    Pop3Session session(Pop3For(service, user));
    session.Connect();
    int count = session.CountMessages();
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    if (count == 0 || !session.RetrieveMessage(count, message))
        throw std::runtime_error("No message arrived for " + user.Address + ".");
    session.Disconnect();
    return message;
}

void ShowMessage(Narrator& narrator, const MailMessage& message) {
    narrator.Line("  From:    " + message.From.DisplayText());
    narrator.Line("  To:      " + AddressListText(message.To));
    narrator.Line("  Subject: " + message.Subject);
    narrator.Line("");
    for (const std::string& line : message.BodyLines)
        narrator.Line("  | " + line);
}

// Ann answers the challenge the way a person does: "Re: " and its subject.
std::string AnswerChallenge(const DemoMailService& service, const MailMessage& challenge) {
    MailMessage answer;
    answer.From = {"Ann Archer", DemoAnsweringSender};
    answer.To = {{"", DemoAccountAddress}};
    answer.Subject = "Re: " + challenge.Subject;
    answer.UseCurrentDate = true;
    answer.ContentType = "text/plain; charset=us-ascii";
    answer.BodyLines = {"Yes, it is really me. Here is my answer.", "", "Ann"};
    SmtpClient smtp;
    smtp.Host = "127.0.0.1";
    smtp.Port = service.SmtpPort();
    smtp.Connect(30000);
    smtp.EnvelopeFrom = DemoAnsweringSender;
    smtp.EnvelopeTo = DemoAccountAddress;
    smtp.SendWithEnvelope(answer);
    smtp.Disconnect();
    return answer.Subject;
}

// The data folder of a fresh installation with one account on the service.
void SetUpDataFolder(const std::string& folder, const DemoMailService& service) {
    SetDataFolderOverride(folder);
    // In memory only: the demo's own settings need not reach the file.
    LoadSettings();
    ProgramSettings.Timeout = 30;
    // Nobody sits at the approve prompt of a demo.
    ProgramSettings.NoAskApprove = true;
    Accounts.Clear();
    Account& account = AppendAccount();
    account.DisplayName = "Me";
    account.EmailAddress = DemoAccountAddress;
    account.Server = "127.0.0.1";
    account.Port = service.Pop3Port();
    account.Login = Me.Login;
    account.Password = Me.Password;
    account.SMTPServer = "127.0.0.1";
    account.SMTPPort = service.SmtpPort();
    account.Enabled = true;
    account.ID = NewIdentifierText();
    SaveAccount(1);
    ApprovedSenders.Clear();
    BlockedSenders.Clear();
    ApprovedSenders.Add(DemoApprovedSender);
    SaveLists();
    RecentRecipients.Clear();
}

void Scan(CliContext& context) {
    TerminalSession session(context, false, false);
    session.View().SetCancelHandler(RequestScanCancel);
    RunScan(RunFollowUpSteps);
}

void ShowQuarantine(Narrator& narrator) {
    const QuarantineIndex& items = Accounts.Item(0).Quarantine;
    for (int i = items.Count() - 1; i >= 0; --i) {
        const QuarantineEntry& item = items.Item(i);
        narrator.Line("  " + std::string(CategoryName(item.Category)) + ": " + item.SenderAddress + " - " +
                      item.Subject);
    }
}

bool InboxHasReleasedMessage(const DemoMailService& service) {
    for (const std::string& row : Mailbox(service, Me)) {
        if (row.find("Question about the bicycle") != std::string::npos)
            return true;
    }
    return false;
}

int RunDemo(CliContext& context, const std::string& folder) {
    Narrator narrator(context.Out);
    DemoMailService service(folder + "/mail", {Me, Ann});
    service.Start();
    SetUpDataFolder(folder + "/data", service);
    narrator.Section("Quorvane demo");
    narrator.Line("Data folder:  " + DataFolder());
    narrator.Line("Mail service: POP3 on 127.0.0.1:" + std::to_string(service.Pop3Port()) +
                  ", SMTP on 127.0.0.1:" + std::to_string(service.SmtpPort()) + " (a private process of this demo)");
    narrator.Line(std::string("Account:      ") + DemoAccountAddress + "; approved sender: " + DemoApprovedSender);
    narrator.Line("Settings:     NoAskApprove is on, so an answer to a challenge approves its sender without the "
                  "30-second prompt");

    DemoMailStore store(folder + "/mail");
    narrator.Section("The mailbox before the first scan");
    for (const DemoMail& mail : DemoMailbox(Now())) {
        store.Deliver(mail.EnvelopeFrom, DemoAccountAddress, mail.Text);
        narrator.Line("  " + mail.EnvelopeFrom + ": " + mail.Expected);
    }

    narrator.Section("First scan");
    Scan(context);
    narrator.Section("The mailbox after the first scan: only approved mail is left for the mail program");
    ShowMailbox(narrator, service, Me);
    narrator.Section("The quarantine");
    ShowQuarantine(narrator);

    narrator.Section(std::string("The challenge that went to ") + DemoAnsweringSender);
    MailMessage challenge = NewestMessage(service, Ann);
    ShowMessage(narrator, challenge);
    narrator.Section("Ann answers the challenge");
    narrator.Line("  Sent \"" + AnswerChallenge(service, challenge) + "\"");

    narrator.Section("Second scan");
    Scan(context);
    narrator.Section("The inbox after the second scan: Ann's message is back, unchanged");
    ShowMailbox(narrator, service, Me);
    narrator.Section("Approved senders");
    for (const std::string& entry : ApprovedSenders.Strings())
        narrator.Line("  " + entry);
    narrator.Section("The confirmation Ann received");
    ShowMessage(narrator, NewestMessage(service, Ann));

    bool released = InboxHasReleasedMessage(service);
    bool approved = ApprovedSenders.Matches(DemoAnsweringSender);
    service.Stop();
    if (!released || !approved) {
        context.Err << "quorvane: the demo did not end as expected: "
                    << (!released ? "Ann's message is not back in the inbox" : "Ann is not an approved sender")
                    << ". See " << DataFolder() << "/log.txt\n";
        return ExitFailed;
    }
    narrator.Section("Done");
    return ExitOk;
}

} // namespace

int DemoCommand(CliContext& context) {
    Options options(context.Arguments, {}, {"keep"});
    if (!options.Positional().empty())
        throw UsageError("demo [--keep]");
    bool keep = options.Has("keep");
    int status = ExitFailed;
    {
        DemoFolder folder(keep);
        try {
            status = RunDemo(context, folder.Path());
        } catch (...) {
            if (keep)
                context.Err << "quorvane: the demo's folder is kept: " << folder.Path() << "\n";
            Accounts.Clear();
            SetDataFolderOverride("");
            throw;
        }
        context.Out << (keep ? "The demo's folder is kept: " + folder.Path()
                             : "The demo's folder " + folder.Path() + " has been removed.")
                    << "\n";
    }
    Accounts.Clear();
    SetDataFolderOverride("");
    return status;
}
