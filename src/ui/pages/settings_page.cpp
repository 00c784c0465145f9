#include "ui/pages/settings_page.h"

#include "ui/settings/account_editor_page.h"
#include "ui/settings/uFrameDefaults.h"
#include "ui/settings/uFrameGeneralOptions.h"
#include "ui/settings/uFrameMouseButtons.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

SettingsPage::SettingsPage(QuarantinePage& quarantine, QWidget* parent)
    : TitledPage("tsSettings", "Settings", parent), TabControl1(new QTabBar(this)),
      btnSaveOptions(new QPushButton("OK", this)), m_content(new QStackedWidget(this)),
      m_defaults(new TframeDefaults(m_content)), m_generalOptions(new TframeGeneralOptions(m_content)),
      m_accounts(new AccountEditorPage(quarantine, m_content)), m_blacklist(new QWidget(m_content)),
      m_advanced(new TframeMouseButtons(m_content)) {
    TabControl1->setObjectName("TabControl1");
    TabControl1->setExpanding(false);
    for (const char* caption : {"Preferences", "Challenge Email", "Email Accounts", "Blacklist", "Advanced"})
        TabControl1->addTab(caption);
    m_blacklist->setObjectName("tsBlacklist");
    new QVBoxLayout(m_blacklist);
    m_blacklist->layout()->setContentsMargins(0, 4, 0, 0);
    for (QWidget* tab :
         std::initializer_list<QWidget*>{m_defaults, m_generalOptions, m_accounts, m_blacklist, m_advanced})
        m_content->addWidget(tab);
    btnSaveOptions->setObjectName("btnSaveOptions");
    btnSaveOptions->setDefault(true);
    btnSaveOptions->setMinimumWidth(90);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSaveOptions);
    Body()->addWidget(TabControl1);
    Body()->addWidget(m_content, 1);
    Body()->addLayout(buttons);
    connect(TabControl1, &QTabBar::currentChanged, m_content, &QStackedWidget::setCurrentIndex);
}

void SettingsPage::LoadPreferences() {
    m_defaults->Load();
    m_generalOptions->Load();
    m_advanced->Load();
}

void SettingsPage::SetBlacklistPanel(QWidget* panel) {
    m_blacklist->layout()->addWidget(panel);
    panel->show();
}

void SettingsPage::SelectTab(Tab tab) {
    TabControl1->setCurrentIndex(tab);
    m_content->setCurrentIndex(tab);
}
