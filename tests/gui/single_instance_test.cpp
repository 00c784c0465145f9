// One desktop program per user and data folder: a second start hands its
// message to the running one and waits until it is handled; the command
// line finds the folder held by the desktop program and says so.
#include "gui_fixture.h"

#include "records/password_scramble.h"
#include "support/fake_pop3_server.h"
#include "test_paths.h"
#include "ui/main/main_window.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/shell/single_instance.h"

#include <QProcess>
#include <QTest>

#include <atomic>
#include <thread>

namespace {

QProcessEnvironment ProgramEnvironment(const TempFolder& data) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUORVANE_DATA_DIR", QString::fromStdString(data.Path()));
    environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(data.Path()));
    environment.insert("HOME", QString::fromStdString(data.Path()));
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
}

// Runs a program to its end; its exit status, or -1 when it hangs.
int Run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
        QByteArray* errors = nullptr) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (errors)
        *errors = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void secondStartHandsOverAndTheCommandLineIsTold();
    void senderWaitsUntilTheActionIsDone();
};

void TestSingleInstance::secondStartHandsOverAndTheCommandLineIsTold() {
    TempFolder data;
    data.Write("vantrel.ini", "[Settings]\r\nNumAccounts=1\r\nSyncAddressBook=0\r\n[Account1]\r\n"
                              "ID={5CA1AB1E-0000-4000-8000-000000000001}\r\nEmailAddress=me@example.net\r\n");
    QProcessEnvironment environment = ProgramEnvironment(data);
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(VANTREL_BINARY, {});
    QVERIFY(first.waitForStarted());
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(data.Path()));
    QString server = InstanceServerName(data.Path());
    QTRY_VERIFY_WITH_TIMEOUT(SendToRunningInstance(server, MsgShowWindow), 15000);

    // A second start ends at once, the first goes on.
    QCOMPARE(Run(VANTREL_BINARY, {}, environment), 0);
    QCOMPARE(first.state(), QProcess::Running);

    // A list change from the command line is refused without waiting.
    QByteArray errors;
    QCOMPARE(
        Run(QUORVANE_BINARY, {"--wait", "20", "lists", "add", "approved", "friend@example.org"}, environment, &errors),
        1);
    QVERIFY2(errors.contains("The Quorvane desktop program is running"), errors.constData());
    QVERIFY(!errors.contains("Waiting for another"));

    // "-exit" ends the running one, which saves its window state first.
    QCOMPARE(Run(VANTREL_BINARY, {"-exit"}, environment), 0);
    QVERIFY(first.waitForFinished(15000));
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(data.Read("vantrel.ini").find("Maximized=") != std::string::npos);

    // With the desktop program gone, the command line may change the folder.
    QCOMPARE(Run(QUORVANE_BINARY, {"lists", "add", "approved", "friend@example.org"}, environment), 0);
}

void TestSingleInstance::senderWaitsUntilTheActionIsDone() {
    GuiFixture fixture;
    FakePop3Server pop3({});
    fixture.WriteSettings({"[Settings]", "NumAccounts=1", "SyncAddressBook=0", "EmailClient=/usr/bin/mailer",
                           "[Account1]", "ID={5CA1AB1E-0000-4000-8000-000000000001}", "EmailAddress=me@example.net",
                           "Server=127.0.0.1", "Port=" + std::to_string(pop3.Port()),
                           "Login=" + std::string(FakePop3Server::User),
                           "Password=" + ScramblePassword(FakePop3Server::Password)});
    auto window = fixture.StartWindow();
    QString name = InstanceServerName(fixture.Data().Path());
    InstanceServer server([&window](int message) { window->HandleInstanceMessage(message); });
    QVERIFY(server.Listen(name));

    std::atomic<bool> returned{false}, delivered{false};
    std::atomic<size_t> startedWhenReturned{0};
    std::thread second([&] {
        delivered = SendToRunningInstance(name, MsgOpenEmail);
        startedWhenReturned = fixture.StartedPrograms().size();
        returned = true;
    });
    // The running instance scans, asks, starts the mail client; only then
    // does the sender return.
    QTRY_VERIFY_WITH_TIMEOUT(returned, 15000);
    second.join();
    QVERIFY(delivered);
    QCOMPARE(pop3.Connections(), 1);
    QCOMPARE(startedWhenReturned.load(), size_t(1));
    QCOMPARE(fixture.StartedPrograms()[0].Program, QString("/usr/bin/mailer"));
}

QTEST_MAIN(TestSingleInstance)
#include "single_instance_test.moc"
