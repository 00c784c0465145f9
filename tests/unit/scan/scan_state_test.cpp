#include "scan/scan_state.h"

#include "scan/scan_view.h"
#include "support/recording_scan_view.h"
#include "support/scripted_message_boxes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using std::chrono::milliseconds;

TEST(PercentText, TwoDecimalsRoundedHalfAwayFromZero) {
    struct Case {
        int part, whole;
        const char* text;
    };
    const Case cases[] = {
        {4, 8, "50.00"}, {1, 3, "33.33"},  {2, 3, "66.67"},   {1, 1, "100.00"}, {1, 800, "0.13"},
        {1, 7, "14.29"}, {0, 0, "0.00"},   {0, 9, "0.00"},    {3, 0, "0.00"},   {7, 7000, "0.10"},
        {1, 6, "16.67"}, {5, 2, "250.00"}, {1, 1600, "0.06"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PercentText(c.part, c.whole), c.text) << c.part << "/" << c.whole;
}

TEST(Statistics, ResponsesAreNotCountedAsScannedMail) {
    ScanRunState state;
    EXPECT_EQ(ScannedText(state), "0");
    EXPECT_EQ(SpamText(state), "0 (0.00%)");
    state.MessagesScanned = 10;
    state.ResponsesReceived = 2;
    state.SpamDetected = 4;
    RecordingScanView view;
    ShowStatistics(state, view);
    EXPECT_EQ(view.ScannedText, "8");
    EXPECT_EQ(view.SpamText, "4 (50.00%)");
}

TEST(ElapsedTimeText, HoursMinutesSeconds) {
    const std::pair<int, const char*> cases[] = {
        {0, "00:00:00"},    {59, "00:00:59"},     {60, "00:01:00"},      {3599, "00:59:59"},
        {3725, "01:02:05"}, {359999, "99:59:59"}, {360000, "100:00:00"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(ElapsedTimeText(seconds), text) << seconds;
}

struct FakeTime {
    milliseconds now{1000000};
    ElapsedClock::Source Source() {
        return [this] { return now; };
    }
};

TEST(ElapsedClock, CountsOnlyWhileRunning) {
    FakeTime time;
    ElapsedClock clock(time.Source());
    EXPECT_EQ(clock.Seconds(), 0);
    clock.Start();
    time.now += milliseconds(1500);
    EXPECT_EQ(clock.Seconds(), 1);
    clock.Stop();
    time.now += milliseconds(60000); // a prompt waiting for the user
    EXPECT_EQ(clock.Seconds(), 1);
    clock.Start();
    clock.Start(); // a second start changes nothing
    time.now += milliseconds(600);
    EXPECT_EQ(clock.Seconds(), 2);
    clock.Reset();
    EXPECT_FALSE(clock.Running());
    EXPECT_EQ(clock.Seconds(), 0);
}

TEST(ElapsedTime, TickShowsTheClockInTheStatusPanel) {
    FakeTime time;
    ScanRunState state;
    state.Clock = ElapsedClock(time.Source());
    RecordingScanView view;
    ResetElapsedTime(state, view);
    EXPECT_EQ(view.StatusText, "00:00:00");
    SetElapsedTimeRunning(state, view, true);
    EXPECT_TRUE(view.ElapsedTimerEnabled);
    time.now += milliseconds(3725 * 1000 + 400);
    ElapsedTimeTick(state, view);
    EXPECT_EQ(state.ElapsedSeconds, 3725);
    EXPECT_EQ(view.StatusText, "01:02:05");
    SetElapsedTimeRunning(state, view, false);
    EXPECT_FALSE(view.ElapsedTimerEnabled);
    time.now += milliseconds(5000);
    ElapsedTimeTick(state, view);
    EXPECT_EQ(view.StatusText, "01:02:05");
}

TEST(ScanLog, SavedAsCrLfLinesReplacingTheOldFile) {
    TempFolder folder;
    folder.Write("log.txt", "previous run\r\n");
    ScanLog log;
    log.Add("Start scan: 01/02/2024 10:00:00");
    log.Add("Error connecting to SMTP server: Socket Error # 111\r\nConnection refused.");
    log.Add("");
    log.SaveToFolder(folder.Path());
    EXPECT_EQ(folder.Read("log.txt"), "Start scan: 01/02/2024 10:00:00\r\n"
                                      "Error connecting to SMTP server: Socket Error # 111\r\nConnection refused.\r\n"
                                      "\r\n");
    log.Clear();
    EXPECT_EQ(log.Count(), 0);
}

TEST(ScanLog, FailsLoudlyWhenTheFolderIsMissing) {
    TempFolder folder;
    ScanLog log;
    log.Add("line");
    EXPECT_THROW(log.SaveToFolder(folder.File("missing")), std::runtime_error);
}

TEST(AddressList, ContainsIgnoresCase) {
    AddressList list;
    list.Add("Ann@Example.com");
    EXPECT_TRUE(list.Contains("ann@example.COM"));
    EXPECT_FALSE(list.Contains("bob@example.com"));
    list.Clear();
    EXPECT_FALSE(list.Contains("ann@example.com"));
}

TEST(ScanView, NavigationTogglesTheSixButtonsOnly) {
    RecordingScanView view;
    SetNavigationEnabled(view, false);
    for (ScanControl control : {ScanControl::Scan, ScanControl::Quarantine, ScanControl::ApprovedSenders,
                                ScanControl::Settings, ScanControl::Help, ScanControl::About})
        EXPECT_FALSE(view.ControlEnabled(control)) << ScanControlName(control);
    EXPECT_TRUE(view.ControlEnabled(ScanControl::Start));
    EXPECT_TRUE(view.ControlEnabled(ScanControl::CloseCommand));
    EXPECT_EQ(view.Calls().size(), 6u);
}

TEST(ScanView, CurrentViewIsQuietUntilOneIsSet) {
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Yes);
    // The quiet view passes its message boxes on to the front end's handler.
    EXPECT_EQ(CurrentScanView().MessageBox("Question?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning),
              MsgResult::Yes);
    EXPECT_FALSE(CurrentScanView().ControlEnabled(ScanControl::Cancel));
    {
        RecordingScanView view;
        CurrentScanView().SetHeadline("Scanning");
        EXPECT_EQ(view.Headline, "Scanning");
    }
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].title, "Confirm");
}

} // namespace
