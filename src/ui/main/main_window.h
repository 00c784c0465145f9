#pragma once

#include "challenge/quarantine_actions.h"
#include "records/window_state.h"
#include "scan/scan_view.h"

#include <QMainWindow>

#include <memory>

class AboutPage;
class BackgroundScan;
class FirstRunSetup;
class GuiScanView;
class NavigationBar;
class QLabel;
class QStackedWidget;
class QTimer;
class QToolButton;
class QuarantinePage;
class ScanPage;
class SenderListsPanel;
class SettingsPage;
class TitledPage;
class TrayActions;
class TrayIcon;
class WaitWindow;

// The main window: the navigation bar selects the pages (scan, quarantine,
// approved senders, settings, the accounts holder, About); the status bar
// shows the date and the page's own text. The tray icon and its menu reach
// it while it is hidden. Closing the window only hides it; Exit ends the
// program.
class MainWindow : public QMainWindow, public QuarantineActionWindow {
    Q_OBJECT
public:
    enum Page { PageScan = 0, PageQuarantine, PageApprovedSenders, PageSettings, PageAccounts, PageAbout };

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Loads what the process owns, then either the scan page with the window
    // hidden, or (no account yet) the window shown for the first run.
    void StartUp();

    void ShowMainWindow();
    void HideMainWindow();

    // A message of a second start (MsgShowWindow, MsgOpenEmail, MsgCloseProgram).
    void HandleInstanceMessage(int message);

    // The logoff or shutdown query: true (the window state saved) when no
    // scan runs; otherwise the notice, and false.
    bool QueryEndSession();

    int CurrentPage() const;
    bool FirstRun() const;
    bool LogoffAllowed() const { return m_logoffAllowed; }
    bool CloseCommandEnabled() const { return m_closeCommandEnabled; }
    void SetCloseCommandEnabled(bool enabled) { m_closeCommandEnabled = enabled; }
    // Text of the status bar's two panels.
    QString StatusPanel(int index) const;
    void SetStatusPanel(int index, const QString& text);

    ScanPage* ScanPageWidget() const { return m_scanPage; }
    SettingsPage& Settings() const { return *m_settingsPage; }
    TrayIcon* Tray() const { return m_tray; }
    BackgroundScan& BackgroundScanner() const { return *m_backgroundScan; }
    QToolButton* NavigationButton(ScanControl control) const;
    QTimer* ElapsedTimer() const { return m_elapsedTimer; }
    GuiScanView& View() const { return *m_scanView; }

    // What the quarantine actions need of the window.
    void ShowWaitWindow() override;
    void CloseWaitWindow() override;
    void SetAccountTabsEnabled(bool enabled) override;
    void SetSettingsTabsEnabled(bool enabled) override;

    // The pages, as the navigation bar and the tray menu open them.
    void ShowScanPage();
    // The scan page current, without the title and focus a user would see
    // (for a scan while the window is hidden).
    void SwitchToScanPage();
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
    // The window shown at the scan page and a scan started, when the guard
    // allows it.
    void ScanFromOutside();
    // "Open E-Mail": a scan, the question whether to close, the mail client,
    // then the daily update check.
    void OpenEmail();
    // Exit: ends the program unless a scan or an action holds the window.
    void Exit();

    // The guard of everything started from outside the window (the tray
    // menu, a second start): the page's navigation button is enabled, and
    // no other window of the program is active while this one shows.
    bool MayOpenFromOutside(ScanControl page) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreatePages();
    void CreateStatusBar();
    void CreateTimers();
    void LoadAccountTabs();
    void ApplyWindowState();
    void SaveWindowState();
    void ShowMailClientIcon();
    void ShowDate();
    void ShowPage(Page page, const QString& title);
    void OpenRequestedPage(ScanControl page);
    // Keeps the button of the page shown pressed.
    void MarkPageButton();
    // The sender lists' panel: the approved list on its own page, the
    // blacklist on the settings page's "Blacklist" tab while that is open.
    void PlaceSenderLists();
    void ShowApprovedCount();
    // While the settings page is open the other pages and Exit are locked.
    void SetSettingsLocks(bool enabled);
    bool HandleKeyRelease(QKeyEvent* event);

    NavigationBar* m_navigation = nullptr;
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
    QTimer* m_dateTimer = nullptr;

    TrayActions* m_trayActions = nullptr;
    TrayIcon* m_tray = nullptr;
    BackgroundScan* m_backgroundScan = nullptr;
    FirstRunSetup* m_firstRun = nullptr;

    std::unique_ptr<GuiScanView> m_scanView;
    std::unique_ptr<WaitWindow> m_waitWindow;
    WindowGeometry m_geometry;

    bool m_exitRequested = false;
    bool m_logoffAllowed = false;
    bool m_closeCommandEnabled = true;
};
