#include "ui/pages/settings_page.h"

#include "ui/settings/account_editor_page.h"
#include "ui/settings/advanced_tab.h"
#include "ui/settings/challenge_email_tab.h"
#include "ui/settings/preferences_tab.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

SettingsPage::SettingsPage(QuarantinePage& quarantine, QWidget* parent)
    : TitledPage("settingsPage", "Settings", parent), m_tabs(new QTabBar(this)),
      m_okButton(new QPushButton("OK", this)), m_content(new QStackedWidget(this)),
      m_preferencesTab(new PreferencesTab(m_content)), m_challengeEmailTab(new ChallengeEmailTab(m_content)),
      m_accounts(new AccountEditorPage(quarantine, m_content)), m_blacklist(new QWidget(m_content)),
      m_advancedTab(new AdvancedTab(m_content)) {
    m_tabs->setObjectName("settingsTabs");
    m_tabs->setExpanding(false);
    for (const char* caption : {"Preferences", "Challenge Email", "Email Accounts", "Blacklist", "Advanced"})
        m_tabs->addTab(caption);
    m_blacklist->setObjectName("blacklistTab");
    new QVBoxLayout(m_blacklist);
    m_blacklist->layout()->setContentsMargins(0, 4, 0, 0);
    for (QWidget* tab :
         std::initializer_list<QWidget*>{m_preferencesTab, m_challengeEmailTab, m_accounts, m_blacklist, m_advancedTab})
        m_content->addWidget(tab);
    m_okButton->setObjectName("okButton");
    m_okButton->setDefault(true);
    m_okButton->setMinimumWidth(90);
    connect(m_okButton, &QPushButton::clicked, this, &SettingsPage::Confirmed);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    Body()->addWidget(m_tabs);
    Body()->addWidget(m_content, 1);
    Body()->addLayout(buttons);
    connect(m_tabs, &QTabBar::currentChanged, m_content, &QStackedWidget::setCurrentIndex);
}

void SettingsPage::LoadPreferences() {
    m_preferencesTab->Load();
    m_challengeEmailTab->Load();
    m_advancedTab->Load();
}

void SettingsPage::SetBlacklistPanel(QWidget* panel) {
    m_blacklist->layout()->addWidget(panel);
    panel->show();
}

void SettingsPage::SelectTab(Tab tab) {
    m_tabs->setCurrentIndex(static_cast<int>(tab));
    m_content->setCurrentIndex(static_cast<int>(tab));
}

SettingsPage::Tab SettingsPage::CurrentTab() const {
    return static_cast<Tab>(m_tabs->currentIndex());
}

void SettingsPage::SetTabsEnabled(bool enabled) {
    m_tabs->setEnabled(enabled);
}
