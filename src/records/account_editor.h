#pragma once

#include "platform/connection_security.h"

#include <string>

// The account editor's logic, apart from its widgets, so that the account
// importers drive it exactly as a user would (add, fill the fields, apply)
// and tests run it without a window. It edits one account of Accounts at a
// time; the fields hold what the controls show (ports as typed).

// The controls of the editor.
struct AccountEditorFields {
    std::string DisplayName;
    std::string EmailAddress;
    std::string ReplyAddress;
    std::string Server;
    std::string Port;
    std::string SMTPServer;
    std::string SMTPPort;
    std::string Login;
    std::string Password;
    bool SMTPAuth = false;
    bool SMTPSameAsIncoming = true;
    std::string SMTPLogin;
    std::string SMTPPassword;
    bool Enabled = true;
    ConnectionSecurity POP3Security = ConnectionSecurity::None;
    ConnectionSecurity SMTPSecurity = ConnectionSecurity::None;
    // One alias per line.
    std::string Aliases;
    // The hidden ID field.
    std::string ID;
    // The incoming server and port fields: emptied and disabled for an
    // account stored without a port number.
    bool IncomingServerEnabled = true;
};

class Account;

// The fields as a record holds them: ports as numbers (-1 when a field holds
// none), aliases one per line, sorted, without repeats.
void CopyFields(const AccountEditorFields& fields, Account& account);

// Which parts of the SMTP login may be edited: "Use same settings as
// incoming mail server" only with authentication; the SMTP user name and
// password only with authentication and without "same settings".
struct SmtpFieldStates {
    bool SameAsIncoming = false;
    bool SmtpLogin = false;
};
SmtpFieldStates SmtpEnabling(const AccountEditorFields& fields);

// The ports an encrypted-connection choice suggests: implicit TLS moves a
// port left at the plain default (110, 25) to the TLS one (995, 465), and
// leaving implicit TLS moves it back; any other port stays as typed.
std::string SuggestedPort(const std::string& port, ConnectionSecurity from, ConnectionSecurity to, bool smtp);

// What the editor needs of the windows around it: its own account tabs and
// the quarantine view's, which always hold one tab per account.
class AccountEditorTabs {
public:
    virtual ~AccountEditorTabs() = default;
    // A tab with an empty caption at the end of both tab sets.
    virtual void AppendAccountTabs() = 0;
    // Removes tab index (0-based) from both tab sets.
    virtual void RemoveAccountTabs(int index) = 0;
    // The editor's selected tab, -1 without tabs; selecting one does not
    // run the tab-switch handling.
    virtual int SelectedEditorTab() const = 0;
    virtual void SelectEditorTab(int index) = 0;
    // The quarantine view's selected account tab, -1 without tabs.
    virtual int SelectedQuarantineTab() const = 0;
    virtual void SelectQuarantineTab(int index) = 0;
    // RefreshCaptions and FillQuarantineList of the quarantine view for
    // account n (1-based); the captions include the editor's tab n - 1.
    virtual void RefreshCaptions(int n) = 0;
    virtual void FillQuarantineList(int n) = 0;
    // Whether the editor's fields are shown (only while accounts exist).
    virtual void ShowFields(bool visible) = 0;
};

class AccountEditor {
public:
    explicit AccountEditor(AccountEditorTabs& tabs) : m_tabs(tabs) {}

    AccountEditorFields Fields;
    // The fields hold changes not yet in the record.
    bool EditorModified = false;
    // An account was added and has not been applied yet.
    bool NewAccountPending = false;

    // Fills the fields from account n (1-based); nothing outside 1..count.
    // Clears EditorModified.
    void ShowAccount(int n);
    // A compared field changed: EditorModified = EditorDiffers() or
    // NewAccountPending. The reply address and the aliases are not compared.
    void FieldChanged();
    // Whether a compared field differs from the shown account's record.
    bool EditorDiffers() const;
    // Writes the fields into the selected account's record and saves it
    // (SaveAccount); then refreshes the captions of the accounts selected in
    // both tab sets and clears EditorModified. Without tabs only the latter.
    // Throws what SaveAccount throws.
    void ApplyAccount();
    // The tab switch: before it the pending changes are applied, after it
    // the new tab's account is shown.
    void TabChanging();
    void TabChanged(int index);
    // "Add Account": pending changes applied, a new record and tabs, the
    // fields emptied for it with a new ID.
    void AddAccount();
    // "Delete Account": a pending new account goes without a question;
    // otherwise RemoveAccount (which asks, and refuses the last account).
    // Both tab sets then go to the first account.
    void DeleteAccount();

private:
    int SelectedAccount() const;

    AccountEditorTabs& m_tabs;
};
