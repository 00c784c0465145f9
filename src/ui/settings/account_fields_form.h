#pragma once

#include "platform/connection_security.h"
#include "records/account_editor.h"

#include <QWidget>

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The fields of one account on the "Email Accounts" tab: user, server, login
// and aliases, the encrypted-connection choice beside each port (choosing one
// moves a default port along) and "Test connection". It shows and reads the
// account editor's fields; what an edit means is the editor's business.
class AccountFieldsForm : public QWidget {
    Q_OBJECT
public:
    explicit AccountFieldsForm(QWidget* parent = nullptr);

    // Shows the fields; nothing shown this way counts as edited.
    void Write(const AccountEditorFields& fields);
    void Read(AccountEditorFields& fields) const;
    void ApplyEnabling(const SmtpFieldStates& states);
    // The hint "< Enter your email password".
    void ShowPasswordHint(bool visible);
    // The field a settings check names ("user name", "password", "SMTP user
    // name", "SMTP password", "email address", "reply address", "display name").
    void FocusField(const std::string& place);
    void FocusEmailAddress();
    void FocusPassword();
    // "Test connection" is held off while a test runs.
    void SetTestRunning(bool running);

signals:
    // compared: the edited field takes part in telling whether the account
    // differs from its record.
    void Edited(bool compared);
    void TestConnectionRequested();

private:
    void Report(bool compared);
    void SecurityChosen(bool smtp);

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
    bool m_writing = false;
};
