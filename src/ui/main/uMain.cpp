#include "ui/main/uMain.h"

#include "challenge/quarantine_purge.h"
#include "import/uABImport.h"
#include "platform/data_folder.h"
#include "platform/mail_client.h"
#include "platform/message_box.h"
#include "records/loop_list.h"
#include "records/program_settings.h"
#include "records/quarantine_index.h"
#include "records/sender_lists.h"
#include "records/settings_checks.h"
#include "records/text_helpers.h"
#include "records/uObjects.h"
#include "scan/scan_run.h"
#include "scan/scan_state.h"
#include "ui/about/about_page.h"
#include "ui/dialogs/uFormWait.h"
#include "ui/dialogs/uPassword.h"
#include "ui/help/help.h"
#include "ui/lists/uBlockListsForm.h"
#include "ui/main/gui_scan_view.h"
#include "ui/main/navigation_images.h"
#include "ui/pages/settings_page.h"
#include "ui/quarantine/quarantine_page.h"
#include "ui/scan/scan_page.h"
#include "ui/settings/account_editor_page.h"
#include "ui/shell/desktop_services.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/tray_icon.h"
#include "ui/update/uFormDownloadUpdate.h"
#include "ui/welcome/welcome_form.h"
#include "update/update_check.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <string_view>

namespace {

const QString ProductName = QStringLiteral("Quorvane");
constexpr int NavigationImageSize = 32;
constexpr int ElapsedTickMs = 1000;
constexpr int DateRefreshMs = 60 * 1000;

struct NavigationButtonInfo {
    const char* Name;
    const char* Caption;
    const char* Hint;
    const char* Image;
};

const NavigationButtonInfo NavigationButtons[] = {
    {"btnScan", "Scan", "Scan your email accounts for spam", ":/icons/nav-scan.svg"},
    {"btnSpam", "Quarantine", "Manage quarantined messages", ":/icons/nav-quarantine.svg"},
    {"btnLists", "Approved Senders", "Manage approved senders list", ":/icons/nav-approved.svg"},
    {"btnSettings", "Settings", "Change program settings and preferences", ":/icons/nav-settings.svg"},
    {"btnHelp", "Help", "View help manual", ":/icons/nav-help.svg"},
    {"btnAbout", "About", "View version and other information about Quorvane", ":/icons/nav-about.svg"},
};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// "AutoScanMin" minutes in milliseconds, within what a timer takes.
int BackgroundScanInterval() {
    long long ms = static_cast<long long>(std::max(ProgramSettings.AutoScanMin, 1)) * 60 * 1000;
    return static_cast<int>(std::min<long long>(ms, INT_MAX));
}

} // namespace

TfrmQuorvaneMain::TfrmQuorvaneMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("TfrmQuorvaneMain");
    setWindowTitle(ProductName);
    setWindowIcon(QIcon(":/icons/quorvane.svg"));
    setMinimumSize(m_geometry.MinWidth, m_geometry.MinHeight);
    resize(m_geometry.Width, m_geometry.Height);

    CreateNavigation();
    CreatePages();
    MarkPageButton();
    CreateStatusBar();
    CreateTimers();
    CreateActions();
    m_tray = new TrayIcon(m_trayMenu, this);
    m_scanView = std::make_unique<GuiScanView>(*this);
    SetScanView(m_scanView.get());

    // The window sees every key before its controls.
    qApp->installEventFilter(this);
}

TfrmQuorvaneMain::~TfrmQuorvaneMain() {
    qApp->removeEventFilter(this);
    SetScanView(nullptr);
}

void TfrmQuorvaneMain::CreateNavigation() {
    m_navigation = new QWidget(this);
    m_navigation->setObjectName("pnlNavigation");
    m_navigation->setAutoFillBackground(true);
    QPalette colours = m_navigation->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    m_navigation->setPalette(colours);
    auto* column = new QVBoxLayout(m_navigation);
    column->setContentsMargins(6, 10, 6, 10);
    column->setSpacing(4);
    QToolButton** buttons[] = {&btnScan, &btnSpam, &btnLists, &btnSettings, &btnHelp, &btnAbout};
    for (size_t i = 0; i < std::size(NavigationButtons); ++i) {
        const NavigationButtonInfo& info = NavigationButtons[i];
        auto* button = new QToolButton(m_navigation);
        button->setObjectName(info.Name);
        button->setText(info.Caption);
        button->setToolTip(info.Hint);
        button->setStatusTip(info.Hint);
        button->setAutoRaise(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(NavigationImageSize, NavigationImageSize));
        button->setIcon(QIcon(info.Image));
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        button->setMinimumWidth(112);
        // The button of the page shown stays pressed; Help selects no page.
        button->setCheckable(std::string_view(info.Name) != "btnHelp");
        column->addWidget(button);
        *buttons[i] = button;
    }
    column->addStretch();
    auto bind = [this](QToolButton* button, void (TfrmQuorvaneMain::*handler)()) {
        connect(button, &QToolButton::clicked, this, [this, handler] {
            (this->*handler)();
            MarkPageButton();
        });
    };
    bind(btnScan, &TfrmQuorvaneMain::btnScanClick);
    bind(btnSpam, &TfrmQuorvaneMain::btnSpamClick);
    bind(btnLists, &TfrmQuorvaneMain::btnListsClick);
    bind(btnSettings, &TfrmQuorvaneMain::btnSettingsClick);
    bind(btnHelp, &TfrmQuorvaneMain::btnHelpClick);
    bind(btnAbout, &TfrmQuorvaneMain::btnAboutClick);
}

void TfrmQuorvaneMain::MarkPageButton() {
    int page = CurrentPage();
    btnScan->setChecked(page == PageScan);
    btnSpam->setChecked(page == PageQuarantine);
    btnLists->setChecked(page == PageApprovedSenders);
    btnSettings->setChecked(page == PageSettings || page == PageAccounts);
    btnAbout->setChecked(page == PageAbout);
}

void TfrmQuorvaneMain::CreatePages() {
    PageControl1 = new QStackedWidget(this);
    PageControl1->setObjectName("PageControl1");
    m_scanPage = new ScanPage(PageControl1);
    m_quarantinePage = new QuarantinePage(*this, PageControl1);
    m_listsPage = new TitledPage("tsLists", "Approved Senders", PageControl1);
    pnlBlockListsContainer = new QWidget(m_listsPage);
    pnlBlockListsContainer->setObjectName("pnlBlockListsContainer");
    auto* container = new QVBoxLayout(pnlBlockListsContainer);
    container->setContentsMargins(0, 0, 0, 0);
    m_blockLists = new TBlockListsForm(pnlBlockListsContainer);
    container->addWidget(m_blockLists);
    m_listsPage->Body()->addWidget(pnlBlockListsContainer, 1);
    connect(m_blockLists, &TBlockListsForm::ApprovedCountChanged, this, &TfrmQuorvaneMain::ShowApprovedCount);
    connect(m_quarantinePage, &QuarantinePage::AccountTabChanged, this,
            [this](int index) { m_settingsPage->AccountEditor().FollowQuarantineTab(index); });
    m_settingsPage = new SettingsPage(*m_quarantinePage, PageControl1);
    m_accountsPage = new TitledPage("tsAccounts", "Email Accounts", PageControl1);
    m_accountsPage->Body()->addStretch();
    m_aboutPage = new AboutPage(PageControl1);
    for (QWidget* page : std::initializer_list<QWidget*>{m_scanPage, m_quarantinePage, m_listsPage, m_settingsPage,
                                                         m_accountsPage, m_aboutPage})
        PageControl1->addWidget(page);

    connect(m_aboutPage->btnCheckUpdate, &QPushButton::clicked, this, &TfrmQuorvaneMain::btnCheckUpdateClick);
    connect(m_settingsPage->btnSaveOptions, &QPushButton::clicked, this, &TfrmQuorvaneMain::ConfirmSettings);
    connect(m_scanPage->btnStartScan, &QPushButton::clicked, this, &TfrmQuorvaneMain::btnStartScanClick);
    connect(m_scanPage->btnStopScan, &QPushButton::clicked, this, &TfrmQuorvaneMain::btnStopScanClick);
    connect(m_scanPage, &ScanPage::ScannedLabelClicked, this, [] { OpenHelp(HelpFile(), HelpShowContents); });
    // Leaving the scan page takes its elapsed time off the status bar.
    connect(PageControl1, &QStackedWidget::currentChanged, this, [this](int) {
        MarkPageButton();
        PlaceBlockLists();
        // The account editor stays on the account the quarantine view shows.
        if (CurrentPage() == PageQuarantine && Accounts.Count() > 0)
            m_settingsPage->AccountEditor().FollowQuarantineTab(m_quarantinePage->View().CurrentAccount());
        if (PageControl1->currentWidget() != m_scanPage && m_scanPage->btnStartScan->isEnabled())
            SetStatusPanel(1, QString());
    });

    auto* central = new QWidget(this);
    auto* layout = new QHBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* divider = new QFrame(central);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(m_navigation);
    layout->addWidget(divider);
    layout->addWidget(PageControl1, 1);
    setCentralWidget(central);
}

void TfrmQuorvaneMain::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 2; ++i) {
        m_statusPanels[i] = new QLabel(bar);
        m_statusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_statusPanels[i]->setTextFormat(Qt::PlainText);
        m_statusPanels[i]->setContentsMargins(4, 0, 4, 0);
    }
    m_statusPanels[0]->setMinimumWidth(110);
    bar->addWidget(m_statusPanels[0]);
    bar->addWidget(m_statusPanels[1], 1);
}

void TfrmQuorvaneMain::CreateTimers() {
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(ElapsedTickMs);
    connect(Timer1, &QTimer::timeout, this, [this] { ElapsedTimeTick(ScanState, *m_scanView); });
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    connect(Timer2, &QTimer::timeout, this, &TfrmQuorvaneMain::Timer2Timer);
    Timer3 = new QTimer(this);
    Timer3->setObjectName("Timer3");
    Timer3->setInterval(DateRefreshMs);
    connect(Timer3, &QTimer::timeout, this, &TfrmQuorvaneMain::ShowDate);
    Timer3->start();
}

void TfrmQuorvaneMain::CreateActions() {
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName("TrayMenu");
    auto add = [this](QAction*& action, const char* name, const QString& caption, void (TfrmQuorvaneMain::*handler)()) {
        action = m_trayMenu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
    };
    add(actEmail, "actEmail", "Open &E-Mail", &TfrmQuorvaneMain::actEmailExecute);
    m_trayMenu->addSeparator();
    add(actScan, "actScan", "&Scan for spam", &TfrmQuorvaneMain::actScanExecute);
    add(actQuarantine, "actQuarantine", "&Quarantine", &TfrmQuorvaneMain::actQuarantineExecute);
    add(actApprovedSenders, "actApprovedSenders", "&Approved Senders", &TfrmQuorvaneMain::actApprovedSendersExecute);
    add(actSettings, "actSettings", "Se&ttings", &TfrmQuorvaneMain::actSettingsExecute);
    m_trayMenu->addSeparator();
    add(actHelp, "actHelp", "&Help", &TfrmQuorvaneMain::actHelpExecute);
    add(actAbout, "actAbout", "A&bout", &TfrmQuorvaneMain::actAboutExecute);
    m_trayMenu->addSeparator();
    add(actExit, "actExit", "E&xit", &TfrmQuorvaneMain::actExitExecute);
    QFont bold = actEmail->font();
    bold.setBold(true);
    actEmail->setFont(bold);
    actScan->setIcon(QIcon(":/icons/nav-scan.svg"));
    actQuarantine->setIcon(QIcon(":/icons/nav-quarantine.svg"));
    actApprovedSenders->setIcon(QIcon(":/icons/nav-approved.svg"));
    actSettings->setIcon(QIcon(":/icons/nav-settings.svg"));
    actHelp->setIcon(QIcon(":/icons/nav-help.svg"));
    actAbout->setIcon(QIcon(":/icons/nav-about.svg"));
}

void TfrmQuorvaneMain::StartUp() {
    ScanState.Unattended = false;
    UpgradeNotice = false;
    Accounts.Clear();
    if (HelpFile().isEmpty())
        SetHelpFile(FindHelpFile());
    LoadSettings();
    LoopList.LoadFromFile(DataFolder());
    LoadLists();
    if (ProgramSettings.SyncAddressBook) {
        // It ends by saving the lists, which shows them.
        try {
            SyncAddressBooks(false);
        } catch (const std::exception& error) {
            ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
        }
    } else {
        m_blockLists->ShowLists();
    }
    QCoreApplication::processEvents();
    LoadAccounts();
    m_settingsPage->AccountEditor().LoadAccounts();
    ApplyWindowState();
    GiveNavigationDisabledImages();
    ShowMailClientIcon();
    ShowDate();
    ArmBackgroundScan();
    if (TrayIcon::Available())
        m_tray->Show();
    if (UpgradeNotice) {
        OpenHelpTopicQuietly(UpdateNoticeTopic);
        m_tray->ShowBalloon("Quorvane Notice",
                            "Open your email client through this icon from now on.  This will ensure that Quorvane "
                            "will scan your email accounts for spam every time you open your email.",
                            60);
    }
    m_firstRun = Accounts.Count() == 0;
    if (m_firstRun) {
        ShowMainWindow();
    } else {
        PageControl1->setCurrentWidget(m_scanPage);
        if (!TrayIcon::Available())
            HideMainWindow();
    }
}

void TfrmQuorvaneMain::LoadAccounts() {
    for (int n = 1; n <= StoredAccountCount(); ++n) {
        TAccountItem& account = AppendAccount();
        LoadAccount(n);
        // One account's broken quarantine must not stop the start-up.
        try {
            LoadIndex(account);
            PurgeOldQuarantine(n - 1);
        } catch (const std::exception& error) {
            ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
        }
        m_quarantinePage->AddAccountTab(Text(account.EmailAddress));
    }
}

void TfrmQuorvaneMain::ApplyWindowState() {
    m_geometry.Width = width();
    m_geometry.Height = height();
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    LoadWindowState(m_geometry, WorkArea{area.width(), area.height()});
    setGeometry(area.x() + m_geometry.Left, area.y() + m_geometry.Top, m_geometry.Width, m_geometry.Height);
    m_quarantinePage->ApplyGeometry(m_geometry);
}

void TfrmQuorvaneMain::SaveWindowState() {
    // The size to come back to: a maximised window keeps its normal bounds.
    QRect bounds = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    m_geometry.Left = bounds.x() - area.x();
    m_geometry.Top = bounds.y() - area.y();
    m_geometry.Width = bounds.width();
    m_geometry.Height = bounds.height();
    m_geometry.Maximized = isMaximized();
    m_quarantinePage->StoreGeometry(m_geometry);
    ::SaveWindowState(m_geometry);
}

void TfrmQuorvaneMain::GiveNavigationDisabledImages() {
    for (const NavigationButtonInfo& info : NavigationButtons) {
        auto* button = findChild<QToolButton*>(info.Name);
        QImage image = QIcon(info.Image).pixmap(NavigationImageSize, NavigationImageSize).toImage();
        button->setIcon(NavigationIcon(WithDisabledImage(image)));
    }
}

void TfrmQuorvaneMain::ShowMailClientIcon() {
    auto [program, arguments] = SplitCommandLine(ProgramSettings.EmailClient);
    QString name = Text(MailClientIconName(program));
    QIcon icon = QFileInfo(name).isAbsolute() ? QIcon(name) : QIcon::fromTheme(name);
    if (icon.isNull())
        icon = QIcon::fromTheme("mail-client", QIcon(":/icons/nav-quarantine.svg"));
    actEmail->setIcon(icon);
}

void TfrmQuorvaneMain::ShowDate() {
    SetStatusPanel(0, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void TfrmQuorvaneMain::ArmBackgroundScan() {
    Timer2->setInterval(BackgroundScanInterval());
    if (ProgramSettings.AutoScan)
        Timer2->start();
    else
        Timer2->stop();
}

void TfrmQuorvaneMain::ShowMainWindow() {
    if (isMinimized() || !isVisible()) {
        if (m_geometry.Maximized)
            showMaximized();
        else
            showNormal();
    }
    raise();
    activateWindow();
}

void TfrmQuorvaneMain::HideMainWindow() {
    if (!isMinimized())
        m_geometry.Maximized = isMaximized();
    // Without a notification area a hidden window could never come back.
    if (TrayIcon::Available())
        hide();
    else
        showMinimized();
}

void TfrmQuorvaneMain::HandleInstanceMessage(int message) {
    switch (message) {
    case MsgShowWindow:
        ShowMainWindow();
        break;
    case MsgOpenEmail:
        actEmailExecute();
        break;
    case MsgCloseProgram:
        SaveWindowState();
        m_exitRequested = true;
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        break;
    default:
        break;
    }
}

bool TfrmQuorvaneMain::QueryEndSession() {
    if (m_scanPage->btnStartScan->isEnabled()) {
        SaveWindowState();
        m_logoffAllowed = true;
        return true;
    }
    ShowMessageBox("Please wait until Quorvane has finished scanning (when the Quorvane System Tray icon stops "
                   "flashing) before shutting down or logging off.",
                   "Notice", MsgButtons::Ok, MsgIcon::Warning);
    return false;
}

int TfrmQuorvaneMain::CurrentPage() const {
    return PageControl1->currentIndex();
}

QString TfrmQuorvaneMain::StatusPanel(int index) const {
    return m_statusPanels[index]->text();
}

void TfrmQuorvaneMain::SetStatusPanel(int index, const QString& text) {
    m_statusPanels[index]->setText(text);
}

QToolButton* TfrmQuorvaneMain::NavigationButton(ScanControl control) const {
    switch (control) {
    case ScanControl::Scan:
        return btnScan;
    case ScanControl::Quarantine:
        return btnSpam;
    case ScanControl::ApprovedSenders:
        return btnLists;
    case ScanControl::Settings:
        return btnSettings;
    case ScanControl::Help:
        return btnHelp;
    case ScanControl::About:
        return btnAbout;
    default:
        return nullptr;
    }
}

void TfrmQuorvaneMain::PlaceBlockLists() {
    bool onSettings = CurrentPage() == PageSettings;
    bool onListsPage = pnlBlockListsContainer->parentWidget() == m_listsPage;
    if (onSettings && onListsPage)
        m_settingsPage->SetBlacklistPanel(pnlBlockListsContainer);
    else if (!onSettings && !onListsPage)
        m_listsPage->Body()->addWidget(pnlBlockListsContainer, 1);
    if (onSettings) {
        m_blockLists->ShowBlacklistOnly();
    } else {
        m_blockLists->ShowApprovedOnly();
        pnlBlockListsContainer->show();
    }
}

void TfrmQuorvaneMain::ShowApprovedCount() {
    if (CurrentPage() == PageApprovedSenders)
        SetStatusPanel(1, QStringLiteral("%1 approved senders").arg(m_blockLists->ApprovedCount()));
}

void TfrmQuorvaneMain::ShowWaitWindow() {
    m_waitWindow = std::make_unique<TfrmWait>(this);
    m_waitWindow->ShowOver();
}

void TfrmQuorvaneMain::CloseWaitWindow() {
    m_waitWindow.reset();
}

void TfrmQuorvaneMain::SetAccountTabsEnabled(bool enabled) {
    m_quarantinePage->SetAccountTabsEnabled(enabled);
}

void TfrmQuorvaneMain::SetSettingsTabsEnabled(bool enabled) {
    m_settingsPage->TabControl1->setEnabled(enabled);
}

void TfrmQuorvaneMain::ShowPage(Page page, const QString& title) {
    PageControl1->setCurrentIndex(page);
    setWindowTitle(ProductName + " - " + title);
}

void TfrmQuorvaneMain::btnScanClick() {
    if (CurrentPage() == PageScan || !btnScan->isEnabled())
        return;
    ShowPage(PageScan, "Scan for Spam");
    if (isVisible())
        m_scanPage->btnStartScan->setFocus();
    SetStatusPanel(1, QString());
}

void TfrmQuorvaneMain::btnSpamClick() {
    if (CurrentPage() == PageQuarantine || !btnSpam->isEnabled() || !PassPasswordGate(this))
        return;
    ShowPage(PageQuarantine, "Quarantine");
    m_quarantinePage->OpenView();
    SetStatusPanel(1, ProgramSettings.AutoDelSpam
                          ? QStringLiteral("NOTICE:  Quarantined mail will be deleted after %1 days.  Click Settings "
                                           "to change this.")
                                .arg(ProgramSettings.AutoDelSpamDays)
                          : QString());
}

void TfrmQuorvaneMain::btnListsClick() {
    if (CurrentPage() == PageApprovedSenders || !btnLists->isEnabled())
        return;
    ShowPage(PageApprovedSenders, "Approved Senders");
    ShowApprovedCount();
}

void TfrmQuorvaneMain::btnSettingsClick() {
    if (CurrentPage() == PageSettings || !btnSettings->isEnabled() || !PassPasswordGate(this))
        return;
    // A modal place: the other pages and Exit wait until its OK.
    SetSettingsLocks(false);
    m_settingsPage->LoadPreferences();
    ShowPage(PageSettings, "Settings");
    m_settingsPage->AccountEditor().ShowAccount(1);
    m_settingsPage->SelectTab(SettingsPage::PreferencesTab);
    SetStatusPanel(1, QString());
}

void TfrmQuorvaneMain::SetSettingsLocks(bool enabled) {
    for (ScanControl control :
         {ScanControl::Scan, ScanControl::Quarantine, ScanControl::ApprovedSenders, ScanControl::About})
        NavigationButton(control)->setEnabled(enabled);
    m_closeCommandEnabled = enabled;
}

void TfrmQuorvaneMain::ConfirmSettings() {
    SaveSettings();
    AccountEditorPage& editor = m_settingsPage->AccountEditor();
    editor.ApplyAccount();
    SettingsProblem problem = FirstSettingsProblem(ProgramSettings);
    if (problem.Found()) {
        ShowMessageBox(problem.Message, "Notice", MsgButtons::Ok, MsgIcon::Warning);
        m_settingsPage->SelectTab(problem.Place == "Advanced" ? SettingsPage::AdvancedTab
                                                              : SettingsPage::PreferencesTab);
        return;
    }
    int failing = -1;
    problem = FirstAccountsProblem(Accounts, failing);
    if (problem.Found()) {
        ShowMessageBox(problem.Message, "Notice", MsgButtons::Ok, MsgIcon::Warning);
        m_settingsPage->SelectTab(SettingsPage::EmailAccountsTab);
        editor.ShowAccount(failing + 1);
        editor.FocusField(problem.Place);
        return;
    }
    ArmBackgroundScan();
    ShowMailClientIcon();
    SetSettingsLocks(true);
    if (m_firstRun)
        CompleteFirstRun();
    btnScanClick();
    editor.ShowPasswordHint(false);
}

void TfrmQuorvaneMain::CompleteFirstRun() {
    if (WhiteList.Count() == 0)
        ShowMessageBox("Your approved list is empty.  This may be because you have an empty address book, or you are "
                       "using a different email client than Microsoft Outlook Express, Microsoft Outlook, or "
                       "Eudora.\r\n\r\nIf this is the case, you can manually setup your approved list by exporting "
                       "your address book to a text file, and then importing it into your approved list.  Or you can "
                       "manually enter in email addresses into your approved list.\r\n\r\nPlease click OK to "
                       "continue.",
                       "Notice", MsgButtons::Ok, MsgIcon::Warning);
    ShowMessageBox("Congratulations, setup has completed and Quorvane is now ready to protect you from spam.\r\n\r\n"
                   "Please click OK to finish, and to view the Getting Started Guide.",
                   "Setup Complete", MsgButtons::Ok, MsgIcon::Information);
    OpenHelpTopicQuietly(GettingStartedTopic);
    m_firstRun = false;
    HideMainWindow();
    m_tray->ShowBalloon("Quorvane Notice",
                        "Open your email client through this icon from now on.  This will ensure that Quorvane will "
                        "scan your email accounts for spam every time you open your email.",
                        60);
}

void TfrmQuorvaneMain::btnHelpClick() {
    OpenHelp(HelpTopicPath(HelpTopicFor(CurrentPage(), m_settingsPage->TabControl1->currentIndex())), HelpShowTopic);
}

void TfrmQuorvaneMain::btnAboutClick() {
    if (!btnAbout->isEnabled())
        return;
    ShowPage(PageAbout, "About");
    m_aboutPage->lblVersion->setText(AboutPage::VersionText);
    SetStatusPanel(1, AboutPage::VersionText);
}

void TfrmQuorvaneMain::OpenAccountSettings() {
    btnSettingsClick();
    if (CurrentPage() == PageSettings)
        m_settingsPage->SelectTab(SettingsPage::EmailAccountsTab);
}

void TfrmQuorvaneMain::btnStartScanClick() {
    RunScan();
}

void TfrmQuorvaneMain::btnStopScanClick() {
    RequestScanCancel();
}

bool TfrmQuorvaneMain::AnotherWindowActive() const {
    if (!isVisible())
        return false;
    QWidget* active = QApplication::activeWindow();
    return QApplication::activeModalWidget() != nullptr || (active != nullptr && active != this);
}

void TfrmQuorvaneMain::actEmailExecute() {
    if (!btnScan->isEnabled() || AnotherWindowActive())
        return;
    actScanExecute();
    if (ShowMessageBox("Finished scanning, do you want to close Quorvane?", "Notice", MsgButtons::YesNo,
                       MsgIcon::Information) == MsgResult::Yes)
        HideMainWindow();
    auto [program, arguments] = SplitCommandLine(ProgramSettings.EmailClient);
    if (!program.empty())
        StartProgram(Text(program), QProcess::splitCommand(Text(arguments)));
    GuiUpdateUi update(this);
    if (CheckForUpdate(false, update).Started)
        actExitExecute();
}

void TfrmQuorvaneMain::btnCheckUpdateClick() {
    GuiUpdateUi update(this);
    UpdateCheckResult result = CheckForUpdate(true, update);
    if (result.Started)
        actExitExecute();
    else if (!result.UpdateOffered)
        ShowMessageBox(NoUpdateText, "Notice", MsgButtons::Ok, MsgIcon::Information);
}

void TfrmQuorvaneMain::actScanExecute() {
    if (!btnScan->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    btnScanClick();
    btnStartScanClick();
}

void TfrmQuorvaneMain::actQuarantineExecute() {
    if (!btnSpam->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    btnSpamClick();
}

void TfrmQuorvaneMain::actApprovedSendersExecute() {
    if (!btnLists->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    btnListsClick();
}

void TfrmQuorvaneMain::actSettingsExecute() {
    if (!btnSettings->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    btnSettingsClick();
}

void TfrmQuorvaneMain::actHelpExecute() {
    OpenHelp(HelpTopicPath(AboutTopic), HelpShowTopic);
}

void TfrmQuorvaneMain::actAboutExecute() {
    if (!btnHelp->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    btnAboutClick();
}

void TfrmQuorvaneMain::actExitExecute() {
    if (!m_closeCommandEnabled)
        return;
    m_exitRequested = true;
    close();
}

void TfrmQuorvaneMain::Timer2Timer() {
    if (isVisible() && !isMinimized())
        return;
    if (!btnScan->isEnabled())
        return;
    Timer2->stop();
    ScanState.Unattended = true;
    PageControl1->setCurrentWidget(m_scanPage);
    RunScan();
    ScanState.Unattended = false;
    Timer2->start();
}

void TfrmQuorvaneMain::closeEvent(QCloseEvent* event) {
    if (m_logoffAllowed || m_exitRequested) {
        SaveWindowState();
        event->accept();
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return;
    }
    event->ignore();
    // The window's Close command is greyed while a scan or an action runs.
    if (m_closeCommandEnabled)
        HideMainWindow();
}

void TfrmQuorvaneMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // After the window is up, so the welcome stands over it.
    if (m_firstRun && !m_welcomeOpen)
        QTimer::singleShot(0, this, &TfrmQuorvaneMain::ShowWelcome);
}

void TfrmQuorvaneMain::ShowWelcome() {
    if (!m_firstRun || m_welcomeOpen || !isVisible())
        return;
    m_welcomeOpen = true;
    m_tray->SetReactive(false);
    RunWelcome([this] { WelcomeSetup(); }, this);
    m_tray->SetReactive(true);
    m_welcomeOpen = false;
}

void TfrmQuorvaneMain::WelcomeSetup() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    try {
        SyncAddressBooks(true);
    } catch (const std::exception& error) {
        ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
    }
    btnSettingsClick();
    m_settingsPage->SelectTab(SettingsPage::EmailAccountsTab);
    AccountEditorPage& editor = m_settingsPage->AccountEditor();
    bool found = editor.DetectForFirstRun();
    QApplication::restoreOverrideCursor();
    if (!found) {
        ShowMessageBox("Unfortunately Quorvane was unable to detect your email account settings.  This may be because "
                       "you are using a different email client than Microsoft Outlook Express, Microsoft Outlook, or "
                       "Eudora.  You must now manually configure your email account settings, please click OK to "
                       "continue.",
                       "", MsgButtons::Ok, MsgIcon::Information);
        editor.actAddAccount->trigger();
        return;
    }
    ShowMessageBox("Quorvane has sucessfully detected your email account settings.  For security considerations, "
                   "Quorvane does not detect your email account password.  You must now enter your password, please "
                   "click OK to continue.",
                   "", MsgButtons::Ok, MsgIcon::Information);
    editor.ShowAccount(1);
    editor.AskForPassword();
}

bool TfrmQuorvaneMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this && HandleKeyRelease(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmQuorvaneMain::HandleKeyRelease(QKeyEvent* event) {
    if (event->isAutoRepeat())
        return false;
    Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_F1 && modifiers == Qt::NoModifier) {
        // Also while a scan runs, when the Help button itself is disabled.
        btnHelpClick();
        return true;
    }
    if (event->key() == Qt::Key_A && modifiers == Qt::ControlModifier && CurrentPage() == PageQuarantine) {
        m_quarantinePage->SelectAllRows();
        return true;
    }
    if (event->key() == Qt::Key_F6 && (modifiers & Qt::ControlModifier) && CurrentPage() == PageQuarantine) {
        m_quarantinePage->StepAccountTab((modifiers & Qt::ShiftModifier) ? -1 : 1);
        return true;
    }
    return false;
}
