#include "scan/scan_delivery_context.h"

#include "records/account.h"
#include "scan/scan_state.h"
#include "support/loopback_server.h"
#include "support/process_state.h"
#include "support/recording_scan_view.h"
#include "support/scripted_message_boxes.h"

#include <gtest/gtest.h>

namespace {

// A delivery for a scan whose SMTP server refuses every connection: the
// fifth failure asks whether to reconnect.
class ScanDeliveryTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessState("");
        Account& account = AppendAccount();
        account.SMTPServer = "127.0.0.1";
        account.SMTPPort = UnusedLoopbackPort();
    }
    void TearDown() override { ResetProcessState(""); }

    RecordingScanView view;
};

TEST_F(ScanDeliveryTest, TheElapsedTimeStandsStillWhileTheBoxesWait) {
    view.SetScanPageShowing(true);
    SetElapsedTimeRunning(ScanState, view, true);
    std::vector<bool> runningDuringBoxes;
    SetMessageBoxHandler([&](const std::string&, const std::string&, MsgButtons buttons, MsgIcon) {
        runningDuringBoxes.push_back(ScanState.Clock.Running() || view.ElapsedTimerEnabled);
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    });
    EXPECT_FALSE(ConnectSmtp(1, ScanDeliveryContext(view)));
    SetMessageBoxHandler(nullptr);
    EXPECT_EQ(runningDuringBoxes, (std::vector<bool>{false, false}));
    EXPECT_TRUE(ScanState.Clock.Running());
    EXPECT_TRUE(view.ElapsedTimerEnabled);
}

TEST_F(ScanDeliveryTest, OffTheScanPageTheTimerIsLeftAloneAndTheLogIsTheScans) {
    view.SetScanPageShowing(false);
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::No);
    boxes.Answer(MsgResult::Ok);
    EXPECT_FALSE(ConnectSmtp(1, ScanDeliveryContext(view)));
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_TRUE(view.CallsStartingWith("ElapsedTimer").empty());
    EXPECT_EQ(ScanState.ScanLog.Count(), 10);
}

TEST_F(ScanDeliveryTest, AnUnattendedScanGivesUpWithoutABox) {
    ScanState.Unattended = true;
    ScriptedMessageBoxes boxes; // any box fails the test
    EXPECT_FALSE(ConnectSmtp(1, ScanDeliveryContext(view)));
    EXPECT_EQ(ScanState.ScanLog.Lines().back().rfind("Error connecting to SMTP server: ", 0), 0u);
}

} // namespace
