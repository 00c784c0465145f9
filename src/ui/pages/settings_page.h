#pragma once

#include "ui/pages/titled_page.h"

class QTabBar;

// The settings page: its five tabs TabControl1 ("Preferences", "Challenge
// Email", "Email Accounts", "Blacklist", "Advanced").
class SettingsPage : public TitledPage {
    Q_OBJECT
public:
    static constexpr int EmailAccountsTab = 2;

    static constexpr int BlacklistTab = 3;

    explicit SettingsPage(QWidget* parent = nullptr);

    // Takes the sender lists' panel, shown while the "Blacklist" tab is.
    void SetBlacklistPanel(QWidget* panel);

    QTabBar* TabControl1;

private:
    void ShowSettingsTab(int tab);

    QWidget* m_blacklistPanel = nullptr;
};
