#include "mail/mail_message.h"
#include "mail/part_files.h"
#include "platform/paths.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Every test program run gets its own TMPDIR, so the attachment folder and
// everything around it can be inspected.
class PrivateTmpdir : public testing::Environment {
public:
    void SetUp() override {
        m_folder = std::make_unique<TempFolder>();
        setenv("TMPDIR", m_folder->Path().c_str(), 1);
    }
    void TearDown() override { m_folder.reset(); }
    static std::string Path() { return std::getenv("TMPDIR"); }

private:
    std::unique_ptr<TempFolder> m_folder;
};

testing::Environment* const tmpdir = testing::AddGlobalTestEnvironment(new PrivateTmpdir);

std::string Corpus(const std::string& name) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/mail/" + name, text)) << name;
    return text;
}

std::string FileContent(const std::string& path) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(path, content)) << path;
    return content;
}

std::set<std::string> FilesUnder(const std::string& root) {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        files.insert(entry.path().string());
    }
    return files;
}

struct PartExpectation {
    MessagePartKind Kind;
    std::string MediaType;
    std::string FileName;
    std::vector<std::string> Lines; // text parts: the leading lines
};

struct CorpusCase {
    std::string File;
    std::vector<PartExpectation> Parts;
};

std::string MediaTypeOf(const MessagePart& part) {
    std::string type = part.ContentType.substr(0, part.ContentType.find(';'));
    for (char& c : type) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return type;
}

TEST(MimeReading, CorpusMessagesBecomeTheExpectedParts) {
    using K = MessagePartKind;
    const std::vector<CorpusCase> cases = {
        {"pif_attachment.eml",
         {{K::Text, "text/plain", "", {"Here are the photos.", ""}},
          {K::Attachment, "application/octet-stream", "photo.jpg.pif", {}}}},
        {"nested_multipart.eml",
         {{K::Text, "multipart/alternative", "", {}},
          {K::Text, "text/plain", "", {"Agenda attached."}},
          {K::Text, "text/html", "", {"<p>Agenda attached.</p>"}},
          {K::Attachment, "application/pdf", "agenda.pdf", {}}}},
        {"quoted_printable.eml",
         {{K::Text,
           "text/plain",
           "",
           {"La r\xe9union est d\xe9plac\xe9"
            "e \xe0 jeudi. Ceci est une tr\xe8s longue ligne qui continue ici.",
            "= fin"}},
          {K::Text, "text/html", "", {"<p>La r\xe9union</p>"}}}},
        {"bounce.eml",
         {{K::Text, "text/plain", "", {"I'm sorry to have to inform you that your message could not"}},
          {K::Text, "message/delivery-status", "", {"Reporting-MTA: dns; mx.example.net"}},
          {K::Text, "message/rfc822", "", {"From: anna@example.net"}}}},
        {"uuencoded.eml",
         {{K::Text, "text/plain", "", {"Here is the script:", "", "", "Bye."}},
          {K::Attachment, "application/octet-stream", "run.sh", {}}}},
        {"traversal_attachment.eml",
         {{K::Text, "text/plain", "", {"see attached"}},
          {K::Attachment, "application/x-sh", "../../x.sh", {}},
          {K::Attachment, "application/octet-stream", "/tmp/absolute.sh", {}}}},
        {"html_only.eml", {}},
        {"mailing_list.eml", {}},
        {"no_date.eml", {}},
    };
    for (const CorpusCase& c : cases) {
        MailMessage message;
        message.ReadFromText(Corpus(c.File));
        ASSERT_EQ(message.Parts.size(), c.Parts.size()) << c.File;
        for (size_t i = 0; i < c.Parts.size(); ++i) {
            const MessagePart& part = message.Parts[i];
            const PartExpectation& expected = c.Parts[i];
            EXPECT_EQ(part.Kind, expected.Kind) << c.File << " part " << i;
            EXPECT_EQ(MediaTypeOf(part), expected.MediaType) << c.File << " part " << i;
            EXPECT_EQ(part.FileName, expected.FileName) << c.File << " part " << i;
            ASSERT_GE(part.Lines.size(), expected.Lines.size()) << c.File << " part " << i;
            for (size_t line = 0; line < expected.Lines.size(); ++line) {
                EXPECT_EQ(part.Lines[line], expected.Lines[line]) << c.File << " part " << i;
            }
            EXPECT_EQ(part.IsAttachment(), !part.StoredPathName.empty()) << c.File << " part " << i;
        }
    }
}

TEST(MimeReading, AttachmentContentIsDecodedIntoItsFile) {
    MailMessage message;
    message.ReadFromText(Corpus("pif_attachment.eml"));
    ASSERT_EQ(message.Parts.size(), 2u);
    std::string expected = std::string("MZ\x90\x00\x03\x00\x00\x00", 8);
    for (int round = 0; round < 3; ++round) {
        for (int byte = 0; byte < 256; ++byte) {
            expected += static_cast<char>(byte);
        }
    }
    EXPECT_EQ(FileContent(message.Parts[1].StoredPathName), expected);
    EXPECT_TRUE(message.BodyLines.empty());

    message.ReadFromText(Corpus("uuencoded.eml"));
    ASSERT_EQ(message.Parts.size(), 2u);
    EXPECT_EQ(FileContent(message.Parts[1].StoredPathName), "#!/bin/sh\necho hi\n");
    EXPECT_EQ(message.BodyLines, message.Parts[0].Lines);
}

TEST(MimeReading, AQuarantineFileReloadsDecoded) {
    TempFolder folder;
    MailMessage raw;
    raw.RawRead = raw.RawWrite = true;
    raw.ReadFromText(Corpus("pif_attachment.eml"));
    std::string path = folder.File("{quarantined}.dat");
    raw.SaveToFile(path);

    MailMessage decoded;
    decoded.LoadFromFile(path);
    ASSERT_EQ(decoded.Parts.size(), 2u);
    EXPECT_FALSE(decoded.Parts[0].IsAttachment());
    EXPECT_TRUE(decoded.Parts[1].IsAttachment());
    EXPECT_EQ(decoded.Parts[1].FileName, "photo.jpg.pif");
    EXPECT_EQ(decoded.Subject, "photos from the weekend");
}

TEST(MimeReading, PlainBodiesStayAsReceived) {
    MailMessage message;
    message.ReadFromText(Corpus("html_only.eml"));
    EXPECT_EQ(message.BodyLines, std::vector<std::string>{"<html><body><p>Hello <b>Anna</b></p></body></html>"});

    message.ReadFromText(Corpus("mailing_list.eml"));
    EXPECT_EQ(message.HeaderValue("Precedence"), "list");
    ASSERT_GE(message.BodyLines.size(), 5u);
    EXPECT_EQ(message.BodyLines[4], ".and a line that began with a dot.");
    EXPECT_EQ(message.From.DisplayText(), "Jan de Vries <jan.devries@example.com>");

    // A multipart body in which the boundary never shows is read as plain text.
    message.ReadFromText("Content-Type: multipart/mixed; boundary=\"never\"\r\n\r\nline 1\r\n--other\r\n");
    EXPECT_TRUE(message.Parts.empty());
    EXPECT_EQ(message.BodyLines, (std::vector<std::string>{"line 1", "--other"}));
}

TEST(MimeReading, HeaderFieldsOfTheCorpus) {
    MailMessage message;
    message.ReadFromText(Corpus("subject_8bit.eml"));
    EXPECT_EQ(message.Subject, "caf\xc3\xa9 cr\xc3\xa8me");
    // Letters outside the atom characters make the display text quote the name.
    EXPECT_EQ(message.From.DisplayText(), "\"Andr\xc3\xa9 Pirard\" <PIRARD@vm1.ulg.ac.be>");
    EXPECT_EQ(AddressListText(message.To),
              "\"J\xc3\xb6rg\" <joerg@example.de>, \"M\xc3\xbcller\" <mueller@example.de>");
    ASSERT_EQ(message.Cc.size(), 2u);
    EXPECT_EQ(message.Cc[0].Name, "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82");
    EXPECT_EQ(message.Cc[1].Name, "=?x-unknown?Q?abc?=");
    EXPECT_EQ(message.ReplyTo.at(0).Name, "=?ISO-8859-1?Q?Andr=E9?=");

    message.ReadFromText(Corpus("subject_raw_8bit.eml"));
    EXPECT_EQ(message.Subject, "Gr\xc3\xbc\xc3\x9f"
                               "e aus K\xc3\xb6ln");
    EXPECT_EQ(message.From.Name, "Gr\xc3\xbcn");

    message.ReadFromText(Corpus("no_date.eml"));
    EXPECT_EQ(message.Date, 0);
    EXPECT_TRUE(message.To.empty());

    message.ReadFromText(Corpus("auto_reply.eml"));
    EXPECT_EQ(message.Priority, 4);
    EXPECT_EQ(message.From.Address, "no-reply@shop.example.com");

    message.ReadFromText(Corpus("bounce.eml"));
    EXPECT_EQ(message.From.Address, "MAILER-DAEMON@mx.example.net");
    EXPECT_EQ(message.From.Name, "Mail Delivery System");
    EXPECT_NE(message.ContentType.find("boundary=\"B4C2D1E0.1741170153/mx.example.net\""), std::string::npos);
}

TEST(PartFiles, AMessageNeverChoosesWhereAFileIsWritten) {
    std::string root = PrivateTmpdir::Path();
    std::string deep = root + "/a/b";
    std::filesystem::create_directories(deep);
    std::string previous = std::filesystem::current_path().string();
    std::filesystem::current_path(deep);
    bool absoluteExisted = FileExists("/tmp/absolute.sh");
    std::set<std::string> before = FilesUnder(root);

    MailMessage message;
    message.ReadFromText(Corpus("traversal_attachment.eml"));
    std::filesystem::current_path(previous);

    std::string folder = PartFileFolder();
    EXPECT_EQ(folder.rfind(root + "/", 0), 0u) << folder;
    struct stat status {};
    ASSERT_EQ(::stat(folder.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);

    ASSERT_EQ(message.Parts.size(), 3u);
    std::set<std::string> expected = before;
    expected.insert(folder);
    for (size_t i = 1; i < 3; ++i) {
        const std::string& path = message.Parts[i].StoredPathName;
        EXPECT_EQ(std::filesystem::path(path).parent_path().string(), folder);
        EXPECT_EQ(path.find(".sh"), std::string::npos) << path;
        expected.insert(path);
    }
    EXPECT_EQ(FilesUnder(root), expected);
    EXPECT_EQ(FileExists("/tmp/absolute.sh"), absoluteExisted);
    EXPECT_EQ(FileContent(message.Parts[1].StoredPathName), "#!/bin/sh\nrm -rf ~\n");
    EXPECT_EQ(FileContent(message.Parts[2].StoredPathName), "plain bytes");

    std::string kept = message.Parts[1].StoredPathName;
    message.Clear();
    EXPECT_FALSE(FileExists(kept));
    std::set<std::string> afterClear = before;
    afterClear.insert(folder);
    EXPECT_EQ(FilesUnder(root), afterClear);
}

TEST(PartFiles, KeepPartFilesLeavesThemToTheOwner) {
    std::string path;
    {
        MailMessage message;
        message.KeepPartFiles = true;
        message.ReadFromText(Corpus("pif_attachment.eml"));
        path = message.Parts.at(1).StoredPathName;
    }
    EXPECT_TRUE(FileExists(path));
    DeleteFileIfExists(path);

    MailMessage owner;
    owner.ReadFromText(Corpus("pif_attachment.eml"));
    path = owner.Parts.at(1).StoredPathName;
    MailMessage moved = std::move(owner);
    owner.Clear();
    EXPECT_TRUE(FileExists(path));
    moved = MailMessage();
    EXPECT_FALSE(FileExists(path));
}

} // namespace
