// The quarantine page on the offscreen platform: captions, categories,
// sorting, selection, keys, and approve and release through loopback POP3
// and SMTP servers.
#include "gui_fixture.h"

#include "platform/date_time.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/password_scramble.h"
#include "records/sender_lists.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "ui/main/main_window.h"
#include "ui/shell/gui_message_boxes.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

namespace {

struct Mail {
    std::string Sender;
    std::string Subject;
    int Category = 0;
    int DaysAgo = 0;
};

std::vector<std::string> Settings(int accounts, int pop3Port = 1, int smtpPort = 1,
                                  const std::vector<std::string>& extra = {}) {
    std::vector<std::string> lines{"[Settings]", "NumAccounts=" + std::to_string(accounts), "SyncAddressBook=0",
                                   "Maximized=0", "Timeout=30"};
    lines.insert(lines.end(), extra.begin(), extra.end());
    for (int n = 1; n <= accounts; ++n) {
        std::string number = std::to_string(n);
        for (const std::string& line : std::vector<std::string>{
                 "[Account" + number + "]", "ID={5CA1AB1E-0000-4000-8000-00000000000" + number + "}",
                 "EmailAddress=account" + number + "@example.net", "Server=127.0.0.1",
                 "Port=" + std::to_string(pop3Port), "Login=" + std::string(FakePop3Server::User),
                 "Password=" + ScramblePassword(FakePop3Server::Password), "SMTPServer=127.0.0.1",
                 "SMTPPort=" + std::to_string(smtpPort)})
            lines.push_back(line);
    }
    return lines;
}

// Puts messages into account's quarantine, oldest first, with their files.
void Quarantine(const GuiFixture& fixture, int account, const std::vector<Mail>& mails) {
    Account& item = Accounts.Item(account);
    EnsureFolder(AccountFolder(account));
    for (const Mail& mail : mails) {
        std::string file = "{" + mail.Subject + "-" + std::to_string(item.Quarantine.Count()) + "}.dat";
        fixture.Data().Write("Accounts/" + item.ID + "/" + file,
                             "From: " + mail.Sender + "\r\nTo: " + item.EmailAddress + "\r\nSubject: " + mail.Subject +
                                 "\r\n\r\nHello.\r\n");
        item.Quarantine.Add(mail.Sender, "", mail.Category, file, Now() - mail.DaysAgo, mail.Subject,
                            item.EmailAddress);
    }
}

template <class T> T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(name);
    if (!child)
        qFatal("no object %s", name);
    return child;
}

QStringList Column(QTreeView* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts << list->model()->index(row, column).data().toString();
    return texts;
}

void SelectRows(QTreeView* list, std::initializer_list<int> rows) {
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

bool Enabled(QWidget& window, const char* action) {
    return Child<QAction>(window, action)->isEnabled();
}

} // namespace

class TestQuarantineView : public QObject {
    Q_OBJECT
private slots:
    void captionsTitleAndStripFollowAccountAndCategory();
    void headerClicksSortAndOrderReceivedRestores();
    void selectionEnablesTheCommands();
    void storedZeroWidthHidesTheFromColumn();
    void keysDeleteAndSelectAll();
    void approveAndReleaseSendThroughTheAccountsServer_data();
    void approveAndReleaseSendThroughTheAccountsServer();
};

void TestQuarantineView::captionsTitleAndStripFollowAccountAndCategory() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings(2));
    auto window = fixture.StartWindow();
    Quarantine(fixture, 0, {{"a@example.org", "one"}, {"b@example.org", "two"}, {"c@example.org", "spam", 3}});
    Quarantine(fixture, 1, {{"d@example.org", "other"}});
    QTest::mouseClick(Child<QToolButton>(*window, "quarantineButton"), Qt::LeftButton);

    auto* accounts = Child<QTabBar>(*window, "accountTabs");
    auto* categories = Child<QTabBar>(*window, "categoryTabs");
    QCOMPARE(accounts->tabText(0), QString("account1@example.net - 3"));
    QCOMPARE(accounts->tabText(1), QString("account2@example.net - 1"));
    QCOMPARE(categories->tabText(0), QString("Challenged Mail - 2"));
    QCOMPARE(categories->tabText(3), QString("Obvious Spam - 1"));
    QCOMPARE(Column(Child<QTreeView>(*window, "messageList"), 1), QStringList({"two", "one"})); // newest first

    categories->setCurrentIndex(3);
    QCOMPARE(Child<QLabel>(*window, "quarantineTitleLabel")->text(), QString("Quarantine: Obvious Spam"));
    QCOMPARE(Child<QLabel>(*window, "informationLabel")->text(), QString("These are obvious spam messages."));
    QCOMPARE(Column(Child<QTreeView>(*window, "messageList"), 1), QStringList({"spam"}));

    accounts->setCurrentIndex(1);
    QCOMPARE(categories->tabText(0), QString("Challenged Mail - 1"));
    QCOMPARE(Child<QLabel>(*window, "quarantineTitleLabel")->text(), QString("Quarantine: Obvious Spam"));
    QCOMPARE(Child<QTreeView>(*window, "messageList")->model()->rowCount(), 0);
}

void TestQuarantineView::headerClicksSortAndOrderReceivedRestores() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings(1));
    auto window = fixture.StartWindow();
    Quarantine(fixture, 0, {{"x@example.org", "b", 0, 1}, {"y@example.org", "a", 0, 3}, {"z@example.org", "c", 0, 2}});
    QTest::mouseClick(Child<QToolButton>(*window, "quarantineButton"), Qt::LeftButton);
    auto* list = Child<QTreeView>(*window, "messageList");
    QHeaderView* header = list->header();
    QCOMPARE(Column(list, 1), QStringList({"c", "a", "b"}));

    header->sectionClicked(1);
    QCOMPARE(Column(list, 1), QStringList({"a", "b", "c"}));
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    QVERIFY(Child<QAction>(*window, "sortSubjectAscAction")->isChecked());
    header->sectionClicked(1);
    QCOMPARE(Column(list, 1), QStringList({"c", "b", "a"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    Child<QAction>(*window, "sortDateAscAction")->trigger();
    QCOMPARE(Column(list, 1), QStringList({"a", "c", "b"}));
    QCOMPARE(header->sortIndicatorSection(), 2);

    Child<QAction>(*window, "sortReceivedAction")->trigger();
    QCOMPARE(Column(list, 1), QStringList({"c", "a", "b"}));
    QVERIFY(!header->isSortIndicatorShown());

    // The order is kept in the settings file for the next start.
    header->sectionClicked(0);
    window->Exit();
    QVERIFY(fixture.Data().Read("vantrel.ini").find("SortColumn=0") != std::string::npos);
}

void TestQuarantineView::selectionEnablesTheCommands() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings(1));
    auto window = fixture.StartWindow();
    Quarantine(fixture, 0, {{"x@example.org", "one"}, {"y@example.org", "two"}});
    QTest::mouseClick(Child<QToolButton>(*window, "quarantineButton"), Qt::LeftButton);
    auto* list = Child<QTreeView>(*window, "messageList");
    const char* commands[] = {"approveAction", "releaseAction", "deleteAction"};
    for (const char* command : commands)
        QVERIFY(!Enabled(*window, command));
    QVERIFY(!Enabled(*window, "previewAction"));
    SelectRows(list, {0});
    QVERIFY(Enabled(*window, "previewAction"));
    SelectRows(list, {0, 1});
    QVERIFY(!Enabled(*window, "previewAction"));
    for (const char* command : commands)
        QVERIFY(Enabled(*window, command));
}

void TestQuarantineView::storedZeroWidthHidesTheFromColumn() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings(1, 1, 1, {"Column1=0", "Column2=250"}));
    auto window = fixture.StartWindow();
    QHeaderView* header = Child<QTreeView>(*window, "messageList")->header();
    QCOMPARE(header->sectionSize(0), 0);
    QCOMPARE(header->sectionSize(1), 250);
    QCOMPARE(header->sectionSize(2), 100);
}

void TestQuarantineView::keysDeleteAndSelectAll() {
    GuiFixture fixture;
    fixture.WriteSettings(Settings(1));
    auto window = fixture.StartWindow();
    Quarantine(fixture, 0, {{"x@example.org", "one"}, {"y@example.org", "two"}, {"z@example.org", "three"}});
    QTest::mouseClick(Child<QToolButton>(*window, "quarantineButton"), Qt::LeftButton);
    auto* list = Child<QTreeView>(*window, "messageList");

    QTest::keyRelease(list, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(list->selectionModel()->selectedRows().size(), 3);

    SelectRows(list, {0});
    std::string file = AccountFolder(0) + "/" + Accounts.Item(0).Quarantine.Item(2).FileName;
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(ShownMessageTexts(), std::vector<std::string>{"Delete selected messages?"});
    QCOMPARE(Column(list, 1), QStringList({"two", "one"}));
    QVERIFY(!FileExists(file));
    QCOMPARE(Child<QTabBar>(*window, "accountTabs")->tabText(0), QString("account1@example.net - 2"));
}

void TestQuarantineView::approveAndReleaseSendThroughTheAccountsServer_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("sent");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<bool>("approved");
    QTest::newRow("approve") << "approveAction" << 2 << QStringList({"other"}) << true;
    QTest::newRow("release") << "releaseAction" << 1 << QStringList({"other", "first"}) << false;
}

void TestQuarantineView::approveAndReleaseSendThroughTheAccountsServer() {
    QFETCH(QString, action);
    QFETCH(int, sent);
    QFETCH(QStringList, left);
    QFETCH(bool, approved);
    GuiFixture fixture;
    FakePop3Server pop3({});
    FakeSmtpServer smtp;
    fixture.WriteSettings(Settings(1, pop3.Port(), smtp.Port()));
    auto window = fixture.StartWindow();
    Quarantine(fixture, 0, {{"ann@example.org", "first"}, {"bob@example.org", "other"}, {"ann@example.org", "second"}});
    QTest::mouseClick(Child<QToolButton>(*window, "quarantineButton"), Qt::LeftButton);
    auto* list = Child<QTreeView>(*window, "messageList");
    SelectRows(list, {0}); // "second", from ann

    bool waitShown = false;
    WhenDialogShown(window.get(), "WaitWindow", [&](QWidget*) { waitShown = true; });
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    Child<QAction>(*window, qPrintable(action))->trigger();

    smtp.Stop();
    QCOMPARE(int(smtp.Messages().size()), sent);
    QVERIFY(waitShown);
    QVERIFY(!window->findChild<QWidget*>("WaitWindow"));
    QCOMPARE(Column(list, 1), left);
    QCOMPARE(ApprovedSenders.Matches("ann@example.org"), approved);
    QCOMPARE(window->StatusPanel(1), QString("Finished releasing messages to inbox."));
    QVERIFY(Child<QToolButton>(*window, "scanButton")->isEnabled() &&
            Child<QTabBar>(*window, "accountTabs")->isEnabled());
}

QTEST_MAIN(TestQuarantineView)
#include "quarantine_view_test.moc"
