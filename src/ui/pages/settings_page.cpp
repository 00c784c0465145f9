#include "ui/pages/settings_page.h"

#include <QTabBar>
#include <QVBoxLayout>

SettingsPage::SettingsPage(QWidget* parent)
    : TitledPage("tsSettings", "Settings", parent), TabControl1(new QTabBar(this)) {
    TabControl1->setObjectName("TabControl1");
    TabControl1->setExpanding(false);
    for (const char* caption : {"Preferences", "Challenge Email", "Email Accounts", "Blacklist", "Advanced"})
        TabControl1->addTab(caption);
    Body()->addWidget(TabControl1);
    Body()->addStretch(1);
    connect(TabControl1, &QTabBar::currentChanged, this, &SettingsPage::ShowSettingsTab);
}

void SettingsPage::SetBlacklistPanel(QWidget* panel) {
    m_blacklistPanel = panel;
    // Above the stretch that fills the other tabs' room.
    Body()->insertWidget(1, panel, 1);
    ShowSettingsTab(TabControl1->currentIndex());
}

void SettingsPage::ShowSettingsTab(int tab) {
    if (!m_blacklistPanel || m_blacklistPanel->parentWidget() != this)
        return;
    m_blacklistPanel->setVisible(tab == BlacklistTab);
    // The stretch keeps the other tabs' (empty) room; the panel takes it when shown.
    Body()->setStretch(2, tab == BlacklistTab ? 0 : 1);
}
