// The settings page and the account editor on the offscreen platform: the
// store-on-change rules, the checks of OK with the place they send the user
// to, the locks while the page is open, the first-run completion and the
// editor's binding to the account records.
#include "gui_fixture.h"

#include "records/account.h"
#include "records/account_store.h"
#include "records/password_scramble.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "ui/main/main_window.h"
#include "ui/shell/gui_message_boxes.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace {

// Accounts given as "address,login,password,enabled" with a display name.
std::vector<std::string> Settings(const std::vector<std::vector<std::string>>& accounts) {
    std::vector<std::string> lines{"[Settings]", "NumAccounts=" + std::to_string(accounts.size()), "SyncAddressBook=0",
                                   "Maximized=0", "EmailClient=mailer"};
    int n = 0;
    for (const auto& account : accounts) {
        std::string number = std::to_string(++n);
        for (const std::string& line : std::vector<std::string>{
                 "[Account" + number + "]", "ID={5CA1AB1E-0000-4000-8000-00000000000" + number + "}",
                 "EmailAddress=" + account[0], "Login=" + account[1], "Password=" + ScramblePassword(account[2]),
                 "Enabled=" + account[3], "DisplayName=Someone", "Server=pop.example.net"})
            lines.push_back(line);
    }
    return lines;
}

template <class T> T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    if (!child)
        qFatal("no object %s", name);
    return child;
}

void ClickOk(QWidget& window) {
    QTest::mouseClick(Child<QPushButton>(window, "okButton"), Qt::LeftButton);
}

void OpenSettings(QWidget& window) {
    QTest::mouseClick(Child<QToolButton>(window, "settingsButton"), Qt::LeftButton);
}

int SettingsTab(QWidget& window) {
    return Child<QTabBar>(window, "settingsTabs")->currentIndex();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void timeoutTextAndItsCheck();
    void accountChecksRunInOrderAndFocusTheField();
    void disabledAccountsAreNotChecked();
    void thePageLocksTheWindowUntilOk();
    void firstRunCompletesAtTheFirstGoodOk();
    void resetToDefaultsAnsweredNoKeepsTheTexts();
    void editorAppliesOnTabSwitchAndSuggestsTlsPorts();
    void testConnectionLogsInWithTheFieldsAsTyped();
};

void TestSettings::timeoutTextAndItsCheck() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings({{"me@example.net", "me", "pw", "1"}}));
    auto window = fixture.StartWindow();
    OpenSettings(*window);
    auto* timeout = Child<QLineEdit>(*window, "timeoutEdit");
    timeout->clear();
    QTest::keyClicks(timeout, "abc");
    QCOMPARE(ProgramSettings.Timeout, 60);
    timeout->clear();
    QTest::keyClicks(timeout, "10");
    ClickOk(*window);
    QCOMPARE(ShownMessageTexts(), std::vector<std::string>{"The timeout value cannot be lower than 30 seconds.  Please "
                                                           "enter a timeout value of 30 seconds or greater."});
    QCOMPARE(SettingsTab(*window), 4);
    QCOMPARE(window->CurrentPage(), int(MainWindow::PageSettings));
    QVERIFY(fixture.Data().Read("vantrel.ini").find("Timeout=10") != std::string::npos); // saved all the same
}

void TestSettings::accountChecksRunInOrderAndFocusTheField() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings({{"first@example.net", "", "pw", "1"}, {"second@example.net", "me", "", "1"}}));
    auto window = fixture.StartWindow();
    OpenSettings(*window);
    ClickOk(*window);
    QCOMPARE(ShownMessageTexts(),
             std::vector<std::string>{"You must enter the user name for the account \"first@example.net\""});
    QCOMPARE(SettingsTab(*window), 2);
    QCOMPARE(Child<QTabBar>(*window, "accountEditorTabs")->currentIndex(), 0);
    QCOMPARE(window->focusWidget()->objectName(), QString("userNameEdit"));

    QTest::keyClicks(Child<QLineEdit>(*window, "userNameEdit"), "me");
    GuiMessageBoxes::ClearShown();
    GuiMessageBoxes::SetUnshown(true);
    ClickOk(*window);
    QCOMPARE(ShownMessageTexts(),
             std::vector<std::string>{"You must enter the password for the account \"second@example.net\""});
    QCOMPARE(Child<QTabBar>(*window, "accountEditorTabs")->currentIndex(), 1);
    QCOMPARE(window->focusWidget()->objectName(), QString("passwordEdit"));
}

void TestSettings::disabledAccountsAreNotChecked() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings({{"me@example.net", "me", "pw", "1"}, {"", "", "", "0"}}));
    auto window = fixture.StartWindow();
    OpenSettings(*window);
    ClickOk(*window);
    QVERIFY(ShownMessageTexts().empty());
    QCOMPARE(window->CurrentPage(), int(MainWindow::PageScan));
}

void TestSettings::thePageLocksTheWindowUntilOk() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings({{"me@example.net", "me", "pw", "1"}}));
    auto window = fixture.StartWindow();
    window->ShowMainWindow();
    OpenSettings(*window);
    for (const char* name : {"scanButton", "quarantineButton", "approvedSendersButton", "aboutButton"})
        QVERIFY2(!Child<QToolButton>(*window, name)->isEnabled(), name);
    QVERIFY(Child<QToolButton>(*window, "helpButton")->isEnabled());
    window->Exit();
    QVERIFY(window->isVisible());
    ClickOk(*window);
    QCOMPARE(window->CurrentPage(), int(MainWindow::PageScan));
    QVERIFY(Child<QToolButton>(*window, "aboutButton")->isEnabled() && window->CloseCommandEnabled());
}

void TestSettings::firstRunCompletesAtTheFirstGoodOk() {
    GuiFixture fixture;
    fixture.WriteSettings({"[Settings]", "EmailClient=mailer", "SyncAddressBook=0"});
    auto window = fixture.StartWindow();
    QVERIFY(window->FirstRun());
    OpenSettings(*window);
    Child<QTabBar>(*window, "settingsTabs")->setCurrentIndex(2);
    Child<QAction>(*window, "addAccountAction")->trigger();
    for (auto [field, text] : {std::pair{"displayNameEdit", "Me"},
                               {"emailAddressEdit", "me@example.net"},
                               {"userNameEdit", "me"},
                               {"passwordEdit", "pw"},
                               {"pop3ServerEdit", "pop.example.net"}})
        QTest::keyClicks(Child<QLineEdit>(*window, field), text);
    ClickOk(*window);
    auto texts = ShownMessageTexts();
    QCOMPARE(texts.size(), size_t(2));
    QVERIFY(texts[0].rfind("Your approved list is empty.", 0) == 0);
    QCOMPARE(GuiMessageBoxes::ShownBoxes()[1].Title, std::string("Setup Complete"));
    QCOMPARE(fixture.OpenedUrls().back().fileName(), QString("getting_started.htm"));
    QVERIFY(!window->FirstRun());
    QVERIFY(!window->isVisible() || window->isMinimized());
    LoadSettings();
    QCOMPARE(StoredAccountCount(), 1);

    // Later confirmations are quiet.
    window->ShowMainWindow();
    OpenSettings(*window);
    ClickOk(*window);
    QCOMPARE(ShownMessageTexts().size(), size_t(2));
}

void TestSettings::resetToDefaultsAnsweredNoKeepsTheTexts() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings({{"me@example.net", "me", "pw", "1"}}));
    auto window = fixture.StartWindow();
    ChallengeTemplate = "Mine";
    OpenSettings(*window);
    GuiMessageBoxes::SetNextAnswer(MsgResult::No);
    Child<QPushButton>(*window, "resetButton")->click();
    QCOMPARE(ChallengeTemplate, std::string("Mine"));
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    Child<QPushButton>(*window, "resetButton")->click();
    QCOMPARE(ChallengeTemplate, DefaultChallengeTemplate());
}

void TestSettings::editorAppliesOnTabSwitchAndSuggestsTlsPorts() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings({{"one@example.net", "me", "pw", "1"}, {"two@example.net", "me", "pw", "1"}}));
    auto window = fixture.StartWindow();
    OpenSettings(*window);
    auto* port = Child<QLineEdit>(*window, "pop3PortEdit");
    QCOMPARE(port->text(), QString("110"));
    Child<QComboBox>(*window, "pop3SecurityCombo")->setCurrentIndex(1); // TLS
    QCOMPARE(port->text(), QString("995"));
    QTest::keyClicks(Child<QLineEdit>(*window, "replyAddressEdit"), "lost@example.net");
    Child<QTabBar>(*window, "accountEditorTabs")->setCurrentIndex(1);
    QCOMPARE(Child<QLineEdit>(*window, "emailAddressEdit")->text(), QString("two@example.net"));
    QCOMPARE(Accounts.Item(0).Port, 995);
    QCOMPARE(Accounts.Item(0).POP3Security, ConnectionSecurity::Tls);
    // The reply address went with the security change here: it is applied
    // with the record, not lost, because another field changed too.
    QCOMPARE(Accounts.Item(0).ReplyAddress, std::string("lost@example.net"));
    LoadAccount(1);
    QCOMPARE(Accounts.Item(0).Port, 995);
}

void TestSettings::testConnectionLogsInWithTheFieldsAsTyped() {
    GuiFixture fixture;
    FakePop3Server pop3({"From: a@example.org\r\nSubject: kept\r\n\r\nBody\r\n"});
    FakeSmtpServer smtp;
    fixture.WriteSettings(Settings({{"me@example.net", "old", "pw", "1"}}));
    auto window = fixture.StartWindow();
    OpenSettings(*window);
    auto type = [&](const char* field, const std::string& text) {
        auto* edit = Child<QLineEdit>(*window, field);
        edit->clear();
        QTest::keyClicks(edit, QString::fromStdString(text));
    };
    type("pop3ServerEdit", "127.0.0.1");
    type("pop3PortEdit", std::to_string(pop3.Port()));
    type("smtpServerEdit", "127.0.0.1");
    type("smtpPortEdit", std::to_string(smtp.Port()));
    type("userNameEdit", FakePop3Server::User);
    type("passwordEdit", "wrong");
    Child<QPushButton>(*window, "testConnectionButton")->click();
    QVERIFY(ShownMessageTexts().back().starts_with("Incoming mail (POP3): [AUTH] Authentication failed."));
    type("passwordEdit", FakePop3Server::Password);
    Child<QPushButton>(*window, "testConnectionButton")->click();
    QCOMPARE(ShownMessageTexts().back(),
             std::string("Incoming mail (POP3): logged in as user.\r\nOutgoing mail (SMTP): connected."));
    QCOMPARE(pop3.Mailbox().size(), size_t(1));                                         // nothing deleted
    QVERIFY(fixture.Data().Read("vantrel.ini").find("Login=old") != std::string::npos); // nothing stored
}

QTEST_MAIN(TestSettings)
#include "settings_test.moc"
