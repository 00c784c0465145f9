// Writing messages into the quarantine: a message is stored exactly as it
// came, and one that cannot be stored stays on the server.

#include "scan_account_fixture.h"

#include "mail/mail_message.h"
#include "records/text_helpers.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

using namespace scan_account_test;

using ScanQuarantineWritingTest = ScanAccountTest;

// Limits the size of files this process may write, for one scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_previous{};
    void (*m_handler)(int) = nullptr;
};

TEST_F(ScanQuarantineWritingTest, MessageWhoseFileCannotBeWrittenStaysOnTheServer) {
    std::string message = Mail("stranger@example.com", "big enough", {}, {std::string(600, 'x')});
    FakePop3Server pop3({message});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    Folder();
    {
        FileSizeLimit limit(200);
        Scan(pop3, smtp);
    }
    EXPECT_EQ(pop3.Mailbox(), Lines{message});
    EXPECT_TRUE(Matching(pop3.Commands(), "DELE").empty());
    Lines errors = Matching(ScanState.ScanLog.Lines(), "Error save message to file: ");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("File too large"), std::string::npos) << errors[0];
    EXPECT_EQ(Accounts[0].Quarantine.Count(), 0);
    EXPECT_TRUE(QuarantineFiles().empty());
    EXPECT_EQ(smtp.Connections(), 0);
    EXPECT_EQ(Details()[3], "Moved 0/0 messages to quarantine folder.");
}

TEST_F(ScanQuarantineWritingTest, MessageWhoseIndexEntryCannotBeSavedStaysOnTheServer) {
    std::string message = Mail("stranger@example.com", "hello");
    FakePop3Server pop3({message});
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    std::filesystem::create_directory(Folder() + "account2.dat");
    Scan(pop3, smtp);
    EXPECT_EQ(pop3.Mailbox(), Lines{message});
    EXPECT_TRUE(Matching(pop3.Commands(), "DELE").empty());
    EXPECT_EQ(Matching(ScanState.ScanLog.Lines(), "Error save message to file: ").size(), 1u);
    EXPECT_EQ(Accounts[0].Quarantine.Count(), 0);
    for (const std::string& file : QuarantineFiles())
        EXPECT_EQ(file.find(".dat"), std::string::npos) << file;
    EXPECT_EQ(smtp.Connections(), 0);
}

std::string Corpus(const std::string& name) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/" + name, text)) << name;
    return text;
}

TEST_F(ScanQuarantineWritingTest, HostileMessagesAreQuarantinedAsTheyCame) {
    Lines huge = {"begin of a big one"};
    for (int i = 0; i < 2000; ++i)
        huge.push_back(std::string(1000, 'a' + i % 26));
    huge.push_back(std::string(40000, 'z'));
    Lines messages = {
        Corpus("scan/broken_mime.eml"),
        Corpus("mail/traversal_attachment.eml"),
        Mail("big@example.org", "huge", {}, huge),
        CrLf({"From: <>", "Subject:", "", "no sender"}),
        CrLf({"Garbage without a colon", "\tcontinued", ": empty name", "", "body"}),
        Mail("x@example.org", "=?utf-8?Q?line=0D=0ABcc:_victim@example.com?="),
    };
    FakePop3Server pop3(messages);
    FakeSmtpServer smtp;
    AddAccount(pop3, smtp);
    EXPECT_EQ(Scan(pop3, smtp), ScanAccountResult::Completed);
    EXPECT_TRUE(pop3.Mailbox().empty());
    QuarantineIndex saved = SavedIndex();
    ASSERT_EQ(saved.Count(), static_cast<int>(messages.size()));
    for (int i = 0; i < saved.Count(); ++i) {
        std::string stored;
        ASSERT_TRUE(ReadWholeFile(Folder() + saved.Item(i).FileName, stored));
        MailMessage reread;
        reread.RawRead = reread.RawWrite = true;
        reread.LoadFromFile(Folder() + saved.Item(i).FileName);
        MailMessage original;
        original.RawRead = original.RawWrite = true;
        original.ReadFromText(messages[static_cast<std::size_t>(i)]);
        EXPECT_EQ(reread.HeaderLines, original.HeaderLines) << i;
        // Lines longer than 16384 characters arrive split; nothing else changes.
        auto joined = [](const Lines& lines) {
            std::string text;
            for (const std::string& line : lines)
                text += line;
            return text;
        };
        EXPECT_EQ(joined(reread.BodyLines), joined(original.BodyLines)) << i;
    }
    // Nothing was written outside the account folder.
    EXPECT_FALSE(FileExists(data.Path() + "/x.sh"));
    for (const std::string& message : smtp.Messages())
        for (const std::string& line : SplitLines(message.substr(0, message.find("\r\n\r\n"))))
            EXPECT_NE(line.rfind("Bcc:", 0), 0u) << line;
}

} // namespace
