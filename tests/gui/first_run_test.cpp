// The first run and "Detect Accounts" on the offscreen platform, with the
// mail clients' settings in a Wine prefix of the test's own.
#include "gui_fixture.h"

#include "platform/registry_hive.h"
#include "records/account.h"
#include "test_paths.h"
#include "ui/main/main_window.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/shell/tray_icon.h"
#include "ui/welcome/welcome_dialog.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// A Wine prefix: empty, or with Outlook's settings for one account.
void UsePrefix(const TempFolder& prefix, bool withOutlook) {
    if (withOutlook) {
        std::ifstream fixture(std::string(TEST_DATA_DIR) + "/registry/wine_outlook_user.reg", std::ios::binary);
        std::ostringstream content;
        content << fixture.rdbuf();
        prefix.Write("user.reg", content.str());
    }
    ::setenv("WINEPREFIX", prefix.Path().c_str(), 1);
    ::unsetenv("EUDORA");
    ReloadRegistryHives();
}

} // namespace

class TestFirstRun : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void welcomeWithNothingToDetectLeavesAnEmptyAccount();
    void welcomeWithDetectedAccountsAsksForThePassword();
    void detectAccountsTwiceFindsNothingNewTheSecondTime();
};

void TestFirstRun::cleanup() {
    ::unsetenv("WINEPREFIX");
    ReloadRegistryHives();
}

void TestFirstRun::welcomeWithNothingToDetectLeavesAnEmptyAccount() {
    GuiFixture fixture;
    TempFolder prefix;
    UsePrefix(prefix, false);
    SetWelcomeRunner(nullptr);
    bool trayWasQuiet = false;
    QString text;
    std::unique_ptr<MainWindow> window;
    QObject context;
    WhenDialogShown(&context, "WelcomeDialog", [&](QWidget* welcome) {
        QCOMPARE(welcome->windowTitle(), QString("Welcome to Quorvane"));
        text = welcome->findChild<QLabel*>("messageLabel")->text();
        trayWasQuiet = !qobject_cast<MainWindow*>(welcome->parentWidget())->Tray()->Reactive();
        QTest::mouseClick(welcome->findChild<QPushButton*>("setupButton"), Qt::LeftButton);
    });
    window = fixture.StartWindow();
    QTRY_VERIFY(!text.isEmpty());
    QTRY_VERIFY(window->Tray()->Reactive());
    QVERIFY(text.startsWith("Congratulations, you are moments away"));
    QVERIFY(trayWasQuiet);
    QVERIFY(ShownMessageTexts().back().starts_with("Unfortunately Quorvane was unable to detect"));
    QCOMPARE(window->CurrentPage(), int(MainWindow::PageSettings));
    QCOMPARE(window->findChild<QTabBar*>("settingsTabs")->currentIndex(), 2);
    QCOMPARE(Accounts.Count(), 1); // an empty account waits in the editor
    QCOMPARE(window->findChild<QTabBar*>("accountEditorTabs")->count(), 1);
}

void TestFirstRun::welcomeWithDetectedAccountsAsksForThePassword() {
    GuiFixture fixture;
    TempFolder prefix;
    UsePrefix(prefix, true);
    SetWelcomeRunner([](std::function<void()> setup, QWidget*) { setup(); }); // "OK" at once
    auto window = fixture.StartWindow();
    QTRY_VERIFY(!ShownMessageTexts().empty());
    QVERIFY(ShownMessageTexts().back().starts_with("Quorvane has sucessfully detected your email account settings."));
    QCOMPARE(Accounts.Count(), 1);
    QCOMPARE(window->findChild<QLineEdit*>("emailAddressEdit")->text(), QString("alice@example.com"));
    QVERIFY(window->findChild<QLabel*>("passwordHintLabel")->isVisibleTo(window.get()));
    QCOMPARE(window->focusWidget()->objectName(), QString("passwordEdit"));
}

void TestFirstRun::detectAccountsTwiceFindsNothingNewTheSecondTime() {
    GuiFixture fixture;
    TempFolder prefix;
    UsePrefix(prefix, true);
    auto window = fixture.StartWindow();
    auto* detect = window->findChild<QAction*>("detectAccountsAction");
    detect->trigger();
    QCOMPARE(ShownMessageTexts().back(),
             std::string("Quorvane has detected new email account(s).  For security considerations, Quorvane does "
                         "not detect your email account password.  You must enter your email account password now, "
                         "please click OK to continue."));
    detect->trigger();
    QCOMPARE(ShownMessageTexts().back(), std::string("Quorvane could not detect any new email accounts."));
    QCOMPARE(Accounts.Count(), 1);
}

QTEST_MAIN(TestFirstRun)
#include "first_run_test.moc"
