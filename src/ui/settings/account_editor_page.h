#pragma once

#include "records/account_editor.h"

#include <QWidget>

class AccountFieldsForm;
class QAction;
class QTabBar;
class QuarantinePage;

// The settings tab "Email Accounts": the account editor's tool bar, one tab
// per account and the fields of the shown account, bound to the core's
// AccountEditor, which holds what adding, deleting, switching and applying
// mean. Its tabs stay in step with the quarantine view's.
class AccountEditorPage : public QWidget, private AccountEditorTabs {
    Q_OBJECT
public:
    AccountEditorPage(QuarantinePage& quarantine, QWidget* parent = nullptr);

    AccountEditor& Editor() { return m_editor; }

    // At start-up, once the accounts are loaded: one tab per account and
    // account 1 shown.
    void LoadAccounts();
    // The selected tab's account shown afresh (the settings page opening).
    void ShowAccount(int n);
    void ApplyAccount();
    // The quarantine view moved to tab index: the editor follows, with its
    // tab-switch handling.
    void FollowQuarantineTab(int index);
    // The hint "< Enter your email password".
    void ShowPasswordHint(bool visible);
    // Focus on the field a settings check names ("user name", "password",
    // "SMTP user name", "SMTP password", "email address", "reply address",
    // "display name").
    void FocusField(const std::string& place);
    // The tab caption of account index from its record.
    void RefreshTabCaption(int index);

    // "Detect Accounts": the detection, then what it found.
    void DetectAccounts();
    // The first run's detection: DetectAccounts, then either an empty
    // account waiting in the editor or the first account with the focus on
    // its password. True when accounts exist afterwards.
    bool DetectForFirstRun();
    // The password field focused and "< Enter your email password" shown.
    void AskForPassword();
    // "Add Account": a new, empty account waiting in the editor.
    void AddAccount();

private:
    QAction* m_addAccountAction;
    QAction* m_deleteAccountAction;
    QAction* m_detectAccountsAction;
    QTabBar* m_accountTabs;

    // AccountEditorTabs.
    void AppendAccountTabs() override;
    void RemoveAccountTabs(int index) override;
    int SelectedEditorTab() const override;
    void SelectEditorTab(int index) override;
    int SelectedQuarantineTab() const override;
    void SelectQuarantineTab(int index) override;
    void RefreshCaptions(int n) override;
    void FillQuarantineList(int n) override;
    void ShowFields(bool visible) override;

    void WriteFields();
    void ReadFields();
    void FieldEdited(bool compared);
    void TabSwitched(int index);
    // "Test connection": a login to both servers with the fields as typed.
    void TestConnection();

    AccountEditor m_editor;
    QuarantinePage& m_quarantine;
    int m_shownTab = -1;

    AccountFieldsForm* m_form = nullptr;
};
