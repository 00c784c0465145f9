#include "cli/terminal_scan_view.h"

#include "cli/interrupt_watch.h"
#include "cli/terminal_input.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class TerminalScanViewTest : public testing::Test {
protected:
    TerminalScanView& View(const std::string& input, TerminalScanOptions options = {}) {
        m_in.str(input);
        m_input = std::make_unique<StreamInput>(m_in);
        m_view = std::make_unique<TerminalScanView>(m_out, m_err, *m_input, options);
        return *m_view;
    }

    std::istringstream m_in;
    std::ostringstream m_out, m_err;
    std::unique_ptr<StreamInput> m_input;
    std::unique_ptr<TerminalScanView> m_view;
};

struct ApproveCase {
    const char* name;
    std::string input;
    bool approved;
};

class ApprovePrompt : public TerminalScanViewTest, public testing::WithParamInterface<ApproveCase> {};

TEST_P(ApprovePrompt, AnswersOrCountsDownToApproval) {
    TerminalScanOptions options;
    options.ApproveSeconds = 3;
    EXPECT_EQ(View(GetParam().input, options).AskApproveSender("Ann <ann@example.org>\r\nRe: hello"),
              GetParam().approved);
    EXPECT_NE(m_err.str().find("his/her emails:\nAnn <ann@example.org>\nRe: hello\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Answers, ApprovePrompt,
                         testing::Values(ApproveCase{"Reject", "r\n", false},
                                         ApproveCase{"RejectWord", "Reject\n", false},
                                         ApproveCase{"EnterApproves", "\n", true},
                                         ApproveCase{"UnknownThenReject", "maybe\nn\n", false},
                                         ApproveCase{"NobodyAnswers", "", true}),
                         [](const testing::TestParamInfo<ApproveCase>& info) { return std::string(info.param.name); });

TEST_F(TerminalScanViewTest, CountdownEndsAtZero) {
    TerminalScanOptions options;
    options.ApproveSeconds = 2;
    View("", options).AskApproveSender("x@example.org\r\nhi");
    EXPECT_NE(m_err.str().find("Approve Sender - 2"), std::string::npos);
    EXPECT_NE(m_err.str().find("Approve Sender - 0\nSender approved.\n"), std::string::npos);
}

TEST_F(TerminalScanViewTest, UnattendedPromptReadsNothing) {
    TerminalScanOptions options;
    options.Unattended = true;
    options.ApproveSeconds = 0;
    EXPECT_TRUE(View("r\n", options).AskApproveSender("x@example.org\r\nhi"));
    std::string left;
    std::getline(m_in, left);
    EXPECT_EQ(left, "r");
}

struct BoxCase {
    const char* name;
    std::string input;
    bool unattended, assumeYes;
    MsgButtons buttons;
    MsgResult result;
};

class MessageBoxes : public TerminalScanViewTest, public testing::WithParamInterface<BoxCase> {};

TEST_P(MessageBoxes, AskOnTheTerminal) {
    TerminalScanOptions options;
    options.Unattended = GetParam().unattended;
    options.AssumeYes = GetParam().assumeYes;
    EXPECT_EQ(View(GetParam().input, options).MessageBox("Go on?", "Confirm", GetParam().buttons, MsgIcon::Warning),
              GetParam().result);
    EXPECT_EQ(m_err.str().rfind("Confirm: Go on?", 0), 0u);
}

TEST_F(TerminalScanViewTest, YesOptionDoesNotAnswerTheReconnectQuestion) {
    TerminalScanOptions options;
    options.AssumeYes = true;
    EXPECT_EQ(View("", options)
                  .MessageBox("Do you want to try to reconnect again?", "Error", MsgButtons::YesNo, MsgIcon::Warning),
              MsgResult::No);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, MessageBoxes,
    testing::Values(BoxCase{"Yes", "y\n", false, false, MsgButtons::YesNo, MsgResult::Yes},
                    BoxCase{"AnythingElseIsNo", "sure\n", false, false, MsgButtons::YesNo, MsgResult::No},
                    BoxCase{"NoInputIsNo", "", false, false, MsgButtons::YesNo, MsgResult::No},
                    BoxCase{"UnattendedIsNo", "y\n", true, false, MsgButtons::YesNo, MsgResult::No},
                    BoxCase{"AssumeYes", "", false, true, MsgButtons::YesNo, MsgResult::Yes},
                    BoxCase{"NoticeNeedsNoAnswer", "y\n", false, false, MsgButtons::Ok, MsgResult::Ok}),
    [](const testing::TestParamInfo<BoxCase>& info) { return std::string(info.param.name); });

TEST_F(TerminalScanViewTest, PlainOutputPrintsStepsOnceAndDetailsSafely) {
    TerminalScanView& view = View("");
    view.SetHeadline("Scanning me@example.net (1/1), please wait...");
    view.SetCurrentAction("step 1/5: scanning messages (1/2)");
    view.SetCurrentAction("step 1/5: scanning messages (2/2)");
    view.AddDetailsLine("Cannot scan: \x1b[2Jbad\r\n");
    view.SetCurrentAction("step 2/5: moving messages to quarantine folder");
    EXPECT_EQ(m_out.str(), "Scanning me@example.net (1/1), please wait...\nstep 1/5: scanning messages\nCannot scan: "
                           "?[2Jbad\n\nstep 2/5: moving messages to quarantine folder\n");
}

TEST_F(TerminalScanViewTest, PlainOutputPrintsTheFirstStepOfTheAccountAfterAFailedOne) {
    TerminalScanView& view = View("");
    view.SetHeadline("Scanning a@example.net (1/2), please wait...");
    view.SetCurrentAction("step 1/5: scanning messages");
    view.SetHeadline("Scanning b@example.net (2/2), please wait...");
    view.SetCurrentAction("step 1/5: scanning messages");
    EXPECT_EQ(m_out.str(), "Scanning a@example.net (1/2), please wait...\nstep 1/5: scanning messages\n"
                           "Scanning b@example.net (2/2), please wait...\nstep 1/5: scanning messages\n");
}

TEST_F(TerminalScanViewTest, UpdatingLineIsRewrittenInPlace) {
    TerminalScanOptions options;
    options.UpdatingLine = true;
    options.Width = 60;
    TerminalScanView& view = View("", options);
    view.SetHeadline("Scanning me@example.net (1/1), please wait...");
    view.SetProgressMax(4);
    view.SetProgressPosition(2);
    view.AddDetailsLine("Scanning me@example.net.");
    view.FinishLine();
    std::string out = m_out.str();
    EXPECT_NE(out.find("\r[##########----------] 2/4 Scanning me@example.net (1/1)"), std::string::npos);
    EXPECT_NE(out.find("\r\x1b[KScanning me@example.net.\n"), std::string::npos);
    const std::string last = "\r\x1b[KScanning me@example.net (1/1), please wait...\n";
    EXPECT_EQ(out.substr(out.size() - last.size()), last);
    for (size_t start = 0, end; (end = out.find('\r', start + 1)) != std::string::npos; start = end)
        EXPECT_LE(out.substr(start, end - start).size(), 60u + 4);
}

TEST_F(TerminalScanViewTest, InterruptCancelsOnlyWhileCancelIsEnabled) {
    InterruptWatch watch;
    TerminalScanView& view = View("");
    int cancels = 0;
    view.SetCancelHandler([&] { ++cancels; });
    view.SetControlEnabled(ScanControl::Cancel, true);
    InterruptWatch::Simulate();
    view.Pump();
    EXPECT_EQ(cancels, 1);
    view.Pump();
    EXPECT_EQ(cancels, 1);
    view.SetControlEnabled(ScanControl::Cancel, false);
    InterruptWatch::Simulate();
    view.Pump();
    EXPECT_EQ(cancels, 1);
    EXPECT_NE(m_err.str().find("can no longer be cancelled"), std::string::npos);
}

} // namespace
