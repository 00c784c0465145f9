#pragma once

#include "ui/pages/titled_page.h"

class QTabBar;

// The settings page: its five tabs TabControl1 ("Preferences", "Challenge
// Email", "Email Accounts", "Blacklist", "Advanced").
class SettingsPage : public TitledPage {
    Q_OBJECT
public:
    static constexpr int EmailAccountsTab = 2;

    explicit SettingsPage(QWidget* parent = nullptr);

    QTabBar* TabControl1;
};
