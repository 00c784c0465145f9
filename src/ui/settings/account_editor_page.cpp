#include "ui/settings/account_editor_page.h"

#include "import/uWelcome.h"
#include "mail/account_connection.h"
#include "platform/message_box.h"
#include "records/uObjects.h"
#include "scan/scan_state.h"
#include "ui/quarantine/quarantine_page.h"

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

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

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
    : QWidget(parent), tabAccounts(new QTabBar(this)), m_editor(*this), m_quarantine(quarantine) {
    setObjectName("tsAccountEditor");
    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName("ToolBar2");
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    actAddAccount = toolbar->addAction(style()->standardIcon(QStyle::SP_FileDialogNewFolder), "Add Account");
    actAddAccount->setObjectName("actAddAccount");
    actAddAccount->setToolTip("Add a new email account");
    actDeleteAccount = toolbar->addAction(style()->standardIcon(QStyle::SP_TrashIcon), "Delete Account");
    actDeleteAccount->setObjectName("actDeleteAccount");
    actDeleteAccount->setToolTip("Delete selected email account");
    actDetect = toolbar->addAction(style()->standardIcon(QStyle::SP_BrowserReload), "Detect Accounts");
    actDetect->setObjectName("actDetect");
    actDetect->setToolTip("Detect email account settings");

    tabAccounts->setObjectName("tabAccounts");
    tabAccounts->setExpanding(false);
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
    layout->addWidget(tabAccounts);
    layout->addWidget(scroller, 1);
    ShowFields(false);

    connect(actAddAccount, &QAction::triggered, this, &AccountEditorPage::AddAccount);
    connect(actDetect, &QAction::triggered, this, &AccountEditorPage::actDetectExecute);
    connect(actDeleteAccount, &QAction::triggered, this, [this] {
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
    connect(tabAccounts, &QTabBar::currentChanged, this, &AccountEditorPage::TabSwitched);
    connect(&m_quarantine, &QuarantinePage::AccountCaptionChanged, this, &AccountEditorPage::RefreshTabCaption);
}

QWidget* AccountEditorPage::CreateFields() {
    auto* fields = new QWidget(this);
    edName = Field("edName", fields);
    edReturnAddress = Field("edReturnAddress", fields);
    edReplyAddress = Field("edReplyAddress", fields);
    edServer = Field("edServer", fields);
    edPort = Field("edPort", fields);
    cmbPOP3Security = SecurityChoice("cmbPOP3Security", fields);
    edSMTP = Field("edSMTP", fields);
    edSMTPPort = Field("edSMTPPort", fields);
    cmbSMTPSecurity = SecurityChoice("cmbSMTPSecurity", fields);
    edLogin = Field("edLogin", fields);
    edPassword = Field("edPassword", fields, true);
    Label14 = new QLabel("< Enter your email password", fields);
    Label14->setObjectName("Label14");
    Label14->setStyleSheet("color: #b00000; font-weight: bold;");
    Label14->hide();
    chkSMTPAuthentication = new QCheckBox("Outgoing server (SMTP) requires authentication", fields);
    chkSMTPAuthentication->setObjectName("chkSMTPAuthentication");
    CheckBox1 = new QCheckBox("Use same settings as incoming mail server", fields);
    CheckBox1->setObjectName("CheckBox1");
    edSMTPLogin = Field("edSMTPLogin", fields);
    edSMTPPassword = Field("edSMTPPassword", fields, true);
    chkAccEnabled = new QCheckBox("Enable spam protection for this account", fields);
    chkAccEnabled->setObjectName("chkAccEnabled");
    memoAliases = new QPlainTextEdit(fields);
    memoAliases->setObjectName("memoAliases");
    memoAliases->setToolTip("Other addresses that deliver into this mailbox, one per line");
    for (QLineEdit* port : {edPort, edSMTPPort})
        port->setFixedWidth(64);

    auto* user = new QGroupBox("User Information:", fields);
    auto* userGrid = new QGridLayout(user);
    userGrid->addWidget(new QLabel("Display name:", user), 0, 0);
    userGrid->addWidget(edName, 0, 1);
    userGrid->addWidget(new QLabel("Email address:", user), 1, 0);
    userGrid->addWidget(edReturnAddress, 1, 1);
    userGrid->addWidget(new QLabel("Reply address:", user), 2, 0);
    userGrid->addWidget(edReplyAddress, 2, 1);

    auto* server = new QGroupBox("Server Information:", fields);
    auto* serverGrid = new QGridLayout(server);
    serverGrid->addWidget(new QLabel("Incoming mail (POP3):", server), 0, 0);
    serverGrid->addWidget(edServer, 0, 1);
    serverGrid->addWidget(new QLabel("Port:", server), 0, 2);
    serverGrid->addWidget(edPort, 0, 3);
    serverGrid->addWidget(cmbPOP3Security, 0, 4);
    serverGrid->addWidget(new QLabel("Outgoing mail (SMTP):", server), 1, 0);
    serverGrid->addWidget(edSMTP, 1, 1);
    serverGrid->addWidget(new QLabel("Port:", server), 1, 2);
    serverGrid->addWidget(edSMTPPort, 1, 3);
    serverGrid->addWidget(cmbSMTPSecurity, 1, 4);
    btnTestConnection = new QPushButton("Test connection", server);
    btnTestConnection->setObjectName("btnTestConnection");
    btnTestConnection->setToolTip("Log in to both servers with the settings as typed; nothing is stored or deleted");
    serverGrid->addWidget(btnTestConnection, 2, 3, 1, 2);
    serverGrid->setColumnStretch(1, 1);

    auto* login = new QGroupBox("Login Information:", fields);
    auto* loginGrid = new QGridLayout(login);
    loginGrid->setHorizontalSpacing(10);
    loginGrid->addWidget(new QLabel("User name:", login), 0, 0);
    loginGrid->addWidget(edLogin, 0, 1);
    loginGrid->addWidget(new QLabel("Password:", login), 1, 0);
    loginGrid->addWidget(edPassword, 1, 1);
    loginGrid->addWidget(Label14, 2, 1);
    loginGrid->addWidget(chkAccEnabled, 3, 0, 1, 2);
    loginGrid->addWidget(chkSMTPAuthentication, 0, 2, 1, 2);
    loginGrid->addWidget(CheckBox1, 1, 2, 1, 2);
    m_smtpLoginLabel = new QLabel("User name:", login);
    m_smtpPasswordLabel = new QLabel("Password:", login);
    loginGrid->addWidget(m_smtpLoginLabel, 2, 2);
    loginGrid->addWidget(edSMTPLogin, 2, 3);
    loginGrid->addWidget(m_smtpPasswordLabel, 3, 2);
    loginGrid->addWidget(edSMTPPassword, 3, 3);
    loginGrid->setColumnStretch(1, 1);
    loginGrid->setColumnStretch(3, 1);

    auto* aliases = new QGroupBox("Aliases", fields);
    auto* aliasLayout = new QVBoxLayout(aliases);
    aliasLayout->addWidget(memoAliases);

    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(0, 4, 4, 0);
    grid->addWidget(user, 0, 0);
    grid->addWidget(aliases, 0, 1);
    grid->addWidget(server, 1, 0, 1, 2);
    grid->addWidget(login, 2, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(3, 1);
    edServer->setMinimumWidth(140);
    edSMTP->setMinimumWidth(140);

    for (QLineEdit* field : {edName, edReturnAddress, edServer, edPort, edSMTP, edSMTPPort, edLogin, edPassword,
                             edSMTPLogin, edSMTPPassword})
        connect(field, &QLineEdit::textEdited, this, [this] { FieldEdited(true); });
    connect(edReplyAddress, &QLineEdit::textEdited, this, [this] { FieldEdited(false); });
    connect(memoAliases, &QPlainTextEdit::textChanged, this, [this] { FieldEdited(false); });
    for (QCheckBox* box : {chkSMTPAuthentication, CheckBox1, chkAccEnabled})
        connect(box, &QCheckBox::toggled, this, [this] { FieldEdited(true); });
    connect(btnTestConnection, &QPushButton::clicked, this, &AccountEditorPage::TestConnection);
    connect(cmbPOP3Security, &QComboBox::currentIndexChanged, this, [this] { SecurityChosen(false); });
    connect(cmbSMTPSecurity, &QComboBox::currentIndexChanged, this, [this] { SecurityChosen(true); });
    return fields;
}

void AccountEditorPage::AddAccount() {
    ReadFields();
    m_editor.AddAccount();
    WriteFields();
    edReturnAddress->setFocus();
}

void AccountEditorPage::actDetectExecute() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    int before = Accounts.Count();
    ReadFields();
    try {
        DetectAccounts(m_editor);
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
    DetectAccounts(m_editor);
    WriteFields();
    return Accounts.Count() > 0;
}

void AccountEditorPage::AskForPassword() {
    edPassword->setFocus();
    Label14->show();
}

void AccountEditorPage::LoadAccounts() {
    QSignalBlocker quiet(tabAccounts);
    while (tabAccounts->count() > 0)
        tabAccounts->removeTab(0);
    for (int index = 0; index < Accounts.Count(); ++index) {
        tabAccounts->addTab(QString());
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
    if (index < 0 || index >= tabAccounts->count() || index == m_shownTab)
        return;
    tabAccounts->setCurrentIndex(index);
}

void AccountEditorPage::ShowPasswordHint(bool visible) {
    Label14->setVisible(visible);
}

void AccountEditorPage::FocusField(const std::string& place) {
    const std::pair<const char*, QWidget*> places[] = {{"user name", edLogin},
                                                       {"password", edPassword},
                                                       {"SMTP user name", edSMTPLogin},
                                                       {"SMTP password", edSMTPPassword},
                                                       {"email address", edReturnAddress},
                                                       {"reply address", edReplyAddress},
                                                       {"display name", edName}};
    for (const auto& [name, field] : places)
        if (place == name)
            field->setFocus();
}

void AccountEditorPage::RefreshTabCaption(int index) {
    if (index < 0 || index >= tabAccounts->count() || index >= Accounts.Count())
        return;
    const TAccountItem& account = Accounts.Item(index);
    QString caption = Text(account.ReplyAddress.empty() ? account.EmailAddress : account.ReplyAddress);
    if (!account.Enabled)
        caption += " (disabled)";
    tabAccounts->setTabText(index, caption);
}

void AccountEditorPage::AppendAccountTabs() {
    QSignalBlocker quiet(tabAccounts);
    tabAccounts->addTab(QString());
    m_quarantine.AddAccountTab(QString());
}

void AccountEditorPage::RemoveAccountTabs(int index) {
    {
        QSignalBlocker quiet(tabAccounts);
        tabAccounts->removeTab(index);
    }
    m_quarantine.RemoveAccountTab(index);
    m_shownTab = tabAccounts->currentIndex();
}

int AccountEditorPage::SelectedEditorTab() const {
    return m_shownTab;
}

void AccountEditorPage::SelectEditorTab(int index) {
    QSignalBlocker quiet(tabAccounts);
    tabAccounts->setCurrentIndex(index);
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
    edName->setText(Text(f.DisplayName));
    edReturnAddress->setText(Text(f.EmailAddress));
    edReplyAddress->setText(Text(f.ReplyAddress));
    edServer->setText(Text(f.Server));
    edPort->setText(Text(f.Port));
    edSMTP->setText(Text(f.SMTPServer));
    edSMTPPort->setText(Text(f.SMTPPort));
    edLogin->setText(Text(f.Login));
    edPassword->setText(Text(f.Password));
    chkSMTPAuthentication->setChecked(f.SMTPAuth);
    CheckBox1->setChecked(f.SMTPSameAsIncoming);
    edSMTPLogin->setText(Text(f.SMTPLogin));
    edSMTPPassword->setText(Text(f.SMTPPassword));
    chkAccEnabled->setChecked(f.Enabled);
    cmbPOP3Security->setCurrentIndex(cmbPOP3Security->findData(int(f.POP3Security)));
    cmbSMTPSecurity->setCurrentIndex(cmbSMTPSecurity->findData(int(f.SMTPSecurity)));
    m_pop3Security = f.POP3Security;
    m_smtpSecurity = f.SMTPSecurity;
    memoAliases->setPlainText(Text(f.Aliases));
    edServer->setEnabled(f.IncomingServerEnabled);
    edPort->setEnabled(f.IncomingServerEnabled);
    ApplyEnabling();
    m_writing = false;
}

void AccountEditorPage::ReadFields() {
    AccountEditorFields& f = m_editor.Fields;
    f.DisplayName = edName->text().toStdString();
    f.EmailAddress = edReturnAddress->text().toStdString();
    f.ReplyAddress = edReplyAddress->text().toStdString();
    f.Server = edServer->text().toStdString();
    f.Port = edPort->text().toStdString();
    f.SMTPServer = edSMTP->text().toStdString();
    f.SMTPPort = edSMTPPort->text().toStdString();
    f.Login = edLogin->text().toStdString();
    f.Password = edPassword->text().toStdString();
    f.SMTPAuth = chkSMTPAuthentication->isChecked();
    f.SMTPSameAsIncoming = CheckBox1->isChecked();
    f.SMTPLogin = edSMTPLogin->text().toStdString();
    f.SMTPPassword = edSMTPPassword->text().toStdString();
    f.Enabled = chkAccEnabled->isChecked();
    f.POP3Security = ChosenSecurity(cmbPOP3Security);
    f.SMTPSecurity = ChosenSecurity(cmbSMTPSecurity);
    f.Aliases = memoAliases->toPlainText().toStdString();
}

void AccountEditorPage::ApplyEnabling() {
    SmtpFieldStates states = SmtpEnabling(m_editor.Fields);
    CheckBox1->setEnabled(states.SameAsIncoming);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{edSMTPLogin, edSMTPPassword, m_smtpLoginLabel, m_smtpPasswordLabel})
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
    QLineEdit* port = smtp ? edSMTPPort : edPort;
    ConnectionSecurity& previous = smtp ? m_smtpSecurity : m_pop3Security;
    ConnectionSecurity chosen = ChosenSecurity(smtp ? cmbSMTPSecurity : cmbPOP3Security);
    port->setText(Text(SuggestedPort(port->text().toStdString(), previous, chosen, smtp)));
    previous = chosen;
    FieldEdited(true);
}

void AccountEditorPage::TestConnection() {
    ReadFields();
    TAccountItem typed;
    CopyFields(m_editor.Fields, typed);
    btnTestConnection->setEnabled(false);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ConnectionTestResult result = TestAccountConnection(typed);
    QApplication::restoreOverrideCursor();
    btnTestConnection->setEnabled(true);
    ShowMessageBox(ConnectionTestText(typed, result), "Test connection", MsgButtons::Ok,
                   result.Ok() ? MsgIcon::Information : MsgIcon::Warning);
}

void AccountEditorPage::TabSwitched(int index) {
    ReadFields();
    m_editor.TabChanging();
    m_shownTab = index;
    m_editor.TabChanged(index);
    WriteFields();
    actDeleteAccount->setEnabled(true);
}
