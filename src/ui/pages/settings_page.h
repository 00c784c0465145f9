#pragma once

#include "ui/pages/titled_page.h"

class AccountEditorPage;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QuarantinePage;
class TframeDefaults;
class TframeGeneralOptions;
class TframeMouseButtons;

// The settings page: five tabs TabControl1 ("Preferences", "Challenge
// Email", "Email Accounts", "Blacklist", "Advanced") over one content area,
// and "OK" (btnSaveOptions), the only way out.
class SettingsPage : public TitledPage {
    Q_OBJECT
public:
    enum Tab { PreferencesTab = 0, ChallengeTab, EmailAccountsTab, BlacklistTab, AdvancedTab };

    SettingsPage(QuarantinePage& quarantine, QWidget* parent = nullptr);

    // The three preference tabs filled from the settings and templates.
    void LoadPreferences();
    // Takes the sender lists' panel for the "Blacklist" tab.
    void SetBlacklistPanel(QWidget* panel);
    // ShowSettingsTab: selects a tab and shows its content.
    void SelectTab(Tab tab);

    AccountEditorPage& AccountEditor() { return *m_accounts; }

    QTabBar* TabControl1;
    QPushButton* btnSaveOptions;

private:
    QStackedWidget* m_content;
    TframeDefaults* m_defaults;
    TframeGeneralOptions* m_generalOptions;
    AccountEditorPage* m_accounts;
    QWidget* m_blacklist;
    TframeMouseButtons* m_advanced;
};
