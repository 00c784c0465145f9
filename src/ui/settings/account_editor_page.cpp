#include "ui/settings/account_editor_page.h"

#include "import/account_detection.h"
#include "mail/account_connection.h"
#include "platform/message_box.h"
#include "records/account.h"
#include "scan/scan_state.h"
#include "ui/quarantine/quarantine_page.h"
#include "ui/settings/account_fields_form.h"
#include "ui/shell/qt_text.h"

#include <QAction>
#include <QApplication>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

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
    m_form = new AccountFieldsForm(this);
    connect(m_form, &AccountFieldsForm::Edited, this, &AccountEditorPage::FieldEdited);
    connect(m_form, &AccountFieldsForm::TestConnectionRequested, this, &AccountEditorPage::TestConnection);
    // A small window scrolls the fields instead of squeezing them.
    auto* scroller = new QScrollArea(this);
    scroller->setWidget(m_form);
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

void AccountEditorPage::WriteFields() {
    m_form->Write(m_editor.Fields);
    m_form->ApplyEnabling(SmtpEnabling(m_editor.Fields));
}

void AccountEditorPage::ReadFields() {
    m_form->Read(m_editor.Fields);
}

void AccountEditorPage::FieldEdited(bool compared) {
    ReadFields();
    if (compared)
        m_editor.FieldChanged();
    m_form->ApplyEnabling(SmtpEnabling(m_editor.Fields));
}

void AccountEditorPage::FocusField(const std::string& place) {
    m_form->FocusField(place);
}

void AccountEditorPage::AddAccount() {
    ReadFields();
    m_editor.AddAccount();
    WriteFields();
    m_form->FocusEmailAddress();
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
    m_form->FocusPassword();
    m_form->ShowPasswordHint(true);
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
    m_form->ShowPasswordHint(visible);
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
    m_form->setVisible(visible);
}

void AccountEditorPage::TestConnection() {
    ReadFields();
    Account typed;
    CopyFields(m_editor.Fields, typed);
    m_form->SetTestRunning(true);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ConnectionTestResult result = TestAccountConnection(typed);
    QApplication::restoreOverrideCursor();
    m_form->SetTestRunning(false);
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
