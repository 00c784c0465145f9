// The small parts of the shell: the approve prompt's countdown, the grey
// images of disabled buttons, the command-line switches and the tray icon.
#include "ui/dialogs/approve_dialog.h"
#include "ui/main/navigation_images.h"
#include "ui/shell/command_switch.h"
#include "ui/shell/tray_icon.h"

#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TestShellParts : public QObject {
    Q_OBJECT
private slots:
    void approvePromptApprovesWhenTheCountdownEnds();
    void approvePromptRejects();
    void disabledImageRule_data();
    void disabledImageRule();
    void hasSwitch_data();
    void hasSwitch();
    void trayClickOpensTheMenuUnlessTheWelcomeIsOpen();
    void trayImagesAlternateWhileAnimating();
};

void TestShellParts::approvePromptApprovesWhenTheCountdownEnds() {
    ApproveDialog prompt("Jane <jane@example.org>\r\nRe: Lunch");
    prompt.show();
    auto* approve = prompt.findChild<QPushButton*>("approveButton");
    QCOMPARE(prompt.windowTitle(), QString("Approve Sender?"));
    QCOMPARE(approve->text(), QString("Approve Sender - 30"));
    QSignalSpy finished(&prompt, &QDialog::finished);
    for (int tick = 0; tick < 29; ++tick)
        prompt.Tick();
    QCOMPARE(approve->text(), QString("Approve Sender - 1"));
    QVERIFY(finished.isEmpty());
    prompt.Tick();
    QCOMPARE(approve->text(), QString("Approve Sender - 0"));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(prompt.result(), int(QDialog::Accepted));
    // The real timer drives the same ticks.
    QVERIFY(prompt.findChild<QTimer*>("countdownTimer")->interval() == 1000);
}

void TestShellParts::approvePromptRejects() {
    ApproveDialog prompt("someone@example.org");
    prompt.show();
    prompt.Tick();
    QTest::mouseClick(prompt.findChild<QPushButton*>("rejectButton"), Qt::LeftButton);
    QCOMPARE(prompt.result(), int(QDialog::Rejected));
    // Shown again, the countdown starts over.
    prompt.show();
    QCOMPARE(prompt.Countdown(), 30);
}

void TestShellParts::disabledImageRule_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRgb>("colour");
    QTest::addColumn<QSize>("result");
    QTest::addColumn<int>("grey");
    QTest::newRow("square black") << QSize(2, 2) << qRgb(0, 0, 0) << QSize(4, 2) << 96;
    QTest::newRow("square white") << QSize(2, 2) << qRgb(255, 255, 255) << QSize(4, 2) << 223;
    // (10 + 200 + 31) / 3 = 80, / 2 = 40, + 96
    QTest::newRow("square colour") << QSize(3, 3) << qRgb(10, 200, 31) << QSize(6, 3) << 136;
    QTest::newRow("not square") << QSize(4, 2) << qRgb(10, 200, 31) << QSize(4, 2) << -1;
}

void TestShellParts::disabledImageRule() {
    QFETCH(QSize, size);
    QFETCH(QRgb, colour);
    QFETCH(QSize, result);
    QFETCH(int, grey);
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QImage strip = WithDisabledImage(image);
    QCOMPARE(strip.size(), result);
    QCOMPARE(strip.pixel(0, 0), colour);
    if (grey >= 0)
        QCOMPARE(strip.pixel(size.width(), size.height() - 1), qRgb(grey, grey, grey));
    QIcon icon = NavigationIcon(strip);
    QImage disabled = icon.pixmap(size.height(), QIcon::Disabled).toImage();
    QCOMPARE(disabled.pixel(0, 0), grey >= 0 ? qRgb(grey, grey, grey) : disabled.pixel(0, 0));
}

void TestShellParts::hasSwitch_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("email");
    QTest::newRow("slash") << "/email" << true;
    QTest::newRow("dash upper") << "-EMAIL" << true;
    QTest::newRow("colon") << "/Email:x" << true;
    QTest::newRow("bare") << "email" << false;
    QTest::newRow("longer") << "/emails" << false;
    QTest::newRow("double dash") << "--email" << false;
}

void TestShellParts::hasSwitch() {
    QFETCH(QString, argument);
    QFETCH(bool, email);
    QCOMPARE(HasSwitch({"vantrel-ignored", argument.toStdString()}, "email"), email);
}

void TestShellParts::trayClickOpensTheMenuUnlessTheWelcomeIsOpen() {
    QMenu menu;
    menu.addAction("E&xit");
    TrayIcon tray(&menu);
    QCOMPARE(tray.Icon()->toolTip(), QString("Quorvane"));
    tray.SetReactive(false);
    tray.OnActivated(QSystemTrayIcon::Trigger);
    QVERIFY(!menu.isVisible());
    tray.SetReactive(true);
    tray.OnActivated(QSystemTrayIcon::Trigger);
    QTRY_VERIFY(menu.isVisible());
}

void TestShellParts::trayImagesAlternateWhileAnimating() {
    QMenu menu;
    TrayIcon tray(&menu);
    tray.StartAnimation();
    QTRY_COMPARE_WITH_TIMEOUT(tray.ImageIndex(), 1, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(tray.ImageIndex(), 0, 2000);
    tray.StopAnimation();
    tray.Reset();
    QVERIFY(!tray.Animating());
    QCOMPARE(tray.ImageIndex(), 0);
}

QTEST_MAIN(TestShellParts)
#include "shell_parts_test.moc"
