#include "challenge/quarantine_actions.h"
#include "challenge/quarantine_view.h"

#include "quarantine_fixture.h"
#include "support/recording_scan_view.h"

namespace {

class RecordingActionWindow : public QuarantineActionWindow {
public:
    void ShowWaitWindow() override { calls.push_back("ShowWait"); }
    void CloseWaitWindow() override { calls.push_back("CloseWait"); }
    void SetAccountTabsEnabled(bool enabled) override { calls.push_back(enabled ? "TabsOn" : "TabsOff"); }
    void SetSettingsTabsEnabled(bool enabled) override { calls.push_back(enabled ? "SettingsOn" : "SettingsOff"); }
    std::vector<std::string> calls;
};

class DeleteFromViewTest : public QuarantineFixture {
protected:
    RecordingScanView m_scanView;
    RecordingActionWindow m_window;
    QuarantineView m_view;
};

TEST_F(DeleteFromViewTest, TwoSelectedRowsLoseFilesAndEntriesAndNothingIsLogged) {
    AddAccount("me@example.com");
    int keep = Quarantine(0, "a@example.org", "keep");
    int first = Quarantine(0, "b@example.org", "first");
    int second = Quarantine(0, "c@example.org", "second");
    std::string firstFile = FileOf(0, first), secondFile = FileOf(0, second), keptFile = FileOf(0, keep);
    m_view.Fill();
    m_view.Select(0);
    m_view.Select(1);
    m_scanView.AnswerMessageBox(MsgResult::Yes);

    DeleteFromView(m_view, m_window);

    EXPECT_FALSE(FileExists(firstFile));
    EXPECT_FALSE(FileExists(secondFile));
    EXPECT_TRUE(FileExists(keptFile));
    ASSERT_EQ(Accounts.Item(0).Quarantine.Count(), 1);
    EXPECT_EQ(Accounts.Item(0).Quarantine.Item(0).Id, keep);
    EXPECT_EQ(SavedCount(0), 1);
    ASSERT_EQ(m_view.Rows().size(), 1u);
    EXPECT_EQ(m_view.Rows()[0].Subject, "keep");
    EXPECT_FALSE(FileExists(m_data.File("log.txt")));
    EXPECT_EQ(m_scanView.CallsStartingWith("MessageBox"),
              std::vector<std::string>{"MessageBox: Confirm: Delete selected messages?"});
    EXPECT_EQ(m_window.calls, (std::vector<std::string>{"TabsOff", "TabsOn"}));
    for (ScanControl control :
         {ScanControl::Scan, ScanControl::Quarantine, ScanControl::ApprovedSenders, ScanControl::Settings})
        EXPECT_TRUE(m_scanView.ControlEnabled(control));
    EXPECT_TRUE(m_scanView.CallsStartingWith("Disable: Help").empty());
    EXPECT_FALSE(m_scanView.BusyCursor);
}

TEST_F(DeleteFromViewTest, NothingSelectedOnlyTellsTheUser) {
    AddAccount("me@example.com");
    Quarantine(0, "a@example.org", "one");
    m_view.Fill();
    m_scanView.AnswerMessageBox(MsgResult::Ok);
    DeleteFromView(m_view, m_window);
    EXPECT_EQ(m_scanView.CallsStartingWith("MessageBox"),
              std::vector<std::string>{"MessageBox: Notice: No message is selected."});
    EXPECT_EQ(Accounts.Item(0).Quarantine.Count(), 1);
}

TEST_F(DeleteFromViewTest, AnswerNoKeepsEverything) {
    AddAccount("me@example.com");
    int id = Quarantine(0, "a@example.org", "one");
    m_view.Fill();
    m_view.Select(0);
    m_scanView.AnswerMessageBox(MsgResult::No);
    DeleteFromView(m_view, m_window);
    EXPECT_TRUE(FileExists(FileOf(0, id)));
    EXPECT_TRUE(m_window.calls.empty());
}

TEST_F(DeleteFromViewTest, MissingFileAndVanishedEntryDoNotStopTheOthers) {
    AddAccount("me@example.com");
    int gone = Quarantine(0, "a@example.org", "file gone");
    int vanished = Quarantine(0, "b@example.org", "entry gone");
    int last = Quarantine(0, "c@example.org", "last");
    std::remove(FileOf(0, gone).c_str());
    std::string lastFile = FileOf(0, last);
    m_view.Fill();
    m_view.SelectAll();
    // The entry disappears after the view was filled.
    QuarantineIndex& items = Accounts.Item(0).Quarantine;
    for (int i = 0; i < items.Count(); ++i)
        if (items.Item(i).Id == vanished)
            items.Delete(i);
    m_scanView.AnswerMessageBox(MsgResult::Yes);
    DeleteFromView(m_view, m_window);
    EXPECT_EQ(items.Count(), 0);
    EXPECT_FALSE(FileExists(lastFile));
}

} // namespace
