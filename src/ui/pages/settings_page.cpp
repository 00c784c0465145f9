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
    Body()->addStretch();
}
