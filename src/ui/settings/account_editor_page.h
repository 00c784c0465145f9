#pragma once

#include "records/account_editor.h"

#include <QWidget>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QuarantinePage;

// The settings tab "Email Accounts": the account editor's tool bar, its
// account tabs m_accountTabs and the fields of the shown account, bound to the
// core's AccountEditor. Its tabs stay in step with the quarantine view's.
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

    QWidget* CreateFields();
    void WriteFields();
    void ReadFields();
    void ApplyEnabling();
    void FieldEdited(bool compared);
    void SecurityChosen(bool smtp);
    void TabSwitched(int index);
    // "Test connection": a login to both servers with the fields as typed.
    void TestConnection();

    AccountEditor m_editor;
    QuarantinePage& m_quarantine;
    int m_shownTab = -1;
    bool m_writing = false;

    QWidget* m_fields = nullptr;
    QLineEdit* m_displayNameEdit = nullptr;
    QLineEdit* m_emailAddressEdit = nullptr;
    QLineEdit* m_replyAddressEdit = nullptr;
    QLineEdit* m_pop3ServerEdit = nullptr;
    QLineEdit* m_pop3PortEdit = nullptr;
    QComboBox* m_pop3SecurityCombo = nullptr;
    QLineEdit* m_smtpServerEdit = nullptr;
    QLineEdit* m_smtpPortEdit = nullptr;
    QComboBox* m_smtpSecurityCombo = nullptr;
    QLineEdit* m_userNameEdit = nullptr;
    QLineEdit* m_passwordEdit = nullptr;
    QLabel* m_passwordHintLabel = nullptr;
    QCheckBox* m_smtpAuthCheckBox = nullptr;
    QCheckBox* m_smtpSameLoginCheckBox = nullptr;
    QLineEdit* m_smtpUserEdit = nullptr;
    QLineEdit* m_smtpPasswordEdit = nullptr;
    QLabel* m_smtpLoginLabel = nullptr;
    QLabel* m_smtpPasswordLabel = nullptr;
    QCheckBox* m_accountEnabledCheckBox = nullptr;
    QPlainTextEdit* m_aliasesText = nullptr;
    QPushButton* m_testConnectionButton = nullptr;
    ConnectionSecurity m_pop3Security = ConnectionSecurity::None;
    ConnectionSecurity m_smtpSecurity = ConnectionSecurity::None;
};
