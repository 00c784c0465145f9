// The sender-list editor: adding, deleting and importing in both frames,
// each change saved at once, the form as the lists' observer, and the lock
// around the address-book detection.
#include "gui_fixture.h"

#include "records/sender_list.h"
#include "records/sender_lists.h"
#include "support/recording_scan_view.h"
#include "ui/lists/sender_list_editor.h"
#include "ui/lists/sender_lists_panel.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/shell/gui_prompts.h"

#include <QFileInfo>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <filesystem>

namespace {

QListWidget* ListBox(SenderListsPanel& form, const QString& frame) {
    return form.findChild<QWidget*>(frame)->findChild<QListWidget*>("entryList");
}

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void Click(SenderListsPanel& form, const QString& frame, const char* button) {
    QTest::mouseClick(form.findChild<QWidget*>(frame)->findChild<QToolButton*>(button), Qt::LeftButton);
}

// What the list's file holds, sorted as the list box shows it.
QStringList Saved(const GuiFixture& fixture, const std::string& fileName) {
    SenderList list(fileName);
    list.LoadFromFile(fixture.Data().Path());
    QStringList entries;
    for (const std::string& entry : list.Strings())
        entries << QString::fromStdString(entry);
    entries.sort();
    return entries;
}

QStringList Messages() {
    QStringList texts;
    for (const std::string& text : ShownMessageTexts())
        texts << QString::fromStdString(text);
    return texts;
}

} // namespace

class TestSenderLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { GuiPrompts::SetUnshown(true); }
    void addStoresLowerCasedValidEntries_data();
    void addStoresLowerCasedValidEntries();
    void keysActOnlyWithoutModifiers_data();
    void keysActOnlyWithoutModifiers();
    void deleteConfirmsAndAnEmptyListHasNoFile();
    void importAddsOnlyValidLines_data();
    void importAddsOnlyValidLines();
    void listsSavedElsewhereAreShown();
    void addressBookDetectionUnlocksWhenSavingFails();
};

void TestSenderLists::addStoresLowerCasedValidEntries_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QString>("message");
    QTest::newRow("upper case") << "Jane@Example.ORG" << true << QStringList{"jane@example.org"} << "";
    QTest::newRow("wildcard domain") << "a@*.org" << true << QStringList{}
                                     << "\"a@*.org\" is not a valid email address, please try again";
    QTest::newRow("cancelled") << "b@x.org" << false << QStringList{} << "";
}

void TestSenderLists::addStoresLowerCasedValidEntries() {
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    QFETCH(QStringList, shown);
    QFETCH(QString, message);
    GuiFixture fixture;
    SenderListsPanel form;
    form.ShowLists();
    form.show();
    QSignalSpy counts(&form, &SenderListsPanel::ApprovedCountChanged);
    GuiPrompts::SetNextText(typed, ok);
    Click(form, "approvedEditor", "addEntryButton");
    QCOMPARE(Texts(ListBox(form, "approvedEditor")), shown);
    QCOMPARE(Saved(fixture, "WhiteList.dat"), shown);
    QCOMPARE(Messages(), message.isEmpty() ? QStringList{} : QStringList{message});
    QCOMPARE(counts.size(), ok && message.isEmpty() ? 1 : 0);
    if (!counts.isEmpty())
        QCOMPARE(counts.first().first().toInt(), int(shown.size()));
}

void TestSenderLists::keysActOnlyWithoutModifiers_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("acts");
    QTest::newRow("Insert") << int(Qt::Key_Insert) << int(Qt::NoModifier) << true;
    QTest::newRow("Shift+Insert") << int(Qt::Key_Insert) << int(Qt::ShiftModifier) << false;
    QTest::newRow("Ctrl+Insert") << int(Qt::Key_Insert) << int(Qt::ControlModifier) << false;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << int(Qt::NoModifier) << true;
    QTest::newRow("Alt+Delete") << int(Qt::Key_Delete) << int(Qt::AltModifier) << false;
}

void TestSenderLists::keysActOnlyWithoutModifiers() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, acts);
    GuiFixture fixture;
    SenderListsPanel form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QListWidget* list = ListBox(form, "approvedEditor");
    list->setFocus();
    GuiPrompts::SetNextText("k@x.org", true);
    QTest::keyClick(list, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    // Takes the answer back when the key did not ask for it.
    bool unused = false;
    GuiPrompts::AskText(nullptr, QString(), QString(), &unused);
    bool acted = key == Qt::Key_Insert ? !unused : Messages() == QStringList{"No address selected."};
    QCOMPARE(acted, acts);
}

void TestSenderLists::deleteConfirmsAndAnEmptyListHasNoFile() {
    GuiFixture fixture;
    ApprovedSenders.AddStrings({"a@x.org", "b@x.org", "c@x.org"});
    SenderListsPanel form;
    form.ShowLists();
    form.show();
    QListWidget* list = ListBox(form, "approvedEditor");
    Click(form, "approvedEditor", "deleteEntryButton");
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    GuiMessageBoxes::SetNextAnswer(MsgResult::No);
    Click(form, "approvedEditor", "deleteEntryButton");
    QCOMPARE(Texts(list), QStringList({"a@x.org", "b@x.org", "c@x.org"}));
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    Click(form, "approvedEditor", "deleteEntryButton");
    QCOMPARE(Texts(list), QStringList{"b@x.org"});
    QCOMPARE(Saved(fixture, "WhiteList.dat"), QStringList{"b@x.org"});
    list->item(0)->setSelected(true);
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    Click(form, "approvedEditor", "deleteEntryButton");
    QVERIFY(!QFileInfo::exists(QString::fromStdString(fixture.Data().File("WhiteList.dat"))));
    QCOMPARE(Messages(), QStringList({"No address selected.", "Are you sure?", "Are you sure?", "Are you sure?"}));
}

void TestSenderLists::importAddsOnlyValidLines_data() {
    QTest::addColumn<QString>("frame");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("messages");
    QStringList valid{"bob@x.org", "jane@example.org", "last@x.org"};
    QTest::newRow("approved") << "approvedEditor" << true << valid << QStringList{};
    QTest::newRow("blacklist") << "blockedEditor" << true << valid << QStringList{};
    QTest::newRow("unreadable") << "approvedEditor" << false << QStringList{} << QStringList{"Unable to import file."};
}

void TestSenderLists::importAddsOnlyValidLines() {
    QFETCH(QString, frame);
    QFETCH(bool, readable);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, messages);
    GuiFixture fixture;
    SenderListsPanel form;
    form.show();
    if (frame == "blockedEditor")
        form.ShowBlacklistOnly();
    if (readable)
        fixture.Data().Write("import.txt",
                             "  Jane@Example.org  \r\n#x@y.org\r\nnot-an-address\r\nbob@x.org\rlast@x.org");
    GuiPrompts::SetNextFileName(QString::fromStdString(fixture.Data().File("import.txt")));
    Click(form, frame, "importEntriesButton");
    QCOMPARE(Texts(ListBox(form, frame)), shown);
    QCOMPARE(Saved(fixture, frame == "approvedEditor" ? "WhiteList.dat" : "BlackList.dat"), shown);
    QCOMPARE(Messages(), messages);
}

void TestSenderLists::listsSavedElsewhereAreShown() {
    GuiFixture fixture;
    {
        SenderListsPanel form;
        ApprovedSenders.Add("new@x.org");
        BlockedSenders.Add("bad@x.org");
        SaveLists();
        QCOMPARE(Texts(ListBox(form, "approvedEditor")), QStringList{"new@x.org"});
        QCOMPARE(Texts(ListBox(form, "blockedEditor")), QStringList{"bad@x.org"});
    }
    // The form is gone: saving must not reach it.
    SaveLists();
}

void TestSenderLists::addressBookDetectionUnlocksWhenSavingFails() {
    GuiFixture fixture;
    RecordingScanView view;
    // A folder where the list file belongs: SaveLists cannot write it.
    std::filesystem::create_directory(fixture.Data().File("WhiteList.dat"));
    SenderListsPanel form;
    form.show();
    auto* frame = form.findChild<SenderListEditor*>("approvedEditor");
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, frame->DetectAddressBooks());
    QCOMPARE(view.CallsStartingWith("Disable: ").size(), size_t(6));
    for (ScanControl control : {ScanControl::Scan, ScanControl::Quarantine, ScanControl::Settings, ScanControl::Help,
                                ScanControl::About, ScanControl::CloseCommand})
        QVERIFY(view.ControlEnabled(control));
    QVERIFY(!view.BusyCursor);
    QVERIFY(frame->findChild<QToolButton*>("addEntryButton")->isEnabled());
    QVERIFY(form.findChild<QWidget*>("blockedEditor")->findChild<QToolButton*>("detectAddressBooksButton")->isHidden());
}

QTEST_MAIN(TestSenderLists)
#include "sender_lists_test.moc"
