#include "challenge/release_to_inbox.h"

#include "mail/smtp_client.h"
#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/sender_lists.h"
#include "scan/scan_state.h"
#include "support/fake_smtp_server.h"
#include "support/recording_scan_view.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

std::string CrLf(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

const Lines StoredHeader = {"Return-Path: <piet@example.org>",
                            "Delivered-To: anna@example.net",
                            "Received: from mx by mx; Mon, 9 Mar 2026 10:00:01 +0100",
                            "Delivered-To: second@example.net",
                            "From: Piet <piet@example.org>",
                            "Reply-To: Piet Home <Piet@Home.example.org>",
                            "To: anna@example.net",
                            "Subject: photos",
                            "Date: Mon, 9 Mar 2026 10:00:00 +0100"};
const Lines StoredBody = {"Hello,", ".", "..two", "end"};

class ReleaseTest : public testing::Test {
protected:
    void SetUp() override {
        SetDataFolderOverride(data.Path());
        Accounts.Clear();
        ApprovedSenders.Clear();
        BlockedSenders.Clear();
        ScanState.ScanLog.Clear();
        Counters = AccountCounters();
        Account& account = AppendAccount();
        account.ID = "{0A1B2C3D-0000-4000-8000-000000000001}";
        account.EmailAddress = "anna@example.net";
        folder = IncludeTrailingDelimiter(AccountFolder(0));
        client.Host = "127.0.0.1";
        client.Port = server.Port();
        client.Connect(5000);
    }
    void TearDown() override {
        client.Disconnect();
        Accounts.Clear();
        ApprovedSenders.Clear();
        SetListObserver(nullptr);
        SetDataFolderOverride("");
    }

    // A quarantined message as the scan stores it, and its index entry.
    int Quarantine(const std::string& fileName, const std::string& sender, const Lines& header = StoredHeader,
                   const Lines& body = StoredBody) {
        Lines lines = header;
        lines.push_back("");
        for (const std::string& line : body)
            lines.push_back(!line.empty() && line[0] == '.' ? "." + line : line);
        lines.push_back(".");
        if (!fileName.empty() && fileName != "missing.dat")
            WriteFile(folder + fileName, CrLf(lines));
        return Accounts[0].Quarantine.Add(sender, "", 0, fileName, 46090.5, "photos", "anna@example.net").Id;
    }
    static void WriteFile(const std::string& path, const std::string& text) {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_TRUE(file);
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    bool Release(ReleaseIdSet& ids, bool boxes = false, bool skipApprove = false) {
        Counters.ToRelease = static_cast<int>(ids.size());
        bool result = ReleaseToInbox(0, ids, boxes, client, skipApprove);
        client.Disconnect();
        server.Stop();
        return result;
    }
    Lines Commands(const std::string& prefix) const {
        Lines found;
        for (const std::string& command : server.Commands())
            if (command.rfind(prefix, 0) == 0)
                found.push_back(command);
        return found;
    }

    TempFolder data;
    std::string folder;
    FakeSmtpServer server;
    SmtpClient client;
    RecordingScanView view;
};

TEST_F(ReleaseTest, SendsTheStoredMessageWithoutItsFirstDeliveredTo) {
    int id = Quarantine("{A}.dat", "piet@example.org");
    ReleaseIdSet ids = {std::to_string(id)};
    view.SetProgressMax(5);
    view.SetProgressPosition(2);
    EXPECT_TRUE(Release(ids));

    Lines expectedHeader = StoredHeader;
    expectedHeader.erase(expectedHeader.begin() + 1);
    ASSERT_EQ(server.Messages().size(), 1u);
    EXPECT_EQ(server.Messages()[0], CrLf(expectedHeader) + "\r\n" + CrLf({"Hello,", "..", "...two", "end"}));
    EXPECT_EQ(Commands("MAIL FROM:"), Lines{"MAIL FROM:<anna@example.net>"});
    EXPECT_EQ(Commands("RCPT TO:"), Lines{"RCPT TO:<anna@example.net>"});
    EXPECT_TRUE(ids.empty());
    EXPECT_EQ(Accounts[0].Quarantine.Count(), 0);
    EXPECT_FALSE(FileExists(folder + "{A}.dat"));
    std::string index;
    ASSERT_TRUE(ReadWholeFile(folder + "account2.dat", index));
    EXPECT_EQ(index, std::string(4, '\0'));
    EXPECT_EQ(ApprovedSenders.Strings(), (Lines{"piet@example.org", "piet@home.example.org"}));
    std::string saved;
    ASSERT_TRUE(ReadWholeFile(data.Path() + "/WhiteList.dat", saved));
    EXPECT_EQ(saved, "piet@example.org\r\npiet@home.example.org\r\n");
    EXPECT_EQ(Counters.Released, 1);
    EXPECT_EQ(view.ProgressPosition(), 3);
    EXPECT_EQ(view.CallsStartingWith("Action"), Lines{"Action: step 5/5: releasing messages to inbox (1/1)"});
    EXPECT_EQ(ScanState.ScanLog.Lines(),
              (Lines{"Releasing message to inbox.", "Sucessfully loaded message from file.",
                     "Sending message from: piet@example.org", "Sucessfully sent message."}));
}

TEST_F(ReleaseTest, ReplyAddressReceivesTheMessage) {
    Accounts[0].ReplyAddress = "inbox@example.net";
    ReleaseIdSet ids = {std::to_string(Quarantine("{A}.dat", "piet@example.org"))};
    Release(ids);
    EXPECT_EQ(Commands("MAIL FROM:"), Lines{"MAIL FROM:<anna@example.net>"});
    EXPECT_EQ(Commands("RCPT TO:"), Lines{"RCPT TO:<inbox@example.net>"});
}

TEST_F(ReleaseTest, AFailedMessageStaysWhileTheOthersLeave) {
    int first = Quarantine("{A}.dat", "piet@example.org");
    int second = Quarantine("missing.dat", "zoe@example.org");
    ReleaseIdSet ids = {std::to_string(first), std::to_string(second), "999"};
    EXPECT_FALSE(Release(ids));
    EXPECT_EQ(ids, (ReleaseIdSet{std::to_string(second), "999"}));
    ASSERT_EQ(Accounts[0].Quarantine.Count(), 1);
    EXPECT_EQ(Accounts[0].Quarantine.Item(0).Id, second);
    EXPECT_EQ(ApprovedSenders.Strings(), (Lines{"piet@example.org", "piet@home.example.org"}));
    EXPECT_EQ(ScanState.ScanLog.Lines()[4], "Releasing message to inbox.");
    EXPECT_EQ(ScanState.ScanLog.Lines()[5].rfind("Error loading message file: Cannot load message from file ", 0), 0u);
    EXPECT_EQ(ScanState.ScanLog.Count(), 6);
}

TEST_F(ReleaseTest, ErrorBoxesWhenAsked) {
    server.On("DATA", Reaction::Answer("554 5.7.1 Rejected"));
    ReleaseIdSet ids = {std::to_string(Quarantine("{A}.dat", "piet@example.org")),
                        std::to_string(Quarantine("missing.dat", "zoe@example.org"))};
    view.AnswerMessageBox(MsgResult::Ok);
    view.AnswerMessageBox(MsgResult::Ok);
    EXPECT_FALSE(Release(ids, true));
    EXPECT_EQ(ids.size(), 2u);
    Lines boxes = view.CallsStartingWith("MessageBox");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find("Cannot release message to inbox.\r\n\r\nError sending message: 5.7.1 Rejected"),
              std::string::npos);
    EXPECT_NE(boxes[1].find("Cannot release message to inbox.\r\n\r\nError loading message file: "), std::string::npos);
    EXPECT_EQ(ScanState.ScanLog.Lines()[3], "Error sending message: 5.7.1 Rejected");
    EXPECT_TRUE(FileExists(folder + "{A}.dat"));
    EXPECT_EQ(Accounts[0].Quarantine.Count(), 2);
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

TEST_F(ReleaseTest, SkipApproveStillSavesTheLists) {
    int observed = 0;
    SetListObserver([&] { ++observed; });
    ApprovedSenders.Add("kept@example.org");
    ReleaseIdSet ids = {std::to_string(Quarantine("{A}.dat", "piet@example.org"))};
    view.SetScanPageShowing(false);
    EXPECT_TRUE(Release(ids, false, true));
    EXPECT_EQ(ApprovedSenders.Strings(), Lines{"kept@example.org"});
    EXPECT_EQ(observed, 1);
    EXPECT_TRUE(FileExists(data.Path() + "/WhiteList.dat"));
    EXPECT_EQ(view.StatusText, "Releasing messages to inbox (1/1)");
    EXPECT_TRUE(view.CallsStartingWith("Action").empty());
}

TEST_F(ReleaseTest, AnUnexpectedErrorStillRemovesWhatWasSent) {
    int first = Quarantine("{A}.dat", "piet@example.org");
    int second = Quarantine("{B}.dat", "zoe@example.org");
    ReleaseIdSet ids = {std::to_string(first), std::to_string(second)};
    SetEventPump([] {
        if (Counters.Released > 0)
            throw std::runtime_error("window gone");
    });
    EXPECT_THROW(Release(ids), std::runtime_error);
    SetEventPump(nullptr);
    // The first message went out: it must not stay to be sent again.
    EXPECT_EQ(ids, ReleaseIdSet{std::to_string(second)});
    EXPECT_FALSE(FileExists(folder + "{A}.dat"));
    ASSERT_EQ(Accounts[0].Quarantine.Count(), 1);
    EXPECT_EQ(Accounts[0].Quarantine.Item(0).Id, second);
    std::string index;
    ASSERT_TRUE(ReadWholeFile(folder + "account2.dat", index));
    EXPECT_EQ(index.substr(0, 4), std::string("\x01\0\0\0", 4));
    // Its sender stays approved after the process ends.
    ApprovedSenders.Clear();
    LoadLists();
    EXPECT_EQ(ApprovedSenders.Strings(), (Lines{"piet@example.org", "piet@home.example.org"}));
}

TEST_F(ReleaseTest, WildcardSendersAreNotApprovedAsMasks) {
    Lines header = {"From: <*@*>", "Reply-To: ?@example.org", "To: anna@example.net", "Subject: x"};
    ReleaseIdSet ids = {std::to_string(Quarantine("{A}.dat", "*@*", header, {"x"}))};
    EXPECT_TRUE(Release(ids));
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

} // namespace

namespace {

TEST_F(ReleaseTest, AnIndexNameReachingOutsideTheFolderIsNeverRead) {
    // A message file beside the account folder, named by a damaged index.
    WriteFile(data.Path() + "/Accounts/outside.dat", CrLf({"From: x@example.org", "", "secret", "."}));
    ReleaseIdSet ids = {std::to_string(Quarantine("", "x@example.org"))};
    Accounts[0].Quarantine.Item(0).FileName = "../outside.dat";
    EXPECT_FALSE(Release(ids));
    EXPECT_TRUE(server.Messages().empty());
    EXPECT_TRUE(FileExists(data.Path() + "/Accounts/outside.dat"));
}

} // namespace
