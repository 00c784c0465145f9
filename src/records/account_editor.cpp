#include "records/account_editor.h"

#include "platform/identifier.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "records/text_helpers.h"

#include <charconv>
#include <sstream>
#include <vector>

namespace {

constexpr int DefaultPop3Port = 110;
constexpr int DefaultSmtpPort = 25;
constexpr int TlsPop3Port = 995;
constexpr int TlsSmtpPort = 465;

// The field's number, or fallback when it holds none.
int FieldNumber(const std::string& text, int fallback) {
    std::string trimmed = Trim(text);
    int value = 0;
    auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    return error == std::errc() && end == trimmed.data() + trimmed.size() && !trimmed.empty() ? value : fallback;
}

// The alias text: trimmed as a whole, one alias per line.
std::vector<std::string> AliasLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(Trim(text));
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

std::string AliasText(const AliasList& aliases) {
    std::string text;
    for (const auto& alias : aliases.Strings())
        text += (text.empty() ? "" : "\n") + alias;
    return text;
}

} // namespace

void CopyFields(const AccountEditorFields& fields, Account& account) {
    account.ID = fields.ID;
    account.DisplayName = fields.DisplayName;
    account.Server = fields.Server;
    account.Port = FieldNumber(fields.Port, -1);
    account.SMTPServer = fields.SMTPServer;
    account.SMTPPort = FieldNumber(fields.SMTPPort, -1);
    account.SMTPAuth = fields.SMTPAuth;
    account.SMTPLogin = fields.SMTPLogin;
    account.SMTPPassword = fields.SMTPPassword;
    account.SMTPSameAsIncoming = fields.SMTPSameAsIncoming;
    account.EmailAddress = fields.EmailAddress;
    account.ReplyAddress = fields.ReplyAddress;
    account.Login = fields.Login;
    account.Password = fields.Password;
    account.Enabled = fields.Enabled;
    account.POP3Security = fields.POP3Security;
    account.SMTPSecurity = fields.SMTPSecurity;
    account.Aliases.Assign(AliasLines(fields.Aliases));
}

SmtpFieldStates SmtpEnabling(const AccountEditorFields& fields) {
    return {fields.SMTPAuth, fields.SMTPAuth && !fields.SMTPSameAsIncoming};
}

std::string SuggestedPort(const std::string& port, ConnectionSecurity from, ConnectionSecurity to, bool smtp) {
    const int plain = smtp ? DefaultSmtpPort : DefaultPop3Port;
    const int tls = smtp ? TlsSmtpPort : TlsPop3Port;
    int number = FieldNumber(port, -1);
    if (to == ConnectionSecurity::Tls && number == plain)
        return std::to_string(tls);
    if (from == ConnectionSecurity::Tls && to != ConnectionSecurity::Tls && number == tls)
        return std::to_string(plain);
    return port;
}

void AccountEditor::ShowAccount(int n) {
    if (n < 1 || n > Accounts.Count())
        return;
    const Account& account = Accounts.Item(n - 1);
    AccountEditorFields fields;
    fields.DisplayName = account.DisplayName;
    fields.EmailAddress = account.EmailAddress;
    fields.ReplyAddress = account.ReplyAddress;
    fields.IncomingServerEnabled = account.Port >= 0;
    fields.Server = fields.IncomingServerEnabled ? account.Server : std::string();
    fields.Port = fields.IncomingServerEnabled ? std::to_string(account.Port) : std::string();
    fields.SMTPServer = account.SMTPServer;
    fields.SMTPPort = std::to_string(account.SMTPPort);
    fields.Login = account.Login;
    fields.Password = account.Password;
    fields.SMTPAuth = account.SMTPAuth;
    fields.SMTPSameAsIncoming = account.SMTPSameAsIncoming;
    fields.SMTPLogin = account.SMTPLogin;
    fields.SMTPPassword = account.SMTPPassword;
    fields.Enabled = account.Enabled;
    fields.POP3Security = account.POP3Security;
    fields.SMTPSecurity = account.SMTPSecurity;
    fields.Aliases = AliasText(account.Aliases);
    fields.ID = account.ID;
    Fields = fields;
    EditorModified = false;
}

void AccountEditor::FieldChanged() {
    EditorModified = EditorDiffers() || NewAccountPending;
}

bool AccountEditor::EditorDiffers() const {
    int n = SelectedAccount();
    if (n < 1)
        return false;
    const Account& a = Accounts.Item(n - 1);
    const AccountEditorFields& f = Fields;
    return f.DisplayName != a.DisplayName || f.Server != a.Server || FieldNumber(f.Port, DefaultPop3Port) != a.Port ||
           f.SMTPServer != a.SMTPServer || FieldNumber(f.SMTPPort, DefaultSmtpPort) != a.SMTPPort ||
           f.SMTPAuth != a.SMTPAuth || f.SMTPLogin != a.SMTPLogin || f.SMTPPassword != a.SMTPPassword ||
           f.SMTPSameAsIncoming != a.SMTPSameAsIncoming || f.EmailAddress != a.EmailAddress || f.Login != a.Login ||
           f.Password != a.Password || f.Enabled != a.Enabled || f.POP3Security != a.POP3Security ||
           f.SMTPSecurity != a.SMTPSecurity;
}

void AccountEditor::ApplyAccount() {
    int n = SelectedAccount();
    if (n >= 1) {
        Account& account = Accounts.Item(n - 1);
        // An index of the older kind is converted before the record changes.
        if (!Fields.ID.empty() && FileExists(IncludeTrailingDelimiter(AccountFolder(n - 1)) + "account.dat"))
            LoadIndex(account);
        CopyFields(Fields, account);
        SaveAccount(n);
        // Only a stored account is no longer pending: after a failed save a
        // delete must still remove it without asking.
        NewAccountPending = false;
    }
    m_tabs.RefreshCaptions(m_tabs.SelectedQuarantineTab() + 1);
    m_tabs.RefreshCaptions(m_tabs.SelectedEditorTab() + 1);
    EditorModified = false;
}

void AccountEditor::TabChanging() {
    if (EditorModified)
        ApplyAccount();
}

void AccountEditor::TabChanged(int index) {
    ShowAccount(index + 1);
}

void AccountEditor::AddAccount() {
    if (EditorModified)
        ApplyAccount();
    AppendAccount();
    NewAccountPending = true;
    EditorModified = true;
    m_tabs.AppendAccountTabs();
    m_tabs.SelectEditorTab(Accounts.Count() - 1);
    m_tabs.ShowFields(true);
    AccountEditorFields fields;
    fields.Port = std::to_string(DefaultPop3Port);
    fields.SMTPPort = std::to_string(DefaultSmtpPort);
    fields.ID = NewIdentifierText();
    Fields = fields;
}

void AccountEditor::DeleteAccount() {
    if (NewAccountPending) {
        int last = Accounts.Count() - 1;
        Accounts.Delete(last);
        m_tabs.RemoveAccountTabs(last);
        NewAccountPending = false;
        EditorModified = false;
        if (Accounts.Count() > 0) {
            m_tabs.SelectEditorTab(Accounts.Count() - 1);
            ShowAccount(Accounts.Count());
        }
    } else if (m_tabs.SelectedQuarantineTab() >= 0 && SelectedAccount() >= 1) {
        int n = SelectedAccount();
        if (RemoveAccount(n)) {
            m_tabs.RemoveAccountTabs(n - 1);
            EditorModified = false;
            if (Accounts.Count() > 0) {
                m_tabs.SelectEditorTab(0);
                m_tabs.SelectQuarantineTab(0);
                ShowAccount(1);
                m_tabs.FillQuarantineList(1);
            }
        }
    }
    m_tabs.ShowFields(Accounts.Count() > 0);
}

int AccountEditor::SelectedAccount() const {
    int tab = m_tabs.SelectedEditorTab();
    return tab >= 0 && tab < Accounts.Count() ? tab + 1 : 0;
}
