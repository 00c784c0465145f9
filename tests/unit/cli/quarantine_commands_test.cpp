#include "cli_fixture.h"

#include "cli/terminal_text.h"

#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "support/fake_smtp_server.h"
#include "support/loopback_server.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class QuarantineCommands : public CliFixture {
protected:
    void SetUp() override {
        SetDataFolderOverride(m_data.Path());
        Accounts.Clear();
        Account& account = AppendAccount();
        account.EmailAddress = "me@example.com";
        account.Server = "127.0.0.1";
        account.Port = 110;
        account.Enabled = true;
        account.ID = "{0000000A-0000-4000-8000-000000000000}";
        SaveAccount(1);
    }
    void TearDown() override {
        Accounts.Clear();
        SetDataFolderOverride("");
    }

    // A message file and its entry; the index is saved at once.
    std::string Quarantine(const std::string& file, const std::string& from, const std::string& subject, int category,
                           const std::string& body = "Hello\r\n") {
        m_data.Write("Accounts/" + Accounts.Item(0).ID + "/" + file,
                     "From: " + from + "\r\nTo: me@example.com\r\nSubject: " + subject + "\r\n\r\n" + body + ".\r\n");
        Accounts.Item(0).Quarantine.Add(from, "", category, file, EncodeDateTime({2024, 5, 1, 8, 0, 0, 0}), subject,
                                        "me@example.com");
        SaveIndex(Accounts.Item(0));
        return file;
    }

    std::string Folder() const { return m_data.Path() + "/Accounts/" + "{0000000A-0000-4000-8000-000000000000}"; }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(QuarantineCommands, ListShowsNewestFirstWithFileNamesAndFilters) {
    Quarantine("{AAAA}.dat", "old@example.org", "older", 0);
    Quarantine("{BBBB}.dat", "new@example.org", "newer", 0);
    Quarantine("{CCCC}.dat", "list@example.org", "digest", 1);
    ASSERT_EQ(Run({"quarantine", "list"}), 0) << m_err;
    std::vector<std::string> lines = Lines(m_out);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[1].find("newer"), std::string::npos);
    EXPECT_NE(lines[1].find("{BBBB}.dat"), std::string::npos);
    EXPECT_NE(lines[2].find("older"), std::string::npos);
    EXPECT_NE(lines[3].find("Possible Automated Mail"), std::string::npos);

    ASSERT_EQ(Run({"quarantine", "list", "--category", "1"}), 0);
    EXPECT_EQ(Lines(m_out).size(), 2u);
    EXPECT_EQ(Run({"quarantine", "list", "--category", "4"}), 2);
    EXPECT_EQ(Run({"quarantine", "list", "--account", "2"}), 2);
}

TEST_F(QuarantineCommands, ListNeutralisesTerminalControls) {
    Quarantine("{DDDD}.dat", "x@example.org", "evil\x1b]0;title\x07 here", 0);
    ASSERT_EQ(Run({"quarantine", "list"}), 0);
    EXPECT_EQ(m_out.find('\x1b'), std::string::npos);
    EXPECT_NE(m_out.find("evil?]0;title? here"), std::string::npos);
}

TEST_F(QuarantineCommands, ListColumnsAreCutAndPaddedByCharacters) {
    std::string accented;
    for (int i = 0; i < 45; ++i)
        accented += "\xc3\xa9";
    Quarantine("{EEEE}.dat", "\xc3\xa9@example.org", accented, 0);
    Quarantine("{FFFF}.dat", "plain@example.org", "plain", 0);
    ASSERT_EQ(Run({"quarantine", "list"}), 0);
    std::vector<std::string> lines = Lines(m_out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[2].find(accented.substr(0, 37 * 2) + "... {EEEE}.dat"), std::string::npos) << lines[2];
    EXPECT_EQ(CharacterCount(lines[2].substr(0, lines[2].find('{'))), lines[1].find('{'));
}

TEST_F(QuarantineCommands, ShowPrintsTheSecurePreviewByFileName) {
    Quarantine("{EEEE}.dat", "ann@example.org", "Lunch", 0, "Shall we?\r\n\x1b[2Jcleared\r\n");
    ASSERT_EQ(Run({"quarantine", "show", "eeee"}), 0) << m_err;
    EXPECT_NE(m_out.find("From:    ann@example.org\n"), std::string::npos);
    EXPECT_NE(m_out.find("Subject: Lunch\n"), std::string::npos);
    EXPECT_EQ(m_out.find("CC:"), std::string::npos);
    EXPECT_NE(m_out.find("\nShall we?\n?[2Jcleared\n"), std::string::npos);
}

TEST_F(QuarantineCommands, ShowOfMissingFileGivesThePreviewError) {
    Quarantine("{FFFF}.dat", "ann@example.org", "Lunch", 0);
    std::remove((Folder() + "/{FFFF}.dat").c_str());
    EXPECT_EQ(Run({"quarantine", "show", "{FFFF}.dat"}), 1);
    EXPECT_EQ(m_err, "Error previewing message:\n\nCannot load message from file " + Folder() + "/{FFFF}.dat\n");
}

TEST_F(QuarantineCommands, DeleteAsksAndAcceptsIdsOrNames) {
    Quarantine("{1111}.dat", "a@example.org", "one", 0);
    Quarantine("{2222}.dat", "b@example.org", "two", 3);
    Quarantine("{3333}.dat", "c@example.org", "three", 0);
    EXPECT_EQ(Run({"quarantine", "delete", "{1111}.dat"}, "n\n"), 0);
    EXPECT_TRUE(FileExists(Folder() + "/{1111}.dat"));

    ASSERT_EQ(Run({"quarantine", "delete", "{1111}", "2222.DAT", "--yes"}), 0) << m_err;
    EXPECT_FALSE(FileExists(Folder() + "/{1111}.dat"));
    EXPECT_FALSE(FileExists(Folder() + "/{2222}.dat"));
    EXPECT_TRUE(FileExists(Folder() + "/{3333}.dat"));
    EXPECT_NE(m_out.find("Deleted 2 message(s)."), std::string::npos);
    QuarantineIndex saved;
    ASSERT_TRUE(LoadIndexFile(saved, Folder()));
    ASSERT_EQ(saved.Count(), 1);
    EXPECT_EQ(saved.Item(0).FileName, "{3333}.dat");

    EXPECT_EQ(Run({"quarantine", "delete", "{9999}.dat", "--yes"}), 2);
}

class QuarantineReleaseCommands : public QuarantineCommands {
protected:
    void SetUp() override {
        QuarantineCommands::SetUp();
        Account& account = Accounts.Item(0);
        account.Port = UnusedLoopbackPort(); // POP before SMTP fails, which is only logged
        account.SMTPServer = "127.0.0.1";
        account.SMTPPort = m_smtp.Port();
        SaveAccount(1);
    }

    int LogLinesStartingWith(const std::string& start) const {
        int count = 0;
        for (const std::string& line : Lines(m_data.Read("log.txt")))
            count += line.rfind(start, 0) == 0 ? 1 : 0;
        return count;
    }

    FakeSmtpServer m_smtp;
};

TEST_F(QuarantineReleaseCommands, ApproveFailsWhenTheNamedMessageStaysThoughOthersWentOut) {
    Quarantine("{AAAA}.dat", "ann@example.org", "gone", 0);
    Quarantine("{BBBB}.dat", "ann@example.org", "here", 0);
    std::remove((Folder() + "/{AAAA}.dat").c_str());
    EXPECT_EQ(Run({"quarantine", "approve", "{AAAA}.dat", "--yes"}), 1);
    EXPECT_NE(m_out.find("Released 1 message(s)"), std::string::npos) << m_out;
    EXPECT_NE(m_err.find("1 of the named message(s) could not be released"), std::string::npos) << m_err;
    m_smtp.Stop();
    EXPECT_EQ(m_smtp.Messages().size(), 1u);
}

TEST_F(QuarantineReleaseCommands, OneCommandOverSeveralCategoriesWritesOneLog) {
    Quarantine("{CCCC}.dat", "ann@example.org", "challenged", 0);
    Quarantine("{DDDD}.dat", "list@example.org", "automated", 1);
    EXPECT_EQ(Run({"quarantine", "release", "{CCCC}.dat", "{DDDD}.dat", "--yes"}), 0) << m_err;
    EXPECT_EQ(LogLinesStartingWith("Releasing messages to inbox: "), 2);
    EXPECT_EQ(LogLinesStartingWith("Sucessfully sent message."), 2);
    EXPECT_EQ(LogLinesStartingWith("Finished releasing messages to inbox : "), 1);
    EXPECT_EQ(Lines(m_err).size(), 1u) << "one confirmation: " << m_err;
}

TEST_F(QuarantineCommands, PurgeDropsEntriesWithoutFiles) {
    Quarantine("{4444}.dat", "a@example.org", "one", 0);
    Quarantine("{5555}.dat", "b@example.org", "two", 0);
    std::remove((Folder() + "/{4444}.dat").c_str());
    ASSERT_EQ(Run({"quarantine", "purge"}), 0) << m_err;
    EXPECT_EQ(m_out, "Account 1: 1 message(s) removed, 1 kept.\n");
}

} // namespace
