#include "ui/main/tray_actions.h"

#include "ui/help/help.h"
#include "ui/main/main_window.h"

#include <QAction>
#include <QIcon>
#include <QMenu>

TrayActions::TrayActions(MainWindow& window) : QObject(&window), m_window(window), m_menu(new QMenu(&window)) {
    m_menu->setObjectName("trayMenu");
    m_openEmailAction = Add("openEmailAction", "Open &E-Mail", nullptr);
    QFont bold = m_openEmailAction->font();
    bold.setBold(true);
    m_openEmailAction->setFont(bold);
    connect(m_openEmailAction, &QAction::triggered, &m_window, &MainWindow::OpenEmail);
    m_menu->addSeparator();
    connect(Add("scanAction", "&Scan for spam", ":/icons/nav-scan.svg"), &QAction::triggered, &m_window,
            &MainWindow::ScanFromOutside);
    connect(Add("quarantineAction", "&Quarantine", ":/icons/nav-quarantine.svg"), &QAction::triggered, this,
            [this] { OpenPage(ScanControl::Quarantine, &MainWindow::ShowQuarantinePage); });
    connect(Add("approvedSendersAction", "&Approved Senders", ":/icons/nav-approved.svg"), &QAction::triggered, this,
            [this] { OpenPage(ScanControl::ApprovedSenders, &MainWindow::ShowApprovedSendersPage); });
    connect(Add("settingsAction", "Se&ttings", ":/icons/nav-settings.svg"), &QAction::triggered, this,
            [this] { OpenPage(ScanControl::Settings, &MainWindow::ShowSettingsPage); });
    m_menu->addSeparator();
    connect(Add("helpAction", "&Help", ":/icons/nav-help.svg"), &QAction::triggered, this,
            [] { OpenHelp(HelpTopicPath(AboutTopic), HelpShowTopic); });
    // Guarded by the Help button; ShowAboutPage keeps the About page's own lock.
    connect(Add("aboutAction", "A&bout", ":/icons/nav-about.svg"), &QAction::triggered, this,
            [this] { OpenPage(ScanControl::Help, &MainWindow::ShowAboutPage); });
    m_menu->addSeparator();
    connect(Add("exitAction", "E&xit", nullptr), &QAction::triggered, &m_window, &MainWindow::Exit);
}

void TrayActions::SetMailClientIcon(const QIcon& icon) {
    m_openEmailAction->setIcon(icon);
}

QAction* TrayActions::Add(const char* name, const QString& caption, const char* image) {
    QAction* action = m_menu->addAction(caption);
    action->setObjectName(name);
    if (image)
        action->setIcon(QIcon(image));
    return action;
}

void TrayActions::OpenPage(ScanControl guardPage, void (MainWindow::*showPage)()) {
    if (!m_window.MayOpenFromOutside(guardPage))
        return;
    m_window.ShowMainWindow();
    (m_window.*showPage)();
}
