#include "ui/settings/account_editor_page.h"

#include "import/account_detection.h"
#include "mail/account_connection.h"
#include "platform/message_box.h"
#include "records/accounts.h"
#include "scan/scan_state.h"
#include "ui/quarantine/quarantine_page.h"
#include "ui/shell/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
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

AccountEditorPage::AccountEditorPage(QuarantinePage& quarantine, QWidget* parent)
    : QWidget(parent), m_accountTabs(new QTabBar(this)), m_editor(*this), m_quarantine(quarantine) {
    setObjectName("accountEditorPage");
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName("accountToolBar");
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_addAccountAction = toolbar->addAction(style()->standardIcon(QStyle::SP_FileDialogNewFolder), "Add Account");
    m_addAccountAction->setObjectName("addAccountAction");
    m_addAccountAction->setToolTip("Add a new email account");
    m_deleteAccountAction = toolbar->addAction(style()->standardIcon(QStyle::SP_TrashIcon), "Delete Account");
    m_deleteAccountAction->setObjectName("deleteAccountAction");
    m_deleteAccountAction->setToolTip("Delete selected email account");
    m_detectAccountsAction = toolbar->addAction(style()->standardIcon(QStyle::SP_BrowserReload), "Detect Accounts");
    m_detectAccountsAction->setObjectName("detectAccountsAction");
    m_detectAccountsAction->setToolTip("Detect email account settings");

    m_accountTabs->setObjectName("accountEditorTabs");
    m_accountTabs->setExpanding(false);
    m_fields = CreateFields();
    // A small window scrolls the fields instead of squeezing them.
    auto* scroller = new QScrollArea(this);
    scroller->setWidget(m_fields);
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(toolbar);
    layout->addWidget(m_accountTabs);
    layout->addWidget(scroller, 1);
    ShowFields(false);

    connect(m_addAccountAction, &QAction::triggered, this, &AccountEditorPage::AddAccount);
    connect(m_detectAccountsAction, &QAction::triggered, this, &AccountEditorPage::DetectAccounts);
    connect(m_deleteAccountAction, &QAction::triggered, this, [this] {
        ReadFields();
        // A scan asked for meanwhile must not see the accounts renumbered.
        ScanState.DeletingAccount = true;
        try {
            m_editor.DeleteAccount();
        } catch (...) {
            ScanState.DeletingAccount = false;
            throw;
        }
        ScanState.DeletingAccount = false;
        WriteFields();
    });
    connect(m_accountTabs, &QTabBar::currentChanged, this, &AccountEditorPage::TabSwitched);
    connect(&m_quarantine, &QuarantinePage::AccountCaptionChanged, this, &AccountEditorPage::RefreshTabCaption);
}

QWidget* AccountEditorPage::CreateFields() {
    auto* fields = new QWidget(this);
    m_displayNameEdit = Field("displayNameEdit", fields);
    m_emailAddressEdit = Field("emailAddressEdit", fields);
    m_replyAddressEdit = Field("replyAddressEdit", fields);
    m_pop3ServerEdit = Field("pop3ServerEdit", fields);
    m_pop3PortEdit = Field("pop3PortEdit", fields);
    m_pop3SecurityCombo = SecurityChoice("pop3SecurityCombo", fields);
    m_smtpServerEdit = Field("smtpServerEdit", fields);
    m_smtpPortEdit = Field("smtpPortEdit", fields);
    m_smtpSecurityCombo = SecurityChoice("smtpSecurityCombo", fields);
    m_userNameEdit = Field("userNameEdit", fields);
    m_passwordEdit = Field("passwordEdit", fields, true);
    m_passwordHintLabel = new QLabel("< Enter your email password", fields);
    m_passwordHintLabel->setObjectName("passwordHintLabel");
    m_passwordHintLabel->setStyleSheet("color: #b00000; font-weight: bold;");
    m_passwordHintLabel->hide();
    m_smtpAuthCheckBox = new QCheckBox("Outgoing server (SMTP) requires authentication", fields);
    m_smtpAuthCheckBox->setObjectName("smtpAuthCheckBox");
    m_smtpSameLoginCheckBox = new QCheckBox("Use same settings as incoming mail server", fields);
    m_smtpSameLoginCheckBox->setObjectName("smtpSameLoginCheckBox");
    m_smtpUserEdit = Field("smtpUserEdit", fields);
    m_smtpPasswordEdit = Field("smtpPasswordEdit", fields, true);
    m_accountEnabledCheckBox = new QCheckBox("Enable spam protection for this account", fields);
    m_accountEnabledCheckBox->setObjectName("accountEnabledCheckBox");
    m_aliasesText = new QPlainTextEdit(fields);
    m_aliasesText->setObjectName("aliasesText");
    m_aliasesText->setToolTip("Other addresses that deliver into this mailbox, one per line");
    for (QLineEdit* port : {m_pop3PortEdit, m_smtpPortEdit})
        port->setFixedWidth(64);

    auto* user = new QGroupBox("User Information:", fields);
    auto* userGrid = new QGridLayout(user);
    userGrid->addWidget(new QLabel("Display name:", user), 0, 0);
    userGrid->addWidget(m_displayNameEdit, 0, 1);
    userGrid->addWidget(new QLabel("Email address:", user), 1, 0);
    userGrid->addWidget(m_emailAddressEdit, 1, 1);
    userGrid->addWidget(new QLabel("Reply address:", user), 2, 0);
    userGrid->addWidget(m_replyAddressEdit, 2, 1);

    auto* server = new QGroupBox("Server Information:", fields);
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

    auto* login = new QGroupBox("Login Information:", fields);
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

    auto* aliases = new QGroupBox("Aliases", fields);
    auto* aliasLayout = new QVBoxLayout(aliases);
    aliasLayout->addWidget(m_aliasesText);

    auto* grid = new QGridLayout(fields);
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
        connect(field, &QLineEdit::textEdited, this, [this] { FieldEdited(true); });
    connect(m_replyAddressEdit, &QLineEdit::textEdited, this, [this] { FieldEdited(false); });
    connect(m_aliasesText, &QPlainTextEdit::textChanged, this, [this] { FieldEdited(false); });
    for (QCheckBox* box : {m_smtpAuthCheckBox, m_smtpSameLoginCheckBox, m_accountEnabledCheckBox})
        connect(box, &QCheckBox::toggled, this, [this] { FieldEdited(true); });
    connect(m_testConnectionButton, &QPushButton::clicked, this, &AccountEditorPage::TestConnection);
    connect(m_pop3SecurityCombo, &QComboBox::currentIndexChanged, this, [this] { SecurityChosen(false); });
    connect(m_smtpSecurityCombo, &QComboBox::currentIndexChanged, this, [this] { SecurityChosen(true); });
    return fields;
}

void AccountEditorPage::AddAccount() {
    ReadFields();
    m_editor.AddAccount();
    WriteFields();
    m_emailAddressEdit->setFocus();
}

void AccountEditorPage::DetectAccounts() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    int before = Accounts.Count();
    ReadFields();
    try {
        ::DetectAccounts(m_editor);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        WriteFields();
        throw;
    }
    WriteFields();
    QApplication::restoreOverrideCursor();
    if (Accounts.Count() == before) {
        ShowMessageBox(DetectNoNewAccountsText, DetectNoticeTitle, MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    ShowMessageBox(DetectNewAccountsText, DetectNoticeTitle, MsgButtons::Ok, MsgIcon::Information);
    AskForPassword();
}

bool AccountEditorPage::DetectForFirstRun() {
    ReadFields();
    ::DetectAccounts(m_editor);
    WriteFields();
    return Accounts.Count() > 0;
}

void AccountEditorPage::AskForPassword() {
    m_passwordEdit->setFocus();
    m_passwordHintLabel->show();
}

void AccountEditorPage::LoadAccounts() {
    QSignalBlocker quiet(m_accountTabs);
    while (m_accountTabs->count() > 0)
        m_accountTabs->removeTab(0);
    for (int index = 0; index < Accounts.Count(); ++index) {
        m_accountTabs->addTab(QString());
        RefreshTabCaption(index);
    }
    ShowFields(Accounts.Count() > 0);
    if (Accounts.Count() > 0)
        ShowAccount(1);
}

void AccountEditorPage::ShowAccount(int n) {
    if (n < 1 || n > Accounts.Count())
        return;
    SelectEditorTab(n - 1);
    m_editor.ShowAccount(n);
    WriteFields();
}

void AccountEditorPage::ApplyAccount() {
    ReadFields();
    m_editor.ApplyAccount();
}

void AccountEditorPage::FollowQuarantineTab(int index) {
    if (index < 0 || index >= m_accountTabs->count() || index == m_shownTab)
        return;
    m_accountTabs->setCurrentIndex(index);
}

void AccountEditorPage::ShowPasswordHint(bool visible) {
    m_passwordHintLabel->setVisible(visible);
}

void AccountEditorPage::FocusField(const std::string& place) {
    const std::pair<const char*, QWidget*> places[] = {
        {"user name", m_userNameEdit},         {"password", m_passwordEdit},
        {"SMTP user name", m_smtpUserEdit},    {"SMTP password", m_smtpPasswordEdit},
        {"email address", m_emailAddressEdit}, {"reply address", m_replyAddressEdit},
        {"display name", m_displayNameEdit}};
    for (const auto& [name, field] : places)
        if (place == name)
            field->setFocus();
}

void AccountEditorPage::RefreshTabCaption(int index) {
    if (index < 0 || index >= m_accountTabs->count() || index >= Accounts.Count())
        return;
    const Account& account = Accounts.Item(index);
    QString caption = QtText(account.ReplyAddress.empty() ? account.EmailAddress : account.ReplyAddress);
    if (!account.Enabled)
        caption += " (disabled)";
    m_accountTabs->setTabText(index, caption);
}

void AccountEditorPage::AppendAccountTabs() {
    QSignalBlocker quiet(m_accountTabs);
    m_accountTabs->addTab(QString());
    m_quarantine.AddAccountTab(QString());
}

void AccountEditorPage::RemoveAccountTabs(int index) {
    {
        QSignalBlocker quiet(m_accountTabs);
        m_accountTabs->removeTab(index);
    }
    m_quarantine.RemoveAccountTab(index);
    m_shownTab = m_accountTabs->currentIndex();
}

int AccountEditorPage::SelectedEditorTab() const {
    return m_shownTab;
}

void AccountEditorPage::SelectEditorTab(int index) {
    QSignalBlocker quiet(m_accountTabs);
    m_accountTabs->setCurrentIndex(index);
    m_shownTab = index;
}

int AccountEditorPage::SelectedQuarantineTab() const {
    return m_quarantine.View().CurrentAccount() < Accounts.Count() && Accounts.Count() > 0
               ? m_quarantine.View().CurrentAccount()
               : -1;
}

void AccountEditorPage::SelectQuarantineTab(int index) {
    m_quarantine.SelectAccountTab(index);
}

void AccountEditorPage::RefreshCaptions(int n) {
    m_quarantine.RefreshCaptions(n);
    RefreshTabCaption(n - 1);
}

void AccountEditorPage::FillQuarantineList(int n) {
    m_quarantine.FillQuarantineList(n);
}

void AccountEditorPage::ShowFields(bool visible) {
    m_fields->setVisible(visible);
}

void AccountEditorPage::WriteFields() {
    const AccountEditorFields& f = m_editor.Fields;
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
    ApplyEnabling();
    m_writing = false;
}

void AccountEditorPage::ReadFields() {
    AccountEditorFields& f = m_editor.Fields;
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

void AccountEditorPage::ApplyEnabling() {
    SmtpFieldStates states = SmtpEnabling(m_editor.Fields);
    m_smtpSameLoginCheckBox->setEnabled(states.SameAsIncoming);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{m_smtpUserEdit, m_smtpPasswordEdit, m_smtpLoginLabel, m_smtpPasswordLabel})
        widget->setEnabled(states.SmtpLogin);
}

void AccountEditorPage::FieldEdited(bool compared) {
    if (m_writing)
        return;
    ReadFields();
    if (compared)
        m_editor.FieldChanged();
    ApplyEnabling();
}

void AccountEditorPage::SecurityChosen(bool smtp) {
    if (m_writing)
        return;
    QLineEdit* port = smtp ? m_smtpPortEdit : m_pop3PortEdit;
    ConnectionSecurity& previous = smtp ? m_smtpSecurity : m_pop3Security;
    ConnectionSecurity chosen = ChosenSecurity(smtp ? m_smtpSecurityCombo : m_pop3SecurityCombo);
    port->setText(QtText(SuggestedPort(port->text().toStdString(), previous, chosen, smtp)));
    previous = chosen;
    FieldEdited(true);
}

void AccountEditorPage::TestConnection() {
    ReadFields();
    Account typed;
    CopyFields(m_editor.Fields, typed);
    m_testConnectionButton->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ConnectionTestResult result = TestAccountConnection(typed);
    QApplication::restoreOverrideCursor();
    m_testConnectionButton->setEnabled(true);
    ShowMessageBox(ConnectionTestText(typed, result), "Test connection", MsgButtons::Ok,
                   result.Ok() ? MsgIcon::Information : MsgIcon::Warning);
}

void AccountEditorPage::TabSwitched(int index) {
    ReadFields();
    m_editor.TabChanging();
    m_shownTab = index;
    m_editor.TabChanged(index);
    WriteFields();
    m_deleteAccountAction->setEnabled(true);
}
