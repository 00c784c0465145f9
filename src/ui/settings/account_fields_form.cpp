#include "ui/settings/account_fields_form.h"

#include "ui/shell/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* Field(const char* name, QWidget* parent, bool password = false) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    if (password) {
        field->setEchoMode(QLineEdit::Password);
        field->setStyleSheet("lineedit-password-character: 42;");
    }
    return field;
}

QComboBox* SecurityChoice(const char* name, QWidget* parent) {
    auto* choice = new QComboBox(parent);
    choice->setObjectName(name);
    choice->addItem("None", int(ConnectionSecurity::None));
    choice->addItem("TLS", int(ConnectionSecurity::Tls));
    choice->addItem("STARTTLS", int(ConnectionSecurity::StartTls));
    choice->setToolTip("Encrypted connection: TLS from the start, or a plain connection upgraded with STARTTLS");
    return choice;
}

ConnectionSecurity ChosenSecurity(const QComboBox* choice) {
    return static_cast<ConnectionSecurity>(choice->currentData().toInt());
}

} // namespace

AccountFieldsForm::AccountFieldsForm(QWidget* parent) : QWidget(parent) {
    setObjectName("accountFields");

    m_displayNameEdit = Field("displayNameEdit", this);
    m_emailAddressEdit = Field("emailAddressEdit", this);
    m_replyAddressEdit = Field("replyAddressEdit", this);
    m_pop3ServerEdit = Field("pop3ServerEdit", this);
    m_pop3PortEdit = Field("pop3PortEdit", this);
    m_pop3SecurityCombo = SecurityChoice("pop3SecurityCombo", this);
    m_smtpServerEdit = Field("smtpServerEdit", this);
    m_smtpPortEdit = Field("smtpPortEdit", this);
    m_smtpSecurityCombo = SecurityChoice("smtpSecurityCombo", this);
    m_userNameEdit = Field("userNameEdit", this);
    m_passwordEdit = Field("passwordEdit", this, true);
    m_passwordHintLabel = new QLabel("< Enter your email password", this);
    m_passwordHintLabel->setObjectName("passwordHintLabel");
    m_passwordHintLabel->setStyleSheet("color: #b00000; font-weight: bold;");
    m_passwordHintLabel->hide();
    m_smtpAuthCheckBox = new QCheckBox("Outgoing server (SMTP) requires authentication", this);
    m_smtpAuthCheckBox->setObjectName("smtpAuthCheckBox");
    m_smtpSameLoginCheckBox = new QCheckBox("Use same settings as incoming mail server", this);
    m_smtpSameLoginCheckBox->setObjectName("smtpSameLoginCheckBox");
    m_smtpUserEdit = Field("smtpUserEdit", this);
    m_smtpPasswordEdit = Field("smtpPasswordEdit", this, true);
    m_accountEnabledCheckBox = new QCheckBox("Enable spam protection for this account", this);
    m_accountEnabledCheckBox->setObjectName("accountEnabledCheckBox");
    m_aliasesText = new QPlainTextEdit(this);
    m_aliasesText->setObjectName("aliasesText");
    m_aliasesText->setToolTip("Other addresses that deliver into this mailbox, one per line");
    for (QLineEdit* port : {m_pop3PortEdit, m_smtpPortEdit})
        port->setFixedWidth(64);

    auto* user = new QGroupBox("User Information:", this);
    auto* userGrid = new QGridLayout(user);
    userGrid->addWidget(new QLabel("Display name:", user), 0, 0);
    userGrid->addWidget(m_displayNameEdit, 0, 1);
    userGrid->addWidget(new QLabel("Email address:", user), 1, 0);
    userGrid->addWidget(m_emailAddressEdit, 1, 1);
    userGrid->addWidget(new QLabel("Reply address:", user), 2, 0);
    userGrid->addWidget(m_replyAddressEdit, 2, 1);

    auto* server = new QGroupBox("Server Information:", this);
    auto* serverGrid = new QGridLayout(server);
    serverGrid->addWidget(new QLabel("Incoming mail (POP3):", server), 0, 0);
    serverGrid->addWidget(m_pop3ServerEdit, 0, 1);
    serverGrid->addWidget(new QLabel("Port:", server), 0, 2);
    serverGrid->addWidget(m_pop3PortEdit, 0, 3);
    serverGrid->addWidget(m_pop3SecurityCombo, 0, 4);
    serverGrid->addWidget(new QLabel("Outgoing mail (SMTP):", server), 1, 0);
    serverGrid->addWidget(m_smtpServerEdit, 1, 1);
    serverGrid->addWidget(new QLabel("Port:", server), 1, 2);
    serverGrid->addWidget(m_smtpPortEdit, 1, 3);
    serverGrid->addWidget(m_smtpSecurityCombo, 1, 4);
    m_testConnectionButton = new QPushButton("Test connection", server);
    m_testConnectionButton->setObjectName("testConnectionButton");
    m_testConnectionButton->setToolTip(
        "Log in to both servers with the settings as typed; nothing is stored or deleted");
    serverGrid->addWidget(m_testConnectionButton, 2, 3, 1, 2);
    serverGrid->setColumnStretch(1, 1);

    auto* login = new QGroupBox("Login Information:", this);
    auto* loginGrid = new QGridLayout(login);
    loginGrid->setHorizontalSpacing(10);
    loginGrid->addWidget(new QLabel("User name:", login), 0, 0);
    loginGrid->addWidget(m_userNameEdit, 0, 1);
    loginGrid->addWidget(new QLabel("Password:", login), 1, 0);
    loginGrid->addWidget(m_passwordEdit, 1, 1);
    loginGrid->addWidget(m_passwordHintLabel, 2, 1);
    loginGrid->addWidget(m_accountEnabledCheckBox, 3, 0, 1, 2);
    loginGrid->addWidget(m_smtpAuthCheckBox, 0, 2, 1, 2);
    loginGrid->addWidget(m_smtpSameLoginCheckBox, 1, 2, 1, 2);
    m_smtpLoginLabel = new QLabel("User name:", login);
    m_smtpPasswordLabel = new QLabel("Password:", login);
    loginGrid->addWidget(m_smtpLoginLabel, 2, 2);
    loginGrid->addWidget(m_smtpUserEdit, 2, 3);
    loginGrid->addWidget(m_smtpPasswordLabel, 3, 2);
    loginGrid->addWidget(m_smtpPasswordEdit, 3, 3);
    loginGrid->setColumnStretch(1, 1);
    loginGrid->setColumnStretch(3, 1);

    auto* aliases = new QGroupBox("Aliases", this);
    auto* aliasLayout = new QVBoxLayout(aliases);
    aliasLayout->addWidget(m_aliasesText);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 4, 4, 0);
    grid->addWidget(user, 0, 0);
    grid->addWidget(aliases, 0, 1);
    grid->addWidget(server, 1, 0, 1, 2);
    grid->addWidget(login, 2, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(3, 1);
    m_pop3ServerEdit->setMinimumWidth(140);
    m_smtpServerEdit->setMinimumWidth(140);

    for (QLineEdit* field : {m_displayNameEdit, m_emailAddressEdit, m_pop3ServerEdit, m_pop3PortEdit, m_smtpServerEdit,
                             m_smtpPortEdit, m_userNameEdit, m_passwordEdit, m_smtpUserEdit, m_smtpPasswordEdit})
        connect(field, &QLineEdit::textEdited, this, [this] { Report(true); });
    connect(m_replyAddressEdit, &QLineEdit::textEdited, this, [this] { Report(false); });
    connect(m_aliasesText, &QPlainTextEdit::textChanged, this, [this] { Report(false); });
    for (QCheckBox* box : {m_smtpAuthCheckBox, m_smtpSameLoginCheckBox, m_accountEnabledCheckBox})
        connect(box, &QCheckBox::toggled, this, [this] { Report(true); });
    connect(m_testConnectionButton, &QPushButton::clicked, this, &AccountFieldsForm::TestConnectionRequested);
    connect(m_pop3SecurityCombo, &QComboBox::currentIndexChanged, this, [this] { SecurityChosen(false); });
    connect(m_smtpSecurityCombo, &QComboBox::currentIndexChanged, this, [this] { SecurityChosen(true); });
}

void AccountFieldsForm::Write(const AccountEditorFields& f) {
    m_writing = true;
    m_displayNameEdit->setText(QtText(f.DisplayName));
    m_emailAddressEdit->setText(QtText(f.EmailAddress));
    m_replyAddressEdit->setText(QtText(f.ReplyAddress));
    m_pop3ServerEdit->setText(QtText(f.Server));
    m_pop3PortEdit->setText(QtText(f.Port));
    m_smtpServerEdit->setText(QtText(f.SMTPServer));
    m_smtpPortEdit->setText(QtText(f.SMTPPort));
    m_userNameEdit->setText(QtText(f.Login));
    m_passwordEdit->setText(QtText(f.Password));
    m_smtpAuthCheckBox->setChecked(f.SMTPAuth);
    m_smtpSameLoginCheckBox->setChecked(f.SMTPSameAsIncoming);
    m_smtpUserEdit->setText(QtText(f.SMTPLogin));
    m_smtpPasswordEdit->setText(QtText(f.SMTPPassword));
    m_accountEnabledCheckBox->setChecked(f.Enabled);
    m_pop3SecurityCombo->setCurrentIndex(m_pop3SecurityCombo->findData(int(f.POP3Security)));
    m_smtpSecurityCombo->setCurrentIndex(m_smtpSecurityCombo->findData(int(f.SMTPSecurity)));
    m_pop3Security = f.POP3Security;
    m_smtpSecurity = f.SMTPSecurity;
    m_aliasesText->setPlainText(QtText(f.Aliases));
    m_pop3ServerEdit->setEnabled(f.IncomingServerEnabled);
    m_pop3PortEdit->setEnabled(f.IncomingServerEnabled);
    m_writing = false;
}

void AccountFieldsForm::Read(AccountEditorFields& f) const {
    f.DisplayName = m_displayNameEdit->text().toStdString();
    f.EmailAddress = m_emailAddressEdit->text().toStdString();
    f.ReplyAddress = m_replyAddressEdit->text().toStdString();
    f.Server = m_pop3ServerEdit->text().toStdString();
    f.Port = m_pop3PortEdit->text().toStdString();
    f.SMTPServer = m_smtpServerEdit->text().toStdString();
    f.SMTPPort = m_smtpPortEdit->text().toStdString();
    f.Login = m_userNameEdit->text().toStdString();
    f.Password = m_passwordEdit->text().toStdString();
    f.SMTPAuth = m_smtpAuthCheckBox->isChecked();
    f.SMTPSameAsIncoming = m_smtpSameLoginCheckBox->isChecked();
    f.SMTPLogin = m_smtpUserEdit->text().toStdString();
    f.SMTPPassword = m_smtpPasswordEdit->text().toStdString();
    f.Enabled = m_accountEnabledCheckBox->isChecked();
    f.POP3Security = ChosenSecurity(m_pop3SecurityCombo);
    f.SMTPSecurity = ChosenSecurity(m_smtpSecurityCombo);
    f.Aliases = m_aliasesText->toPlainText().toStdString();
}

void AccountFieldsForm::ApplyEnabling(const SmtpFieldStates& states) {
    m_smtpSameLoginCheckBox->setEnabled(states.SameAsIncoming);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_smtpUserEdit, m_smtpPasswordEdit, m_smtpLoginLabel, m_smtpPasswordLabel})
        widget->setEnabled(states.SmtpLogin);
}

void AccountFieldsForm::ShowPasswordHint(bool visible) {
    m_passwordHintLabel->setVisible(visible);
}

void AccountFieldsForm::FocusField(const std::string& place) {
    const std::pair<const char*, QWidget*> places[] = {
        {"user name", m_userNameEdit},         {"password", m_passwordEdit},
        {"SMTP user name", m_smtpUserEdit},    {"SMTP password", m_smtpPasswordEdit},
        {"email address", m_emailAddressEdit}, {"reply address", m_replyAddressEdit},
        {"display name", m_displayNameEdit}};
    for (const auto& [name, field] : places)
        if (place == name)
            field->setFocus();
}

void AccountFieldsForm::FocusEmailAddress() {
    m_emailAddressEdit->setFocus();
}

void AccountFieldsForm::FocusPassword() {
    m_passwordEdit->setFocus();
}

void AccountFieldsForm::SetTestRunning(bool running) {
    m_testConnectionButton->setEnabled(!running);
}

void AccountFieldsForm::Report(bool compared) {
    if (!m_writing)
        emit Edited(compared);
}

void AccountFieldsForm::SecurityChosen(bool smtp) {
    if (m_writing)
        return;
    QLineEdit* port = smtp ? m_smtpPortEdit : m_pop3PortEdit;
    ConnectionSecurity& previous = smtp ? m_smtpSecurity : m_pop3Security;
    ConnectionSecurity chosen = ChosenSecurity(smtp ? m_smtpSecurityCombo : m_pop3SecurityCombo);
    port->setText(QtText(SuggestedPort(port->text().toStdString(), previous, chosen, smtp)));
    previous = chosen;
    Report(true);
}
