#include "ui/main/main_window.h"

#include "challenge/follow_up_steps.h"
#include "challenge/quarantine_purge.h"
#include "import/address_book_sync.h"
#include "platform/data_folder.h"
#include "platform/mail_client.h"
#include "platform/message_box.h"
#include "records/accounts.h"
#include "records/loop_list.h"
#include "records/program_settings.h"
#include "records/quarantine_index.h"
#include "records/sender_lists.h"
#include "records/settings_checks.h"
#include "records/text_helpers.h"
#include "scan/scan_run.h"
#include "scan/scan_state.h"
#include "ui/about/about_page.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/wait_window.h"
#include "ui/help/help.h"
#include "ui/lists/sender_lists_panel.h"
#include "ui/main/gui_scan_view.h"
#include "ui/main/navigation_images.h"
#include "ui/pages/settings_page.h"
#include "ui/quarantine/quarantine_page.h"
#include "ui/scan/scan_page.h"
#include "ui/settings/account_editor_page.h"
#include "ui/shell/desktop_services.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/tray_icon.h"
#include "ui/update/download_window.h"
#include "ui/welcome/welcome_dialog.h"
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
    {"scanButton", "Scan", "Scan your email accounts for spam", ":/icons/nav-scan.svg"},
    {"quarantineButton", "Quarantine", "Manage quarantined messages", ":/icons/nav-quarantine.svg"},
    {"approvedSendersButton", "Approved Senders", "Manage approved senders list", ":/icons/nav-approved.svg"},
    {"settingsButton", "Settings", "Change program settings and preferences", ":/icons/nav-settings.svg"},
    {"helpButton", "Help", "View help manual", ":/icons/nav-help.svg"},
    {"aboutButton", "About", "View version and other information about Quorvane", ":/icons/nav-about.svg"},
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

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainWindow");
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

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    SetScanView(nullptr);
}

void MainWindow::CreateNavigation() {
    m_navigation = new QWidget(this);
    m_navigation->setObjectName("navigationBar");
    m_navigation->setAutoFillBackground(true);
    QPalette colours = m_navigation->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    m_navigation->setPalette(colours);
    auto* column = new QVBoxLayout(m_navigation);
    column->setContentsMargins(6, 10, 6, 10);
    column->setSpacing(4);
    QToolButton** buttons[] = {&m_scanButton,     &m_quarantineButton, &m_approvedSendersButton,
                               &m_settingsButton, &m_helpButton,       &m_aboutButton};
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
        button->setCheckable(std::string_view(info.Name) != "helpButton");
        column->addWidget(button);
        *buttons[i] = button;
    }
    column->addStretch();
    auto bind = [this](QToolButton* button, void (MainWindow::*handler)()) {
        connect(button, &QToolButton::clicked, this, [this, handler] {
            (this->*handler)();
            MarkPageButton();
        });
    };
    bind(m_scanButton, &MainWindow::ShowScanPage);
    bind(m_quarantineButton, &MainWindow::ShowQuarantinePage);
    bind(m_approvedSendersButton, &MainWindow::ShowApprovedSendersPage);
    bind(m_settingsButton, &MainWindow::ShowSettingsPage);
    bind(m_helpButton, &MainWindow::OpenHelpForPage);
    bind(m_aboutButton, &MainWindow::ShowAboutPage);
}

void MainWindow::MarkPageButton() {
    int page = CurrentPage();
    m_scanButton->setChecked(page == PageScan);
    m_quarantineButton->setChecked(page == PageQuarantine);
    m_approvedSendersButton->setChecked(page == PageApprovedSenders);
    m_settingsButton->setChecked(page == PageSettings || page == PageAccounts);
    m_aboutButton->setChecked(page == PageAbout);
}

void MainWindow::CreatePages() {
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName("pages");
    m_scanPage = new ScanPage(m_pages);
    m_quarantinePage = new QuarantinePage(*this, m_pages);
    m_listsPage = new TitledPage("approvedSendersPage", "Approved Senders", m_pages);
    m_senderListsHolder = new QWidget(m_listsPage);
    m_senderListsHolder->setObjectName("senderListsHolder");
    auto* container = new QVBoxLayout(m_senderListsHolder);
    container->setContentsMargins(0, 0, 0, 0);
    m_senderLists = new SenderListsPanel(m_senderListsHolder);
    container->addWidget(m_senderLists);
    m_listsPage->Body()->addWidget(m_senderListsHolder, 1);
    connect(m_senderLists, &SenderListsPanel::ApprovedCountChanged, this, &MainWindow::ShowApprovedCount);
    connect(m_quarantinePage, &QuarantinePage::AccountTabChanged, this,
            [this](int index) { m_settingsPage->AccountEditor().FollowQuarantineTab(index); });
    m_settingsPage = new SettingsPage(*m_quarantinePage, m_pages);
    m_accountsPage = new TitledPage("accountsPage", "Email Accounts", m_pages);
    m_accountsPage->Body()->addStretch();
    m_aboutPage = new AboutPage(m_pages);
    for (QWidget* page : std::initializer_list<QWidget*>{m_scanPage, m_quarantinePage, m_listsPage, m_settingsPage,
                                                         m_accountsPage, m_aboutPage})
        m_pages->addWidget(page);

    connect(m_aboutPage->m_checkUpdateButton, &QPushButton::clicked, this, &MainWindow::CheckForUpdateNow);
    connect(m_settingsPage->m_okButton, &QPushButton::clicked, this, &MainWindow::ConfirmSettings);
    connect(m_scanPage->m_startButton, &QPushButton::clicked, this, &MainWindow::StartScan);
    connect(m_scanPage->m_cancelButton, &QPushButton::clicked, this, &MainWindow::CancelScan);
    connect(m_scanPage, &ScanPage::ScannedLabelClicked, this, [] { OpenHelp(HelpFile(), HelpShowContents); });
    // Leaving the scan page takes its elapsed time off the status bar.
    connect(m_pages, &QStackedWidget::currentChanged, this, [this](int) {
        MarkPageButton();
        PlaceSenderLists();
        // The account editor stays on the account the quarantine view shows.
        if (CurrentPage() == PageQuarantine && Accounts.Count() > 0)
            m_settingsPage->AccountEditor().FollowQuarantineTab(m_quarantinePage->View().CurrentAccount());
        if (m_pages->currentWidget() != m_scanPage && m_scanPage->m_startButton->isEnabled())
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
    layout->addWidget(m_pages, 1);
    setCentralWidget(central);
}

void MainWindow::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
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

void MainWindow::CreateTimers() {
    m_elapsedTimer = new QTimer(this);
    m_elapsedTimer->setObjectName("elapsedTimer");
    m_elapsedTimer->setInterval(ElapsedTickMs);
    connect(m_elapsedTimer, &QTimer::timeout, this, [this] { ElapsedTimeTick(ScanState, *m_scanView); });
    m_backgroundScanTimer = new QTimer(this);
    m_backgroundScanTimer->setObjectName("backgroundScanTimer");
    connect(m_backgroundScanTimer, &QTimer::timeout, this, &MainWindow::RunBackgroundScan);
    m_dateTimer = new QTimer(this);
    m_dateTimer->setObjectName("dateTimer");
    m_dateTimer->setInterval(DateRefreshMs);
    connect(m_dateTimer, &QTimer::timeout, this, &MainWindow::ShowDate);
    m_dateTimer->start();
}

void MainWindow::CreateActions() {
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName("trayMenu");
    auto add = [this](QAction*& action, const char* name, const QString& caption, void (MainWindow::*handler)()) {
        action = m_trayMenu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, handler);
    };
    add(m_openEmailAction, "openEmailAction", "Open &E-Mail", &MainWindow::OpenEmail);
    m_trayMenu->addSeparator();
    add(m_scanAction, "scanAction", "&Scan for spam", &MainWindow::ScanFromTray);
    add(m_quarantineAction, "quarantineAction", "&Quarantine", &MainWindow::QuarantineFromTray);
    add(m_approvedSendersAction, "approvedSendersAction", "&Approved Senders", &MainWindow::ApprovedSendersFromTray);
    add(m_settingsAction, "settingsAction", "Se&ttings", &MainWindow::SettingsFromTray);
    m_trayMenu->addSeparator();
    add(m_helpAction, "helpAction", "&Help", &MainWindow::HelpFromTray);
    add(m_aboutAction, "aboutAction", "A&bout", &MainWindow::AboutFromTray);
    m_trayMenu->addSeparator();
    add(m_exitAction, "exitAction", "E&xit", &MainWindow::Exit);
    QFont bold = m_openEmailAction->font();
    bold.setBold(true);
    m_openEmailAction->setFont(bold);
    m_scanAction->setIcon(QIcon(":/icons/nav-scan.svg"));
    m_quarantineAction->setIcon(QIcon(":/icons/nav-quarantine.svg"));
    m_approvedSendersAction->setIcon(QIcon(":/icons/nav-approved.svg"));
    m_settingsAction->setIcon(QIcon(":/icons/nav-settings.svg"));
    m_helpAction->setIcon(QIcon(":/icons/nav-help.svg"));
    m_aboutAction->setIcon(QIcon(":/icons/nav-about.svg"));
}

void MainWindow::StartUp() {
    ScanState.Unattended = false;
    UpgradeNotice = false;
    Accounts.Clear();
    if (HelpFile().isEmpty())
        SetHelpFile(FindHelpFile());
    LoadSettings();
    RecentRecipients.LoadFromFile(DataFolder());
    LoadLists();
    if (ProgramSettings.SyncAddressBook) {
        // It ends by saving the lists, which shows them.
        try {
            SyncAddressBooks(false);
        } catch (const std::exception& error) {
            ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
        }
    } else {
        m_senderLists->ShowLists();
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
        m_pages->setCurrentWidget(m_scanPage);
        if (!TrayIcon::Available())
            HideMainWindow();
    }
}

void MainWindow::LoadAccounts() {
    for (int n = 1; n <= StoredAccountCount(); ++n) {
        Account& account = AppendAccount();
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

void MainWindow::ApplyWindowState() {
    m_geometry.Width = width();
    m_geometry.Height = height();
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    LoadWindowState(m_geometry, WorkArea{area.width(), area.height()});
    setGeometry(area.x() + m_geometry.Left, area.y() + m_geometry.Top, m_geometry.Width, m_geometry.Height);
    m_quarantinePage->ApplyGeometry(m_geometry);
}

void MainWindow::SaveWindowState() {
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

void MainWindow::GiveNavigationDisabledImages() {
    for (const NavigationButtonInfo& info : NavigationButtons) {
        auto* button = findChild<QToolButton*>(info.Name);
        QImage image = QIcon(info.Image).pixmap(NavigationImageSize, NavigationImageSize).toImage();
        button->setIcon(NavigationIcon(WithDisabledImage(image)));
    }
}

void MainWindow::ShowMailClientIcon() {
    auto [program, arguments] = SplitCommandLine(ProgramSettings.EmailClient);
    QString name = Text(MailClientIconName(program));
    QIcon icon = QFileInfo(name).isAbsolute() ? QIcon(name) : QIcon::fromTheme(name);
    if (icon.isNull())
        icon = QIcon::fromTheme("mail-client", QIcon(":/icons/nav-quarantine.svg"));
    m_openEmailAction->setIcon(icon);
}

void MainWindow::ShowDate() {
    SetStatusPanel(0, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void MainWindow::ArmBackgroundScan() {
    m_backgroundScanTimer->setInterval(BackgroundScanInterval());
    if (ProgramSettings.AutoScan)
        m_backgroundScanTimer->start();
    else
        m_backgroundScanTimer->stop();
}

void MainWindow::ShowMainWindow() {
    if (isMinimized() || !isVisible()) {
        if (m_geometry.Maximized)
            showMaximized();
        else
            showNormal();
    }
    raise();
    activateWindow();
}

void MainWindow::HideMainWindow() {
    if (!isMinimized())
        m_geometry.Maximized = isMaximized();
    // Without a notification area a hidden window could never come back.
    if (TrayIcon::Available())
        hide();
    else
        showMinimized();
}

void MainWindow::HandleInstanceMessage(int message) {
    switch (message) {
    case MsgShowWindow:
        ShowMainWindow();
        break;
    case MsgOpenEmail:
        OpenEmail();
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

bool MainWindow::QueryEndSession() {
    if (m_scanPage->m_startButton->isEnabled()) {
        SaveWindowState();
        m_logoffAllowed = true;
        return true;
    }
    ShowMessageBox("Please wait until Quorvane has finished scanning (when the Quorvane System Tray icon stops "
                   "flashing) before shutting down or logging off.",
                   "Notice", MsgButtons::Ok, MsgIcon::Warning);
    return false;
}

int MainWindow::CurrentPage() const {
    return m_pages->currentIndex();
}

QString MainWindow::StatusPanel(int index) const {
    return m_statusPanels[index]->text();
}

void MainWindow::SetStatusPanel(int index, const QString& text) {
    m_statusPanels[index]->setText(text);
}

QToolButton* MainWindow::NavigationButton(ScanControl control) const {
    switch (control) {
    case ScanControl::Scan:
        return m_scanButton;
    case ScanControl::Quarantine:
        return m_quarantineButton;
    case ScanControl::ApprovedSenders:
        return m_approvedSendersButton;
    case ScanControl::Settings:
        return m_settingsButton;
    case ScanControl::Help:
        return m_helpButton;
    case ScanControl::About:
        return m_aboutButton;
    default:
        return nullptr;
    }
}

void MainWindow::PlaceSenderLists() {
    bool onSettings = CurrentPage() == PageSettings;
    bool onListsPage = m_senderListsHolder->parentWidget() == m_listsPage;
    if (onSettings && onListsPage)
        m_settingsPage->SetBlacklistPanel(m_senderListsHolder);
    else if (!onSettings && !onListsPage)
        m_listsPage->Body()->addWidget(m_senderListsHolder, 1);
    if (onSettings) {
        m_senderLists->ShowBlacklistOnly();
    } else {
        m_senderLists->ShowApprovedOnly();
        m_senderListsHolder->show();
    }
}

void MainWindow::ShowApprovedCount() {
    if (CurrentPage() == PageApprovedSenders)
        SetStatusPanel(1, QStringLiteral("%1 approved senders").arg(m_senderLists->ApprovedCount()));
}

void MainWindow::ShowWaitWindow() {
    m_waitWindow = std::make_unique<WaitWindow>(this);
    m_waitWindow->ShowOver();
}

void MainWindow::CloseWaitWindow() {
    m_waitWindow.reset();
}

void MainWindow::SetAccountTabsEnabled(bool enabled) {
    m_quarantinePage->SetAccountTabsEnabled(enabled);
}

void MainWindow::SetSettingsTabsEnabled(bool enabled) {
    m_settingsPage->m_tabs->setEnabled(enabled);
}

void MainWindow::ShowPage(Page page, const QString& title) {
    m_pages->setCurrentIndex(page);
    setWindowTitle(ProductName + " - " + title);
}

void MainWindow::ShowScanPage() {
    if (CurrentPage() == PageScan || !m_scanButton->isEnabled())
        return;
    ShowPage(PageScan, "Scan for Spam");
    if (isVisible())
        m_scanPage->m_startButton->setFocus();
    SetStatusPanel(1, QString());
}

void MainWindow::ShowQuarantinePage() {
    if (CurrentPage() == PageQuarantine || !m_quarantineButton->isEnabled() || !PassPasswordGate(this))
        return;
    ShowPage(PageQuarantine, "Quarantine");
    m_quarantinePage->OpenView();
    SetStatusPanel(1, ProgramSettings.AutoDelSpam
                          ? QStringLiteral("NOTICE:  Quarantined mail will be deleted after %1 days.  Click Settings "
                                           "to change this.")
                                .arg(ProgramSettings.AutoDelSpamDays)
                          : QString());
}

void MainWindow::ShowApprovedSendersPage() {
    if (CurrentPage() == PageApprovedSenders || !m_approvedSendersButton->isEnabled())
        return;
    ShowPage(PageApprovedSenders, "Approved Senders");
    ShowApprovedCount();
}

void MainWindow::ShowSettingsPage() {
    if (CurrentPage() == PageSettings || !m_settingsButton->isEnabled() || !PassPasswordGate(this))
        return;
    // A modal place: the other pages and Exit wait until its OK.
    SetSettingsLocks(false);
    m_settingsPage->LoadPreferences();
    ShowPage(PageSettings, "Settings");
    m_settingsPage->AccountEditor().ShowAccount(1);
    m_settingsPage->SelectTab(SettingsPage::Tab::Preferences);
    SetStatusPanel(1, QString());
}

void MainWindow::SetSettingsLocks(bool enabled) {
    for (ScanControl control :
         {ScanControl::Scan, ScanControl::Quarantine, ScanControl::ApprovedSenders, ScanControl::About})
        NavigationButton(control)->setEnabled(enabled);
    m_closeCommandEnabled = enabled;
}

void MainWindow::ConfirmSettings() {
    SaveSettings();
    AccountEditorPage& editor = m_settingsPage->AccountEditor();
    editor.ApplyAccount();
    SettingsProblem problem = FirstSettingsProblem(ProgramSettings);
    if (problem.Found()) {
        ShowMessageBox(problem.Message, "Notice", MsgButtons::Ok, MsgIcon::Warning);
        m_settingsPage->SelectTab(problem.Place == "Advanced" ? SettingsPage::Tab::Advanced
                                                              : SettingsPage::Tab::Preferences);
        return;
    }
    int failing = -1;
    problem = FirstAccountsProblem(Accounts, failing);
    if (problem.Found()) {
        ShowMessageBox(problem.Message, "Notice", MsgButtons::Ok, MsgIcon::Warning);
        m_settingsPage->SelectTab(SettingsPage::Tab::EmailAccounts);
        editor.ShowAccount(failing + 1);
        editor.FocusField(problem.Place);
        return;
    }
    ArmBackgroundScan();
    ShowMailClientIcon();
    SetSettingsLocks(true);
    if (m_firstRun)
        CompleteFirstRun();
    ShowScanPage();
    editor.ShowPasswordHint(false);
}

void MainWindow::CompleteFirstRun() {
    if (ApprovedSenders.Count() == 0)
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

void MainWindow::OpenHelpForPage() {
    OpenHelp(HelpTopicPath(HelpTopicFor(CurrentPage(), m_settingsPage->m_tabs->currentIndex())), HelpShowTopic);
}

void MainWindow::ShowAboutPage() {
    if (!m_aboutButton->isEnabled())
        return;
    ShowPage(PageAbout, "About");
    m_aboutPage->m_versionLabel->setText(AboutPage::VersionText);
    SetStatusPanel(1, AboutPage::VersionText);
}

void MainWindow::OpenAccountSettings() {
    ShowSettingsPage();
    if (CurrentPage() == PageSettings)
        m_settingsPage->SelectTab(SettingsPage::Tab::EmailAccounts);
}

void MainWindow::StartScan() {
    RunScan(RunFollowUpSteps);
}

void MainWindow::CancelScan() {
    RequestScanCancel();
}

bool MainWindow::AnotherWindowActive() const {
    if (!isVisible())
        return false;
    QWidget* active = QApplication::activeWindow();
    return QApplication::activeModalWidget() != nullptr || (active != nullptr && active != this);
}

void MainWindow::OpenEmail() {
    if (!m_scanButton->isEnabled() || AnotherWindowActive())
        return;
    ScanFromTray();
    if (ShowMessageBox("Finished scanning, do you want to close Quorvane?", "Notice", MsgButtons::YesNo,
                       MsgIcon::Information) == MsgResult::Yes)
        HideMainWindow();
    auto [program, arguments] = SplitCommandLine(ProgramSettings.EmailClient);
    if (!program.empty())
        StartProgram(Text(program), QProcess::splitCommand(Text(arguments)));
    GuiUpdateUi update(this);
    if (CheckForUpdate(false, update).Started)
        Exit();
}

void MainWindow::CheckForUpdateNow() {
    GuiUpdateUi update(this);
    UpdateCheckResult result = CheckForUpdate(true, update);
    if (result.Started)
        Exit();
    else if (!result.UpdateOffered)
        ShowMessageBox(NoUpdateText, "Notice", MsgButtons::Ok, MsgIcon::Information);
}

void MainWindow::ScanFromTray() {
    if (!m_scanButton->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    ShowScanPage();
    StartScan();
}

void MainWindow::QuarantineFromTray() {
    if (!m_quarantineButton->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    ShowQuarantinePage();
}

void MainWindow::ApprovedSendersFromTray() {
    if (!m_approvedSendersButton->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    ShowApprovedSendersPage();
}

void MainWindow::SettingsFromTray() {
    if (!m_settingsButton->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    ShowSettingsPage();
}

void MainWindow::HelpFromTray() {
    OpenHelp(HelpTopicPath(AboutTopic), HelpShowTopic);
}

void MainWindow::AboutFromTray() {
    if (!m_helpButton->isEnabled() || AnotherWindowActive())
        return;
    ShowMainWindow();
    ShowAboutPage();
}

void MainWindow::Exit() {
    if (!m_closeCommandEnabled)
        return;
    m_exitRequested = true;
    close();
}

void MainWindow::RunBackgroundScan() {
    if (isVisible() && !isMinimized())
        return;
    if (!m_scanButton->isEnabled())
        return;
    m_backgroundScanTimer->stop();
    ScanState.Unattended = true;
    m_pages->setCurrentWidget(m_scanPage);
    RunScan(RunFollowUpSteps);
    ScanState.Unattended = false;
    m_backgroundScanTimer->start();
}

void MainWindow::closeEvent(QCloseEvent* event) {
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

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // After the window is up, so the welcome stands over it.
    if (m_firstRun && !m_welcomeOpen)
        QTimer::singleShot(0, this, &MainWindow::ShowWelcome);
}

void MainWindow::ShowWelcome() {
    if (!m_firstRun || m_welcomeOpen || !isVisible())
        return;
    m_welcomeOpen = true;
    m_tray->SetReactive(false);
    RunWelcome([this] { WelcomeSetup(); }, this);
    m_tray->SetReactive(true);
    m_welcomeOpen = false;
}

void MainWindow::WelcomeSetup() {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    try {
        SyncAddressBooks(true);
    } catch (const std::exception& error) {
        ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
    }
    ShowSettingsPage();
    m_settingsPage->SelectTab(SettingsPage::Tab::EmailAccounts);
    AccountEditorPage& editor = m_settingsPage->AccountEditor();
    bool found = editor.DetectForFirstRun();
    QApplication::restoreOverrideCursor();
    if (!found) {
        ShowMessageBox("Unfortunately Quorvane was unable to detect your email account settings.  This may be because "
                       "you are using a different email client than Microsoft Outlook Express, Microsoft Outlook, or "
                       "Eudora.  You must now manually configure your email account settings, please click OK to "
                       "continue.",
                       "", MsgButtons::Ok, MsgIcon::Information);
        editor.m_addAccountAction->trigger();
        return;
    }
    ShowMessageBox("Quorvane has sucessfully detected your email account settings.  For security considerations, "
                   "Quorvane does not detect your email account password.  You must now enter your password, please "
                   "click OK to continue.",
                   "", MsgButtons::Ok, MsgIcon::Information);
    editor.ShowAccount(1);
    editor.AskForPassword();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this && HandleKeyRelease(static_cast<QKeyEvent*>(event)))
        return true;
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::HandleKeyRelease(QKeyEvent* event) {
    if (event->isAutoRepeat())
        return false;
    Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_F1 && modifiers == Qt::NoModifier) {
        // Also while a scan runs, when the Help button itself is disabled.
        OpenHelpForPage();
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
