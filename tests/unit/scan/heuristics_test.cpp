#include "scan/heuristics.h"

#include "mail/mail_message.h"
#include "records/account.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Account = "anna@example.net";

// Reads a message the way the classification does: from a file, decoded.
class Loaded {
public:
    explicit Loaded(const std::string& path) { message.LoadFromFile(path); }
    MailMessage message;
};

std::string CorpusPath(const std::string& name) {
    return std::string(TEST_DATA_DIR) + "/" + name;
}

// A message file built from header lines and body lines.
std::string Built(const TempFolder& folder, const std::vector<std::string>& header,
                  const std::vector<std::string>& body = {"Hello."}) {
    static int counter = 0;
    std::string text;
    for (const std::string& line : header)
        text += line + "\r\n";
    text += "\r\n";
    for (const std::string& line : body)
        text += line + "\r\n";
    std::string name = "built" + std::to_string(++counter) + ".dat";
    folder.Write(name, text);
    return folder.File(name);
}

// A personal message to the account, with the given extra or replacing lines.
std::vector<std::string> Personal(const std::vector<std::string>& changes = {}) {
    std::vector<std::string> header = {"From: Piet <piet@example.org>", "To: anna@example.net", "Subject: lunch",
                                       "Date: Mon, 9 Mar 2026 10:00:00 +0100"};
    for (const std::string& change : changes) {
        std::string name = change.substr(0, change.find(':') + 1);
        bool replaced = false;
        for (std::string& line : header)
            if (line.compare(0, name.size(), name) == 0) {
                line = change;
                replaced = true;
            }
        if (!replaced)
            header.push_back(change);
    }
    return header;
}

class HeuristicsTest : public testing::Test {
protected:
    void SetUp() override {
        ProgramSettings.SpamNotRecipient = true;
        BlockedSenders.Clear();
    }
    void TearDown() override { BlockedSenders.Clear(); }

    TempFolder folder;
    AliasList noAliases;
};

TEST_F(HeuristicsTest, CorpusMessages) {
    struct Case {
        const char* file;
        bool automated, virus, spam, daemon;
    };
    const Case cases[] = {
        {"mail/mailing_list.eml", true, false, true, false},
        {"mail/auto_reply.eml", true, false, false, false},
        {"mail/bounce.eml", false, false, true, true},
        {"mail/pif_attachment.eml", false, true, false, false},
        {"mail/no_date.eml", false, false, true, false},
        {"mail/html_only.eml", false, false, false, false},
        {"mail/subject_8bit.eml", false, false, true, false},
        {"mail/nested_multipart.eml", false, false, false, false},
        {"mail/uuencoded.eml", false, false, false, false},
        {"mail/traversal_attachment.eml", false, false, false, false},
        {"scan/personal.eml", false, false, false, false},
        {"scan/sent_to_account.eml", true, false, false, false},
        {"scan/exe_only_attachment.eml", false, false, false, false},
        {"scan/plain_without_params.eml", true, false, false, false},
        {"scan/broken_mime.eml", false, false, true, false},
    };
    for (const Case& c : cases) {
        Loaded loaded(CorpusPath(c.file));
        EXPECT_EQ(IsAutomatedMail(loaded.message, Account, ""), c.automated) << c.file;
        EXPECT_EQ(IsVirusMail(loaded.message), c.virus) << c.file;
        EXPECT_EQ(IsObviousSpam(loaded.message, Account, noAliases, ""), c.spam) << c.file;
        EXPECT_EQ(IsMailerDaemon(loaded.message), c.daemon) << c.file;
    }
}

TEST_F(HeuristicsTest, AutomatedMailRules) {
    struct Case {
        const char* name;
        std::vector<std::string> changes;
        std::vector<std::string> body;
        const char* replyAddress;
        bool automated;
    };
    const Case cases[] = {
        {"plain personal", {}, {"See you at noon."}, "", false},
        {"precedence Bulk", {"Precedence: Bulk"}, {"x"}, "", true},
        {"precedence junk", {"Precedence: junk"}, {"x"}, "", true},
        {"precedence auto_reply", {"Precedence: AUTO_REPLY"}, {"x"}, "", true},
        {"precedence bulk with a word", {"Precedence: bulk mail"}, {"x"}, "", false},
        {"precedence first-class", {"Precedence: first-class"}, {"x"}, "", false},
        {"no-reply sender", {"From: <no-reply@example.com>"}, {"x"}, "", true},
        {"do_not.reply sender", {"From: do_not.reply@example.com"}, {"x"}, "", true},
        {"noreply only after the at sign", {"From: piet@noreply.example.com"}, {"x"}, "", false},
        {"Order sender", {"From: Order@example.com"}, {"x"}, "", true},
        {"customer-service sender", {"From: Customer-Service@example.com"}, {"x"}, "", true},
        {"nobody reply-to", {"Reply-To: nobody@example.com"}, {"x"}, "", true},
        {"billing reply-to", {"Reply-To: Billing@example.com"}, {"x"}, "", true},
        {"auto-reply sender", {"From: auto-reply@example.com"}, {"x"}, "", true},
        {"auto-reply only in reply-to", {"Reply-To: auto-reply@example.com"}, {"x"}, "", false},
        {"subject Auto-Reply", {"Subject: Auto-Reply: away"}, {"x"}, "", true},
        {"subject Don't reply", {"Subject: Don't reply"}, {"x"}, "", true},
        {"subject renewal", {"Subject: Your Re-newal"}, {"x"}, "", true},
        {"subject auto reply with colon", {"Subject: auto:reply"}, {"x"}, "", false},
        {"body do not reply", {}, {"Please do not", "reply"}, "", false},
        {"body Do Not Reply", {}, {"Please Do Not Reply to this."}, "", true},
        {"body don't respond", {}, {"don't respond"}, "", true},
        {"body I sent today", {}, {"I sent today the photos."}, "", false},
        {"body sent to account", {}, {"this mail was sent to anna@example.net"}, "", true},
        {"body sent to the e-mail address", {}, {"Sent to the e-mail address: Anna@Example.NET."}, "", true},
        {"body sent to another address", {}, {"this mail was sent to bob@example.net"}, "", false},
        {"body sent to reply address, none set", {}, {"sent to reply@example.net"}, "", false},
        {"body sent to reply address",
         {},
         {"sent to the following address: reply@example.net"},
         "reply@example.net",
         true},
        {"body privacy policy", {}, {"Read our Privacy Policy."}, "", true},
        {"body e-mail preferences", {}, {"Change your email preferences."}, "", true},
    };
    for (const Case& c : cases) {
        Loaded loaded(Built(folder, Personal(c.changes), c.body));
        EXPECT_EQ(IsAutomatedMail(loaded.message, Account, c.replyAddress), c.automated) << c.name;
    }
}

TEST_F(HeuristicsTest, BodyComesFromTheFirstPlainTextPart) {
    std::vector<std::string> multipart =
        Personal({"MIME-Version: 1.0", "Content-Type: multipart/mixed; boundary=\"m\""});
    struct Case {
        const char* name;
        std::vector<std::string> body;
        bool automated;
    };
    const Case cases[] = {
        {"html part only", {"--m", "Content-Type: text/html", "", "<p>do not reply</p>", "--m--"}, false},
        {"second plain part not read",
         {"--m", "Content-Type: text/plain", "", "hello", "--m", "Content-Type: text/plain", "", "do not reply",
          "--m--"},
         false},
        {"plain part after html",
         {"--m", "Content-Type: text/html", "", "<p>hi</p>", "--m", "Content-Type: TEXT/PLAIN; charset=us-ascii", "",
          "do not reply", "--m--"},
         true},
        {"media type not trimmed",
         {"--m", "Content-Type: text/plain ; charset=us-ascii", "", "do not reply", "--m--"},
         false},
    };
    for (const Case& c : cases) {
        Loaded loaded(Built(folder, multipart, c.body));
        EXPECT_EQ(IsAutomatedMail(loaded.message, Account, ""), c.automated) << c.name;
    }
}

TEST_F(HeuristicsTest, VirusNeedsTwoPartsAndAProgramAttachment) {
    std::vector<std::string> multipart =
        Personal({"MIME-Version: 1.0", "Content-Type: multipart/mixed; boundary=\"m\""});
    auto withAttachment = [](const std::string& name) {
        return std::vector<std::string>{"--m",
                                        "Content-Type: text/plain",
                                        "",
                                        "see attached",
                                        "--m",
                                        "Content-Type: application/octet-stream",
                                        "Content-Disposition: attachment; filename=\"" + name + "\"",
                                        "",
                                        "data",
                                        "--m--"};
    };
    const std::pair<const char*, bool> cases[] = {
        {"photo.jpg.pif", true}, {"SETUP.EXE", true},    {"run.Bat", true},     {"x.js", true},
        {"help.chm", true},      {"link.lnk", true},     {"lib.dll", true},     {"photo.jpg", false},
        {"exe", false},          {"archive.zip", false}, {"script.jse", false}, {"noextension", false},
    };
    for (const auto& [name, virus] : cases) {
        Loaded loaded(Built(folder, multipart, withAttachment(name)));
        EXPECT_EQ(IsVirusMail(loaded.message), virus) << name;
    }
}

TEST_F(HeuristicsTest, ObviousSpamRules) {
    AliasList aliases;
    aliases.Add("Anna.Alias@Example.org");
    struct Case {
        const char* name;
        std::vector<std::string> changes;
        const char* replyAddress;
        bool spamNotRecipient;
        bool spam;
    };
    const Case cases[] = {
        {"personal", {}, "", true, false},
        {"empty from", {"From: Nobody Here"}, "", true, true},
        {"not a recipient", {"To: bob@example.net", "Cc: carol@example.net"}, "", true, true},
        {"not a recipient, setting off", {"To: bob@example.net"}, "", false, false},
        {"account in Cc", {"To: bob@example.net", "Cc: ANNA@example.net"}, "", true, false},
        {"account as a display name only", {"To: \"anna@example.net\" <bob@example.net>"}, "", true, false},
        {"reply address in To", {"To: reply@example.net"}, "reply@example.net", true, false},
        {"alias in Cc", {"To: bob@example.net", "Cc: anna.alias@example.ORG"}, "", true, false},
        {"from the account", {"From: ANNA@Example.net"}, "", true, true},
        {"reply-to the account", {"Reply-To: anna@example.net"}, "", true, true},
        {"from an alias", {"From: Anna.Alias@example.org"}, "", true, true},
        {"reply-to an alias", {"Reply-To: anna.alias@EXAMPLE.org"}, "", true, true},
        {"from the reply address",
         {"From: reply@example.net", "To: reply@example.net"},
         "reply@example.net",
         true,
         true},
        {"no date", {"Date: not a date"}, "", true, true},
        {"postmaster", {"From: PostMaster@example.org"}, "", true, true},
        {"mailerdaemon", {"From: MailerDaemon@example.org"}, "", true, true},
        {"reply-to a mailer-daemon", {"Reply-To: Mailer-Daemon@example.org"}, "", true, true},
    };
    for (const Case& c : cases) {
        ProgramSettings.SpamNotRecipient = c.spamNotRecipient;
        Loaded loaded(Built(folder, Personal(c.changes)));
        EXPECT_EQ(IsObviousSpam(loaded.message, Account, aliases, c.replyAddress), c.spam) << c.name;
    }
}

TEST_F(HeuristicsTest, BlacklistMatchesFromOrReply) {
    BlockedSenders.Add("*@spam.example.com");
    Loaded fromSpam(Built(folder, Personal({"From: x@Spam.example.com"})));
    Loaded replySpam(Built(folder, Personal({"Reply-To: y@spam.example.com"})));
    Loaded clean(Built(folder, Personal()));
    EXPECT_TRUE(IsObviousSpam(fromSpam.message, Account, noAliases, ""));
    EXPECT_TRUE(IsObviousSpam(replySpam.message, Account, noAliases, ""));
    EXPECT_FALSE(IsObviousSpam(clean.message, Account, noAliases, ""));
}

TEST_F(HeuristicsTest, EmptyAccountAddressesNeverMatch) {
    // A Reply-To with a name but no address must not equal an unset reply address.
    Loaded loaded(Built(folder, Personal({"Reply-To: Piet <>"})));
    EXPECT_FALSE(IsObviousSpam(loaded.message, Account, noAliases, ""));
    ProgramSettings.SpamNotRecipient = true;
    Loaded toNobody(Built(folder, Personal({"To: undisclosed-recipients:;"})));
    EXPECT_TRUE(IsObviousSpam(toNobody.message, "", noAliases, ""));
}

TEST(MediaTypeTest, UpToTheFirstSemicolonLowerCased) {
    EXPECT_EQ(MediaType("Text/Plain; charset=us-ascii"), "text/plain");
    EXPECT_EQ(MediaType("text/plain"), "text/plain");
    EXPECT_EQ(MediaType("multipart/Alternative;boundary=x"), "multipart/alternative");
    EXPECT_EQ(MediaType("text/plain ; charset=us-ascii"), "text/plain ");
    EXPECT_EQ(MediaType(""), "");
}

} // namespace
