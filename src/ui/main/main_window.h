#pragma once

#include "challenge/quarantine_actions.h"
#include "records/window_state.h"
#include "scan/scan_view.h"

#include <QMainWindow>

#include <memory>

class AboutPage;
class SenderListsPanel;
class GuiScanView;
class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolButton;
class QuarantinePage;
class ScanPage;
class SettingsPage;
class TitledPage;
class WaitWindow;
class TrayIcon;

// MainWindow: the main window and the shell around it. A column of six
// navigation buttons selects the pages (scan, quarantine, approved senders,
// settings, the accounts holder, About); the status bar shows the date and
// the page's own text; the tray icon and its menu reach it while it is
// hidden. Start-up loads everything the process owns; closing the window
// only hides it, Exit ends the program.
class MainWindow : public QMainWindow, public QuarantineActionWindow {
    Q_OBJECT
public:
    enum Page { PageScan = 0, PageQuarantine, PageApprovedSenders, PageSettings, PageAccounts, PageAbout };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up sequence: settings, loop list, sender lists, accounts with
    // their quarantine, geometry, images, timers, tray icon; then either the
    // scan page with the window hidden, or (no account) the window shown.
    void StartUp();

    void ShowMainWindow();
    void HideMainWindow();

    // A message of a second start (MsgShowWindow, MsgOpenEmail, MsgCloseProgram).
    void HandleInstanceMessage(int message);

    // The logoff or shutdown query: true (the window state saved) when no
    // scan runs; otherwise the notice, and false.
    bool QueryEndSession();

    int CurrentPage() const;
    bool FirstRun() const { return m_firstRun; }
    bool LogoffAllowed() const { return m_logoffAllowed; }
    bool CloseCommandEnabled() const { return m_closeCommandEnabled; }
    void SetCloseCommandEnabled(bool enabled) { m_closeCommandEnabled = enabled; }
    // Text of the status bar's two panels.
    QString StatusPanel(int index) const;
    void SetStatusPanel(int index, const QString& text);

    ScanPage* ScanPageWidget() const { return m_scanPage; }
    TrayIcon* Tray() const { return m_tray; }
    QToolButton* NavigationButton(ScanControl control) const;
    QTimer* ElapsedTimer() const { return m_elapsedTimer; }
    GuiScanView& View() const { return *m_scanView; }

    // What the quarantine actions need of the window.
    void ShowWaitWindow() override;
    void CloseWaitWindow() override;
    void SetAccountTabsEnabled(bool enabled) override;
    void SetSettingsTabsEnabled(bool enabled) override;

    // Page handlers of the navigation buttons.
    void ShowScanPage();
    void ShowQuarantinePage();
    void ShowApprovedSendersPage();
    void ShowSettingsPage();
    void OpenHelpForPage();
    void ShowAboutPage();
    // The settings page at its "Email Accounts" tab.
    void OpenAccountSettings();
    // The settings page's OK: save, apply the account, check, and either
    // send the user to what is wrong or close the page.
    void ConfirmSettings();
    // The About page's "Check for update".
    void CheckForUpdateNow();
    // The scan page's Start and Cancel.
    void StartScan();
    void CancelScan();

    // The tray menu's actions.
    void OpenEmail();
    void ScanFromTray();
    void QuarantineFromTray();
    void ApprovedSendersFromTray();
    void SettingsFromTray();
    void HelpFromTray();
    void AboutFromTray();
    void Exit();

    // The background scan's tick.
    void RunBackgroundScan();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateNavigation();
    void CreatePages();
    void CreateStatusBar();
    void CreateTimers();
    void CreateActions();
    void LoadAccounts();
    void ApplyWindowState();
    void SaveWindowState();
    void GiveNavigationDisabledImages();
    void ShowMailClientIcon();
    void ShowDate();
    void ArmBackgroundScan();
    void ShowPage(Page page, const QString& title);
    // Keeps the button of the page shown pressed.
    void MarkPageButton();
    // The sender lists' panel: the approved list on its own page, the
    // blacklist on the settings page's "Blacklist" tab while that is open.
    void PlaceSenderLists();
    void ShowApprovedCount();
    // While the settings page is open the other pages and Exit are locked.
    void SetSettingsLocks(bool enabled);
    // The end of the first-run setup at the first confirmed settings.
    void CompleteFirstRun();
    // The first run's welcome and its "OK": address books, the settings page
    // at "Email Accounts", account detection and the guidance that follows.
    void ShowWelcome();
    void WelcomeSetup();
    // The tray actions' guard: the window is visible but another of the
    // program's windows is active (a dialog is open).
    bool AnotherWindowActive() const;
    bool HandleKeyRelease(QKeyEvent* event);

    QWidget* m_navigation = nullptr;
    QToolButton* m_scanButton = nullptr;
    QToolButton* m_quarantineButton = nullptr;
    QToolButton* m_approvedSendersButton = nullptr;
    QToolButton* m_settingsButton = nullptr;
    QToolButton* m_helpButton = nullptr;
    QToolButton* m_aboutButton = nullptr;

    QStackedWidget* m_pages = nullptr;
    ScanPage* m_scanPage = nullptr;
    QuarantinePage* m_quarantinePage = nullptr;
    TitledPage* m_listsPage = nullptr;
    QWidget* m_senderListsHolder = nullptr;
    SenderListsPanel* m_senderLists = nullptr;
    SettingsPage* m_settingsPage = nullptr;
    TitledPage* m_accountsPage = nullptr;
    AboutPage* m_aboutPage = nullptr;

    QLabel* m_statusPanels[2] = {nullptr, nullptr};

    QTimer* m_elapsedTimer = nullptr;
    QTimer* m_backgroundScanTimer = nullptr;
    QTimer* m_dateTimer = nullptr;

    QMenu* m_trayMenu = nullptr;
    QAction* m_openEmailAction = nullptr;
    QAction* m_scanAction = nullptr;
    QAction* m_quarantineAction = nullptr;
    QAction* m_approvedSendersAction = nullptr;
    QAction* m_settingsAction = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* m_aboutAction = nullptr;
    QAction* m_exitAction = nullptr;
    TrayIcon* m_tray = nullptr;

    std::unique_ptr<GuiScanView> m_scanView;
    std::unique_ptr<WaitWindow> m_waitWindow;
    WindowGeometry m_geometry;

    bool m_firstRun = false;
    bool m_exitRequested = false;
    bool m_logoffAllowed = false;
    bool m_closeCommandEnabled = true;
    bool m_welcomeOpen = false;
};
