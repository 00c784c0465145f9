#include "ui/main/main_window.h"

#include "challenge/follow_up_steps.h"
#include "platform/mail_client.h"
#include "platform/message_box.h"
#include "records/account.h"
#include "records/program_settings.h"
#include "records/quarantine_index.h"
#include "records/settings_checks.h"
#include "records/text_helpers.h"
#include "scan/scan_run.h"
#include "scan/scan_state.h"
#include "ui/about/about_page.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/wait_window.h"
#include "ui/help/help.h"
#include "ui/lists/sender_lists_panel.h"
#include "ui/main/background_scan.h"
#include "ui/main/first_run.h"
#include "ui/main/gui_scan_view.h"
#include "ui/main/navigation_bar.h"
#include "ui/main/start_up.h"
#include "ui/main/tray_actions.h"
#include "ui/pages/settings_page.h"
#include "ui/quarantine/quarantine_page.h"
#include "ui/scan/scan_page.h"
#include "ui/settings/account_editor_page.h"
#include "ui/shell/desktop_services.h"
#include "ui/shell/qt_text.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/tray_icon.h"
#include "ui/update/download_window.h"
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
#include <QProcess>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString ProductName = QStringLiteral("Quorvane");
constexpr int ElapsedTickMs = 1000;
constexpr int DateRefreshMs = 60 * 1000;

// The navigation button of a page; the accounts holder belongs to Settings.
ScanControl ButtonOfPage(int page) {
    switch (page) {
    case MainWindow::PageScan:
        return ScanControl::Scan;
    case MainWindow::PageQuarantine:
        return ScanControl::Quarantine;
    case MainWindow::PageApprovedSenders:
        return ScanControl::ApprovedSenders;
    case MainWindow::PageSettings:
    case MainWindow::PageAccounts:
        return ScanControl::Settings;
    case MainWindow::PageAbout:
        return ScanControl::About;
    default:
        return ScanControl::Start;
    }
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setObjectName("MainWindow");
    setWindowTitle(ProductName);
    setWindowIcon(QIcon(":/icons/quorvane.svg"));
    setMinimumSize(m_geometry.MinWidth, m_geometry.MinHeight);
    resize(m_geometry.Width, m_geometry.Height);

    m_navigation = new NavigationBar(this);
    connect(m_navigation, &NavigationBar::PageRequested, this, &MainWindow::OpenRequestedPage);
    CreatePages();
    MarkPageButton();
    CreateStatusBar();
    CreateTimers();
    m_backgroundScan = new BackgroundScan(*this);
    m_firstRun = new FirstRunSetup(*this);
    m_trayActions = new TrayActions(*this);
    m_tray = new TrayIcon(m_trayActions->Menu(), this);
    m_scanView = std::make_unique<GuiScanView>(*this);
    SetScanView(m_scanView.get());

    // The window sees every key before its controls.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    SetScanView(nullptr);
}

void MainWindow::OpenRequestedPage(ScanControl page) {
    switch (page) {
    case ScanControl::Scan:
        ShowScanPage();
        break;
    case ScanControl::Quarantine:
        ShowQuarantinePage();
        break;
    case ScanControl::ApprovedSenders:
        ShowApprovedSendersPage();
        break;
    case ScanControl::Settings:
        ShowSettingsPage();
        break;
    case ScanControl::Help:
        OpenHelpForPage();
        break;
    case ScanControl::About:
        ShowAboutPage();
        break;
    default:
        break;
    }
    MarkPageButton();
}

void MainWindow::MarkPageButton() {
    m_navigation->MarkPage(ButtonOfPage(CurrentPage()));
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

    connect(m_aboutPage, &AboutPage::CheckForUpdateRequested, this, &MainWindow::CheckForUpdateNow);
    connect(m_settingsPage, &SettingsPage::Confirmed, this, &MainWindow::ConfirmSettings);
    connect(m_scanPage, &ScanPage::StartRequested, this, &MainWindow::StartScan);
    connect(m_scanPage, &ScanPage::CancelRequested, this, &MainWindow::CancelScan);
    connect(m_scanPage, &ScanPage::ScannedLabelClicked, this, [] { OpenHelp(HelpFile(), HelpShowContents); });
    // Leaving the scan page takes its elapsed time off the status bar.
    connect(m_pages, &QStackedWidget::currentChanged, this, [this](int) {
        MarkPageButton();
        PlaceSenderLists();
        // The account editor stays on the account the quarantine view shows.
        if (CurrentPage() == PageQuarantine && Accounts.Count() > 0)
            m_settingsPage->AccountEditor().FollowQuarantineTab(m_quarantinePage->View().CurrentAccount());
        if (m_pages->currentWidget() != m_scanPage && !ScanState.Running)
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
    m_dateTimer = new QTimer(this);
    m_dateTimer->setObjectName("dateTimer");
    m_dateTimer->setInterval(DateRefreshMs);
    connect(m_dateTimer, &QTimer::timeout, this, &MainWindow::ShowDate);
    m_dateTimer->start();
}

void MainWindow::StartUp() {
    ScanState.Unattended = false;
    UpgradeNotice = false;
    Accounts.Clear();
    if (HelpFile().isEmpty())
        SetHelpFile(FindHelpFile());
    LoadProgramState([this] { m_senderLists->ShowLists(); });
    QCoreApplication::processEvents();
    LoadAccountsWithQuarantine(
        [this](const Account& account) { m_quarantinePage->AddAccountTab(QtText(account.EmailAddress)); });
    m_settingsPage->AccountEditor().LoadAccounts();
    ApplyWindowState();
    m_navigation->UseDisabledImages();
    ShowMailClientIcon();
    ShowDate();
    m_backgroundScan->Arm();
    if (TrayIcon::Available())
        m_tray->Show();
    if (UpgradeNotice) {
        OpenHelpTopicQuietly(UpdateNoticeTopic);
        m_tray->ShowOpenEmailNotice();
    }
    m_firstRun->SetPending(Accounts.Count() == 0);
    if (m_firstRun->Pending()) {
        ShowMainWindow();
    } else {
        m_pages->setCurrentWidget(m_scanPage);
        if (!TrayIcon::Available())
            HideMainWindow();
    }
}

bool MainWindow::FirstRun() const {
    return m_firstRun->Pending();
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

void MainWindow::ShowMailClientIcon() {
    auto [program, arguments] = SplitCommandLine(ProgramSettings.EmailClient);
    QString name = QtText(MailClientIconName(program));
    QIcon icon = QFileInfo(name).isAbsolute() ? QIcon(name) : QIcon::fromTheme(name);
    if (icon.isNull())
        icon = QIcon::fromTheme("mail-client", QIcon(":/icons/nav-quarantine.svg"));
    m_trayActions->SetMailClientIcon(icon);
}

void MainWindow::ShowDate() {
    SetStatusPanel(0, QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
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
    if (!ScanState.Running) {
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
    return m_navigation->Button(control);
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
    m_settingsPage->SetTabsEnabled(enabled);
}

void MainWindow::ShowPage(Page page, const QString& title) {
    m_pages->setCurrentIndex(page);
    setWindowTitle(ProductName + " - " + title);
}

void MainWindow::ShowScanPage() {
    if (CurrentPage() == PageScan || !NavigationButton(ScanControl::Scan)->isEnabled())
        return;
    ShowPage(PageScan, "Scan for Spam");
    if (isVisible())
        m_scanPage->FocusStart();
    SetStatusPanel(1, QString());
}

void MainWindow::ShowQuarantinePage() {
    if (CurrentPage() == PageQuarantine || !NavigationButton(ScanControl::Quarantine)->isEnabled() ||
        !PassPasswordGate(this))
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
    if (CurrentPage() == PageApprovedSenders || !NavigationButton(ScanControl::ApprovedSenders)->isEnabled())
        return;
    ShowPage(PageApprovedSenders, "Approved Senders");
    ShowApprovedCount();
}

void MainWindow::ShowSettingsPage() {
    if (CurrentPage() == PageSettings || !NavigationButton(ScanControl::Settings)->isEnabled() ||
        !PassPasswordGate(this))
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
    m_backgroundScan->Arm();
    ShowMailClientIcon();
    SetSettingsLocks(true);
    if (m_firstRun->Pending())
        m_firstRun->Complete();
    ShowScanPage();
    editor.ShowPasswordHint(false);
}

void MainWindow::OpenHelpForPage() {
    OpenHelp(HelpTopicPath(HelpTopicFor(CurrentPage(), static_cast<int>(m_settingsPage->CurrentTab()))), HelpShowTopic);
}

void MainWindow::ShowAboutPage() {
    if (!NavigationButton(ScanControl::About)->isEnabled())
        return;
    ShowPage(PageAbout, "About");
    m_aboutPage->ShowVersion();
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

bool MainWindow::MayOpenFromOutside(ScanControl page) const {
    if (!NavigationButton(page)->isEnabled())
        return false;
    if (!isVisible())
        return true;
    QWidget* active = QApplication::activeWindow();
    return QApplication::activeModalWidget() == nullptr && (active == nullptr || active == this);
}

void MainWindow::OpenEmail() {
    if (!MayOpenFromOutside(ScanControl::Scan))
        return;
    ScanFromOutside();
    if (ShowMessageBox("Finished scanning, do you want to close Quorvane?", "Notice", MsgButtons::YesNo,
                       MsgIcon::Information) == MsgResult::Yes)
        HideMainWindow();
    auto [program, arguments] = SplitCommandLine(ProgramSettings.EmailClient);
    if (!program.empty())
        StartProgram(QtText(program), QProcess::splitCommand(QtText(arguments)));
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

void MainWindow::ScanFromOutside() {
    if (!MayOpenFromOutside(ScanControl::Scan))
        return;
    ShowMainWindow();
    ShowScanPage();
    StartScan();
}

void MainWindow::Exit() {
    if (!m_closeCommandEnabled)
        return;
    m_exitRequested = true;
    close();
}

void MainWindow::SwitchToScanPage() {
    m_pages->setCurrentWidget(m_scanPage);
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
    m_firstRun->ShowWelcomeSoon();
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
