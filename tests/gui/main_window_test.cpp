// The main window and the shell around it, driven by object names on the
// offscreen platform, with a loopback POP3 server for the scans.
#include "gui_fixture.h"

#include "records/password_scramble.h"
#include "records/program_settings.h"
#include "scan/scan_state.h"
#include "support/fake_pop3_server.h"
#include "ui/help/help.h"
#include "ui/main/background_scan.h"
#include "ui/main/main_window.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/shell/gui_prompts.h"
#include "ui/shell/single_instance.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <filesystem>

namespace {

std::string Mail(int number) {
    return "From: stranger" + std::to_string(number) +
           "@example.org\r\nTo: me@example.net\r\nSubject: Offer\r\nDate: Mon, 9 Mar 2026 10:00:00 +0100\r\n\r\n"
           "Hello.\r\n";
}

std::vector<std::string> AccountSettings(int pop3Port, const std::vector<std::string>& settings = {}) {
    std::vector<std::string> lines{"[Settings]", "NumAccounts=1", "NoChallenge=1", "SyncAddressBook=0", "Maximized=0"};
    lines.insert(lines.end(), settings.begin(), settings.end());
    for (const char* line : {"[Account1]", "ID={5CA1AB1E-0000-4000-8000-000000000001}", "EmailAddress=me@example.net",
                             "Server=127.0.0.1", "Enabled=1"})
        lines.push_back(line);
    lines.push_back("Port=" + std::to_string(pop3Port));
    lines.push_back("Login=" + std::string(FakePop3Server::User));
    lines.push_back("Password=" + ScramblePassword(FakePop3Server::Password));
    return lines;
}

template <class T> T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    if (!child)
        qFatal("no widget %s", name);
    return child;
}

void ReleaseKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyRelease(&window, key, modifiers);
}

// Hidden in the tray, or minimised where the desktop has no tray.
bool UserSees(const QWidget& window) {
    return window.isVisible() && !window.isMinimized();
}

// The settings file as it is now; "" before it is written.
std::string SettingsText(const GuiFixture& fixture) {
    return QFileInfo::exists(QString::fromStdString(fixture.Data().File("vantrel.ini")))
               ? fixture.Data().Read("vantrel.ini")
               : std::string();
}

bool Shown(const std::string& text) {
    auto texts = ShownMessageTexts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstRunShowsTheWindowOtherwiseItStaysHidden();
    void convertedIndexOpensTheUpdateNotice();
    void navigationButtonsSelectPagesAndTitles_data();
    void navigationButtonsSelectPagesAndTitles();
    void senderListsFollowThePage();
    void passwordGateGuardsQuarantineAndSettings();
    void f1OpensTheTopicOfThePageAndTab_data();
    void f1OpensTheTopicOfThePageAndTab();
    void missingHelpIsReported();
    void ctrlF6StepsThroughAccountTabs();
    void scanGuardsTheWindowAndCancelWorks();
    void closeHidesAndExitEnds();
    void backgroundScanWaitsWhileTheWindowIsVisible();
    void openEmailScansAsksAndStartsTheMailClient();
    void instanceMessagesShowAndEnd();
};

void TestMainWindow::firstRunShowsTheWindowOtherwiseItStaysHidden() {
    {
        GuiFixture fixture;
        auto window = fixture.StartWindow();
        QVERIFY(UserSees(*window));
        QVERIFY(window->FirstRun());
        QCOMPARE(window->windowTitle(), QString("Quorvane"));
    }
    GuiFixture fixture;
    fixture.WriteSettings(AccountSettings(1));
    auto window = fixture.StartWindow();
    QVERIFY(!UserSees(*window));
    QVERIFY(!window->FirstRun());
    QCOMPARE(window->CurrentPage(), int(MainWindow::PageScan));
    QCOMPARE(Child<QTabBar>(*window, "accountTabs")->tabText(0), QString("me@example.net"));
    QVERIFY(!window->StatusPanel(0).isEmpty());
}

void TestMainWindow::convertedIndexOpensTheUpdateNotice() {
    GuiFixture fixture;
    fixture.WriteSettings(AccountSettings(1));
    std::filesystem::create_directories(fixture.Data().File("Accounts/{5CA1AB1E-0000-4000-8000-000000000001}"));
    fixture.Data().Write("Accounts/{5CA1AB1E-0000-4000-8000-000000000001}/account.dat", std::string(4, '\0'));
    auto window = fixture.StartWindow();
    QCOMPARE(fixture.OpenedUrls().size(), size_t(1));
    QCOMPARE(fixture.OpenedUrls()[0].fileName(), QString("update_notice.htm"));
}

void TestMainWindow::navigationButtonsSelectPagesAndTitles_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("status");
    QTest::newRow("quarantine") << "quarantineButton" << 1 << "Quorvane - Quarantine"
                                << "NOTICE:  Quarantined mail will be deleted after 14 days.  Click Settings to change "
                                   "this.";
    QTest::newRow("approved") << "approvedSendersButton" << 2 << "Quorvane - Approved Senders"
                              << "0 approved senders";
    QTest::newRow("settings") << "settingsButton" << 3 << "Quorvane - Settings"
                              << "";
    QTest::newRow("about") << "aboutButton" << 5 << "Quorvane - About"
                           << "Version 1.1.1";
}

void TestMainWindow::navigationButtonsSelectPagesAndTitles() {
    QFETCH(QString, button);
    QFETCH(int, page);
    QFETCH(QString, title);
    QFETCH(QString, status);
    GuiFixture fixture;
    auto window = fixture.StartWindow();
    auto* pressed = Child<QToolButton>(*window, qPrintable(button));
    QTest::mouseClick(pressed, Qt::LeftButton);
    QCOMPARE(window->CurrentPage(), page);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->StatusPanel(1), status);
    QVERIFY(pressed->isChecked());
    QVERIFY(!Child<QToolButton>(*window, "scanButton")->isChecked());

    // The settings page is left only through its OK.
    ProgramSettings.EmailClient = "mailer";
    if (button == "settingsButton")
        QTest::mouseClick(Child<QPushButton>(*window, "okButton"), Qt::LeftButton);
    QTest::mouseClick(Child<QToolButton>(*window, "scanButton"), Qt::LeftButton);
    QCOMPARE(window->windowTitle(), QString("Quorvane - Scan for Spam"));
    QCOMPARE(window->StatusPanel(1), QString());
}

void TestMainWindow::senderListsFollowThePage() {
    GuiFixture fixture;
    auto window = fixture.StartWindow();
    GuiPrompts::SetUnshown(true);
    auto* approved = Child<QWidget>(*window, "approvedEditor");
    auto* blacklist = Child<QWidget>(*window, "blockedEditor");
    QTest::mouseClick(Child<QToolButton>(*window, "approvedSendersButton"), Qt::LeftButton);
    QVERIFY(approved->isVisible() && !blacklist->isVisible());
    GuiPrompts::SetNextText("Friend@Example.ORG", true);
    approved->findChild<QToolButton*>("addEntryButton")->click();
    QCOMPARE(window->StatusPanel(1), QString("1 approved senders"));

    QTest::mouseClick(Child<QToolButton>(*window, "settingsButton"), Qt::LeftButton);
    auto* tabs = Child<QTabBar>(*window, "settingsTabs");
    tabs->setCurrentIndex(3);
    QVERIFY(blacklist->isVisible() && !approved->isVisible());
    GuiPrompts::SetNextText("spammer@example.net", true);
    blacklist->findChild<QToolButton*>("addEntryButton")->click();
    QCOMPARE(window->StatusPanel(1), QString()); // the count belongs to the approved page
    QCOMPARE(fixture.Data().Read("BlackList.dat"), std::string("spammer@example.net\r\n"));
    tabs->setCurrentIndex(0);
    QVERIFY(!blacklist->isVisible());

    ProgramSettings.EmailClient = "mailer";
    QTest::mouseClick(Child<QPushButton>(*window, "okButton"), Qt::LeftButton);
    QTest::mouseClick(Child<QToolButton>(*window, "approvedSendersButton"), Qt::LeftButton);
    QVERIFY(approved->isVisible() && !blacklist->isVisible());
    QCOMPARE(window->StatusPanel(1), QString("1 approved senders"));
}

void TestMainWindow::passwordGateGuardsQuarantineAndSettings() {
    GuiFixture fixture;
    fixture.WriteSettings({"[Settings]", "PasswordProtect=1"});
    auto window = fixture.StartWindow();
    ProgramSettings.Password = "Secret";
    auto answer = [&window](const char* typed) {
        WhenDialogShown(window.get(), "PasswordDialog", [typed](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Enter Password"));
            QTest::keyClicks(dialog->findChild<QLineEdit*>("enteredPasswordEdit"), typed);
            QTest::mouseClick(dialog->findChild<QPushButton*>("passwordOkButton"), Qt::LeftButton);
        });
    };
    answer("secret"); // the letter case counts
    QTest::mouseClick(Child<QToolButton>(*window, "quarantineButton"), Qt::LeftButton);
    QCOMPARE(window->CurrentPage(), int(MainWindow::PageScan));
    QVERIFY(Shown("The password you have entered is incorrect."));
    QCOMPARE(GuiMessageBoxes::ShownBoxes().back().Title, std::string("Incorrect password"));
    QVERIFY(!Child<QToolButton>(*window, "quarantineButton")->isChecked());

    answer("Secret");
    QTest::mouseClick(Child<QToolButton>(*window, "settingsButton"), Qt::LeftButton);
    QCOMPARE(window->CurrentPage(), int(MainWindow::PageSettings));
}

void TestMainWindow::f1OpensTheTopicOfThePageAndTab_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("settingsTab");
    QTest::addColumn<QString>("topic");
    QTest::newRow("scan") << "" << -1 << "scan.htm";
    QTest::newRow("quarantine") << "quarantineButton" << -1 << "suspectspam.htm";
    QTest::newRow("approved") << "approvedSendersButton" << -1 << "approvedsenders.htm";
    QTest::newRow("preferences") << "settingsButton" << 0 << "preferences.htm";
    QTest::newRow("challenge") << "settingsButton" << 1 << "challenge.htm";
    QTest::newRow("accounts") << "settingsButton" << 2 << "accounts.htm";
    QTest::newRow("blacklist") << "settingsButton" << 3 << "blacklist.htm";
    QTest::newRow("advanced") << "settingsButton" << 4 << "advanced.htm";
    QTest::newRow("about") << "aboutButton" << -1 << "about.htm";
}

void TestMainWindow::f1OpensTheTopicOfThePageAndTab() {
    QFETCH(QString, button);
    QFETCH(int, settingsTab);
    QFETCH(QString, topic);
    GuiFixture fixture;
    auto window = fixture.StartWindow();
    if (!button.isEmpty())
        QTest::mouseClick(Child<QToolButton>(*window, qPrintable(button)), Qt::LeftButton);
    if (settingsTab >= 0)
        Child<QTabBar>(*window, "settingsTabs")->setCurrentIndex(settingsTab);
    ReleaseKey(*window, Qt::Key_F1);
    QCOMPARE(fixture.OpenedUrls().size(), size_t(1));
    QCOMPARE(fixture.OpenedUrls()[0].fileName(), topic);
    QVERIFY(QFileInfo::exists(fixture.OpenedUrls()[0].toLocalFile()));
}

void TestMainWindow::missingHelpIsReported() {
    GuiFixture fixture;
    auto window = fixture.StartWindow();
    SetHelpFile(QString::fromStdString(fixture.Data().File("no-help-here")));
    QTest::mouseClick(Child<QToolButton>(*window, "helpButton"), Qt::LeftButton);
    QVERIFY(fixture.OpenedUrls().empty());
    QCOMPARE(ShownMessageTexts(), std::vector<std::string>{"HTML Help not installed."});
    // The next request tries again.
    SetHelpFile(qEnvironmentVariable("QUORVANE_TEST_HELP_DIR"));
    QTest::mouseClick(Child<QToolButton>(*window, "helpButton"), Qt::LeftButton);
    QCOMPARE(fixture.OpenedUrls().size(), size_t(1));
    // "Scanned     :" opens the contents.
    QTest::mouseClick(Child<QLabel>(*window, "scannedCaption"), Qt::LeftButton);
    QCOMPARE(fixture.OpenedUrls().back().fileName(), QString("index.htm"));
}

void TestMainWindow::ctrlF6StepsThroughAccountTabs() {
    GuiFixture fixture;
    std::vector<std::string> lines{"[Settings]", "NumAccounts=3"};
    for (int n = 1; n <= 3; ++n) {
        lines.push_back("[Account" + std::to_string(n) + "]");
        lines.push_back("ID={5CA1AB1E-0000-4000-8000-00000000000" + std::to_string(n) + "}");
        lines.push_back("EmailAddress=account" + std::to_string(n) + "@example.net");
    }
    fixture.WriteSettings(lines);
    auto window = fixture.StartWindow();
    auto* tabs = Child<QTabBar>(*window, "accountTabs");
    ReleaseKey(*window, Qt::Key_F6, Qt::ControlModifier); // not on the quarantine page: nothing
    QCOMPARE(tabs->currentIndex(), 0);
    QTest::mouseClick(Child<QToolButton>(*window, "quarantineButton"), Qt::LeftButton);
    tabs->setCurrentIndex(2);
    ReleaseKey(*window, Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(tabs->currentIndex(), 0);
    ReleaseKey(*window, Qt::Key_F6, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(tabs->currentIndex(), 2);
}

void TestMainWindow::scanGuardsTheWindowAndCancelWorks() {
    GuiFixture fixture;
    FakePop3Server server({Mail(1), Mail(2), Mail(3)});
    fixture.WriteSettings(AccountSettings(server.Port()));
    auto window = fixture.StartWindow();
    window->ShowMainWindow();
    auto* start = Child<QPushButton>(*window, "startScanButton");
    auto* cancel = Child<QPushButton>(*window, "cancelScanButton");
    bool checked = false;
    // Once the account's scan has begun (its session is waiting on the server).
    auto* headline = Child<QLabel>(*window, "headlineLabel");
    WhenReady(
        window.get(), [headline] { return headline->text().startsWith("Scanning "); },
        [&] {
            checked = true;
            QVERIFY(!start->isEnabled());
            QVERIFY(cancel->isEnabled());
            for (const char* name : {"scanButton", "quarantineButton", "approvedSendersButton", "settingsButton",
                                     "helpButton", "aboutButton"})
                QVERIFY2(!Child<QToolButton>(*window, name)->isEnabled(), name);
            QVERIFY(!window->CloseCommandEnabled());
            // F1 still opens the scan page's topic; Exit and a logoff are refused.
            ReleaseKey(*window, Qt::Key_F1);
            window->Exit();
            QVERIFY(UserSees(*window));
            QVERIFY(!window->QueryEndSession());
            QVERIFY(Shown("Please wait until Quorvane has finished scanning (when the Quorvane System Tray icon stops "
                          "flashing) before shutting down or logging off."));
            // Cancel asks first: No goes on, Yes cancels.
            GuiMessageBoxes::SetNextAnswer(MsgResult::No);
            QTest::mouseClick(cancel, Qt::LeftButton);
            QVERIFY(!ScanState.AbortRequested);
            GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
            QTest::mouseClick(cancel, Qt::LeftButton);
            QVERIFY(ScanState.AbortRequested);
            QCOMPARE(Child<QLabel>(*window, "headlineLabel")->text(), QString("Aborting scan, please wait..."));
        });
    QTest::mouseClick(start, Qt::LeftButton);

    QVERIFY(checked);
    QVERIFY(Shown("Are you sure you want to cancel?"));
    QCOMPARE(fixture.OpenedUrls().back().fileName(), QString("scan.htm"));
    QCOMPARE(Child<QLabel>(*window, "headlineLabel")->text(),
             QString("Finished scanning your email accounts for spam."));
    QVERIFY(Child<QPlainTextEdit>(*window, "detailsText")->toPlainText().contains("Scan aborted."));
    QVERIFY(start->isEnabled() && !cancel->isEnabled() && window->CloseCommandEnabled());
    QVERIFY(Child<QToolButton>(*window, "aboutButton")->isEnabled());
    QCOMPARE(server.Mailbox().size(), size_t(3)); // cancelled before the first message
    QVERIFY(!fixture.Data().Read("log.txt").empty());
}

void TestMainWindow::closeHidesAndExitEnds() {
    GuiFixture fixture;
    auto window = fixture.StartWindow();
    window->ShowMainWindow();
    QVERIFY(!window->close());
    QVERIFY(!UserSees(*window));
    QVERIFY(SettingsText(fixture).find("Maximized=") == std::string::npos);

    window->ShowMainWindow();
    window->Exit();
    QVERIFY(!UserSees(*window));
    QVERIFY(SettingsText(fixture).find("Maximized=") != std::string::npos);
}

void TestMainWindow::backgroundScanWaitsWhileTheWindowIsVisible() {
    GuiFixture fixture;
    FakePop3Server server({});
    fixture.WriteSettings(AccountSettings(server.Port(), {"AutoScan=1", "AutoScanMin=10"}));
    auto window = fixture.StartWindow();
    auto* timer = window->findChild<QTimer*>("backgroundScanTimer");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 10 * 60 * 1000);

    window->ShowMainWindow();
    window->BackgroundScanner().RunNow();
    QCOMPARE(server.Connections(), 0);

    window->HideMainWindow();
    bool unattended = false;
    WhenReady(
        window.get(), [] { return true; }, [&] { unattended = ScanState.Unattended; });
    window->BackgroundScanner().RunNow();
    QCOMPARE(server.Connections(), 1);
    QVERIFY(unattended);
    QVERIFY(!ScanState.Unattended);
    QVERIFY(timer->isActive()); // the next one due a full period after this one ended
}

void TestMainWindow::openEmailScansAsksAndStartsTheMailClient() {
    GuiFixture fixture;
    FakePop3Server server({});
    fixture.WriteSettings(AccountSettings(server.Port(), {"EmailClient=\"/opt/mail client/mailer\" --compose now"}));
    auto window = fixture.StartWindow();
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    window->OpenEmail();
    QCOMPARE(server.Connections(), 1);
    QVERIFY(Shown("Finished scanning, do you want to close Quorvane?"));
    QVERIFY(!UserSees(*window));
    QCOMPARE(fixture.StartedPrograms().size(), size_t(1));
    QCOMPARE(fixture.StartedPrograms()[0].Program, QString("/opt/mail client/mailer"));
    QCOMPARE(fixture.StartedPrograms()[0].Arguments, QStringList({"--compose", "now"}));
}

void TestMainWindow::instanceMessagesShowAndEnd() {
    GuiFixture fixture;
    fixture.WriteSettings(AccountSettings(1));
    auto window = fixture.StartWindow();
    window->HandleInstanceMessage(MsgShowWindow);
    QVERIFY(UserSees(*window));
    window->HandleInstanceMessage(MsgCloseProgram);
    QVERIFY(SettingsText(fixture).find("Maximized=") != std::string::npos);
}

QTEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
