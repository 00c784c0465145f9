#pragma once

#include "ui/pages/titled_page.h"

class AccountEditorPage;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QuarantinePage;
class PreferencesTab;
class ChallengeEmailTab;
class AdvancedTab;

// The settings page: five tabs m_tabs ("Preferences", "Challenge
// Email", "Email Accounts", "Blacklist", "Advanced") over one content area,
// and "OK" (m_okButton), the only way out.
class SettingsPage : public TitledPage {
    Q_OBJECT
public:
    enum class Tab { Preferences = 0, ChallengeEmail, EmailAccounts, Blacklist, Advanced };

    SettingsPage(QuarantinePage& quarantine, QWidget* parent = nullptr);

    // The three preference tabs filled from the settings and templates.
    void LoadPreferences();
    // Takes the sender lists' panel for the "Blacklist" tab.
    void SetBlacklistPanel(QWidget* panel);
    // ShowSettingsTab: selects a tab and shows its content.
    void SelectTab(Tab tab);

    Tab CurrentTab() const;
    // Locked while an action on the shown account runs.
    void SetTabsEnabled(bool enabled);

    AccountEditorPage& AccountEditor() { return *m_accounts; }

signals:
    // "OK": the only way out.
    void Confirmed();

private:
    QTabBar* m_tabs;
    QPushButton* m_okButton;
    QStackedWidget* m_content;
    PreferencesTab* m_preferencesTab;
    ChallengeEmailTab* m_challengeEmailTab;
    AccountEditorPage* m_accounts;
    QWidget* m_blacklist;
    AdvancedTab* m_advancedTab;
};
