#include "challenge/preview_text.h"
#include "mail/mail_message.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

struct PreviewCase {
    const char* name;
    std::vector<std::string> lines;
    std::string text;
    bool notice;
};

class PreviewTextTest : public testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewTextTest, ChoosesTheSecureTextAndTheNotice) {
    TempFolder folder;
    folder.Write("m.dat", Join(GetParam().lines) + ".\r\n");
    MailMessage message;
    LoadPreviewMessage(folder.File("m.dat"), message);
    PreviewContent content = PreviewContentOf(message);
    DeletePreviewFiles(message);
    EXPECT_EQ(content.Text, GetParam().text);
    EXPECT_EQ(content.ShowAttachmentNotice, GetParam().notice);
}

const std::vector<std::string> Header = {"From: Ann <ann@example.org>", "To: me@example.com", "Subject: Hello",
                                         "MIME-Version: 1.0"};

std::vector<std::string> With(std::vector<std::string> lines) {
    std::vector<std::string> all = Header;
    all.insert(all.end(), lines.begin(), lines.end());
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    Messages, PreviewTextTest,
    testing::Values(PreviewCase{"AlternativeShowsPlainPart",
                                With({"Content-Type: multipart/alternative; boundary=\"b1\"", "", "--b1",
                                      "Content-Type: text/plain; charset=us-ascii", "", "plain one", "plain two",
                                      "--b1", "Content-Type: text/html", "", "<b>html</b>", "--b1--"}),
                                "plain one\nplain two", false},
                    PreviewCase{"MixedHtmlAndProgramIsEmptyWithNotice",
                                With({"Content-Type: multipart/mixed; boundary=\"b2\"", "", "--b2",
                                      "Content-Type: text/html", "", "<p>open the file</p>", "--b2",
                                      "Content-Type: application/octet-stream; name=\"run.pif\"",
                                      "Content-Transfer-Encoding: base64", "", "TVqQAAMAAAAEAAAA", "--b2--"}),
                                PreviewEmptyText, true},
                    PreviewCase{"PlainTypeWithoutParameter",
                                With({"Content-Type: multipart/related; boundary=\"b3\"", "", "--b3",
                                      "Content-Type: text/plain", "", "bare plain", "--b3--"}),
                                "bare plain", true},
                    PreviewCase{"MediaTypeIsNotTrimmed",
                                With({"Content-Type: multipart/alternative; boundary=\"b4\"", "", "--b4",
                                      "Content-Type: text/plain ; charset=us-ascii", "", "spaced", "--b4--"}),
                                PreviewEmptyText, false},
                    PreviewCase{"SinglePartEmptyBody", With({"Content-Type: text/plain", ""}), PreviewEmptyText, false},
                    PreviewCase{"HtmlOnlyShowsItsSource", With({"Content-Type: text/html", "", "<script>x()</script>"}),
                                "<script>x()</script>", false},
                    PreviewCase{"NoticeIgnoresCase",
                                With({"Content-Type: Multipart/MIXED; boundary=\"b5\"", "", "--b5",
                                      "Content-Type: TEXT/Plain", "", "upper", "--b5--"}),
                                "upper", true}),
    [](const testing::TestParamInfo<PreviewCase>& info) { return std::string(info.param.name); });

TEST(PreviewContent, CcRowOnlyWhenTheMessageHasACcList) {
    MailMessage withCc;
    withCc.ReadFromText(Join({"From: Ann <ann@example.org>", "To: Me <me@example.com>, you@example.com",
                              "Cc: \"Boss, The\" <boss@example.com>", "Subject: Minutes", "", "body"}));
    PreviewContent content = PreviewContentOf(withCc);
    EXPECT_EQ(content.From, "Ann <ann@example.org>");
    EXPECT_EQ(content.To, "Me <me@example.com>, you@example.com");
    EXPECT_TRUE(content.ShowCc);
    EXPECT_EQ(content.Cc, "\"Boss, The\" <boss@example.com>");
    EXPECT_EQ(content.Subject, "Minutes");
    auto captions = [](const PreviewContent& shown) {
        std::vector<std::string> names;
        for (const PreviewRow& row : PreviewHeaderRows(shown))
            names.push_back(row.Caption);
        return names;
    };
    EXPECT_EQ(captions(content), (std::vector<std::string>{"From:", "To:", "CC:", "Date:", "Subject:"}));

    MailMessage withoutCc;
    withoutCc.ReadFromText(Join({"From: ann@example.org", "To: me@example.com", "Subject: x", "", "body"}));
    EXPECT_FALSE(PreviewContentOf(withoutCc).ShowCc);
    EXPECT_EQ(captions(PreviewContentOf(withoutCc)), (std::vector<std::string>{"From:", "To:", "Date:", "Subject:"}));
}

TEST(PreviewContent, DateShownOnlyWhenValid) {
    MailMessage dated;
    dated.ReadFromText(Join({"From: a@example.org", "Date: Tue, 4 Mar 2025 10:20:30 +0000", "", "x"}));
    EXPECT_NE(PreviewContentOf(dated).Date, "");
    MailMessage undated;
    undated.ReadFromText(Join({"From: a@example.org", "Date: not a date", "", "x"}));
    EXPECT_EQ(PreviewContentOf(undated).Date, "");
}

TEST(PreviewContent, MissingFileRaisesTheLoadingError) {
    TempFolder folder;
    MailMessage message;
    try {
        LoadPreviewMessage(folder.File("gone.dat"), message);
        FAIL() << "no error raised";
    } catch (const MailTransportError& error) {
        EXPECT_EQ(PreviewErrorText(error.what()),
                  "Error previewing message:\r\n\r\nCannot load message from file " + folder.File("gone.dat"));
    }
}

TEST(PreviewContent, AttachmentFilesStayUntilThePreviewDeletesThem) {
    TempFolder folder;
    folder.Write("m.dat",
                 Join(With({"Content-Type: multipart/mixed; boundary=\"b\"", "", "--b", "Content-Type: text/plain", "",
                            "see attached", "--b", "Content-Type: application/octet-stream; name=\"tool.pif\"",
                            "Content-Transfer-Encoding: base64", "", "TVqQAAMAAAAEAAAA", "--b--"})) +
                     ".\r\n");
    std::string stored;
    {
        MailMessage message;
        LoadPreviewMessage(folder.File("m.dat"), message);
        ASSERT_EQ(message.Parts.size(), 2u);
        stored = message.Parts[1].StoredPathName;
        ASSERT_TRUE(FileExists(stored));
        DeletePreviewFiles(message);
        EXPECT_FALSE(FileExists(stored));
    }
}

} // namespace
