#include "mail/mail_message.h"
#include "platform/mail_transport_error.h"
#include "platform/paths.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

MailMessage RawMessage() {
    MailMessage message;
    message.RawRead = true;
    message.RawWrite = true;
    return message;
}

// Dates are written in local time: fix the zone.
class UtcZone : public testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override { SetClockForTesting(nullptr); }
};

TEST(MailMessageHeader, ValueIndexDeleteAndText) {
    MailMessage message;
    message.SetHeaderText("Delivered-To: a@example.net\r\nReceived: from x\r\n\tby y\r\nDelivered-To: "
                          "b@example.net\r\nX-Folded: one\r\n two\r\nSubject: s");
    EXPECT_EQ(message.HeaderValue("x-folded"), "one two");
    EXPECT_EQ(message.HeaderValue("Missing"), "");
    EXPECT_EQ(message.IndexOfHeader("RECEIVED"), 1);
    EXPECT_EQ(message.IndexOfHeader("Missing"), -1);

    message.DeleteHeaderLine(message.IndexOfHeader("Delivered-To"));
    EXPECT_EQ(message.HeaderValue("Delivered-To"), "b@example.net");
    // A field's continuation lines go with it.
    message.DeleteHeaderLine(message.IndexOfHeader("Received"));
    EXPECT_EQ(message.HeaderText(), "Delivered-To: b@example.net\r\nX-Folded: one\r\n two\r\nSubject: s");
    message.DeleteHeaderLine(99);
    EXPECT_EQ(message.HeaderLines.size(), 4u);
}

TEST(MailMessageHeader, ParsesTheFields) {
    MailMessage message;
    message.ReadFromText("From: =?ISO-8859-1?Q?Andr=E9?= <andre@example.be>\r\n"
                         "Reply-To: =?ISO-8859-1?Q?Andr=E9?= <reply@example.be>, second@example.be\r\n"
                         "To: a@example.net,\r\n\t\"B, C\" <bc@example.net>\r\n"
                         "Cc: =?utf-8?B?w6k=?= <cc@example.net>\r\n"
                         "Bcc: hidden@example.net\r\n"
                         "Subject: =?ISO-8859-1?Q?caf=E9?=\r\n"
                         "Message-ID: <id@example.be>\r\n"
                         "Content-Type: multipart/mixed;\r\n boundary=\"x\"\r\n"
                         "Sender: list-owner@example.org\r\n"
                         "Return-Receipt-To: receipt@example.be\r\n"
                         "Organization: Example\r\n"
                         "Date: Sun, 8 Mar 2026 12:00:00 +0000\r\n"
                         "\r\n"
                         "body\r\n");
    EXPECT_EQ(message.From.Name, "Andr\xc3\xa9");
    EXPECT_EQ(message.From.Address, "andre@example.be");
    ASSERT_EQ(message.ReplyTo.size(), 2u);
    EXPECT_EQ(message.ReplyTo[0].Name, "=?ISO-8859-1?Q?Andr=E9?=");
    EXPECT_EQ(message.ReplyToAddress(), "reply@example.be");
    EXPECT_EQ(AddressListText(message.To), "a@example.net, \"B, C\" <bc@example.net>");
    ASSERT_EQ(message.Cc.size(), 1u);
    EXPECT_EQ(message.Cc[0].Name, "\xc3\xa9");
    ASSERT_EQ(message.Bcc.size(), 1u);
    EXPECT_EQ(message.Subject, "caf\xc3\xa9");
    EXPECT_EQ(message.MessageId, "<id@example.be>");
    EXPECT_EQ(message.ContentType, "multipart/mixed; boundary=\"x\"");
    EXPECT_EQ(message.Sender.Address, "list-owner@example.org");
    EXPECT_EQ(message.ReceiptRecipient.Address, "receipt@example.be");
    EXPECT_EQ(message.Organization, "Example");
    EXPECT_NE(message.Date, 0);
    EXPECT_EQ(message.Priority, 2);
}

TEST(MailMessageHeader, PriorityAndDateRules) {
    struct Case {
        const char* Header;
        int Priority;
        bool HasDate;
    };
    const std::vector<Case> cases = {
        {"X-Priority: 5 (Lowest)\r\n", 4, false},
        {"Priority: urgent\r\nX-Priority: 5\r\n", 1, false},
        {"Priority:\r\nX-Priority: 1 (Highest)\r\n", 0, false},
        {"Priority: non-priority\r\n", 3, false},
        {"X-Priority: 0\r\n", -1, false},
        {"Date: not a date\r\n", 2, false},
        {"Date: Sun, 8 Mar 2026 12:00:00 +0000\r\n", 2, true},
    };
    for (const Case& c : cases) {
        MailMessage message;
        message.ReadFromText(std::string("From: a@example.net\r\n") + c.Header + "\r\n");
        EXPECT_EQ(message.Priority, c.Priority) << c.Header;
        EXPECT_EQ(message.Date != 0, c.HasDate) << c.Header;
    }
}

TEST(MailMessageRaw, FileRoundTripKeepsEveryLine) {
    TempFolder folder;
    MailMessage message = RawMessage();
    message.HeaderLines = {"From: a@example.net", "Subject: dots", ".", ".X-Foo: 1", "X-Long: one", "\ttwo"};
    message.BodyLines = {".", "..", ".leading", "", "plain", "trailing blank ", ""};
    message.SetExtraHeader("X-Mailer", "Quorvane");
    std::string path = folder.File("message.dat");
    message.SaveToFile(path);

    std::string content = folder.Read("message.dat");
    EXPECT_EQ(content, "From: a@example.net\r\nSubject: dots\r\n..\r\n..X-Foo: 1\r\nX-Long: one\r\n\ttwo\r\n\r\n"
                       "..\r\n...\r\n..leading\r\n\r\nplain\r\ntrailing blank \r\n\r\n.\r\n");

    MailMessage loaded = RawMessage();
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.HeaderLines, message.HeaderLines);
    EXPECT_EQ(loaded.BodyLines, message.BodyLines);
    EXPECT_EQ(loaded.Subject, "dots");

    // Saving again replaces the file.
    message.BodyLines = {"short"};
    message.SaveToFile(path);
    EXPECT_EQ(folder.Read("message.dat"),
              "From: a@example.net\r\nSubject: dots\r\n..\r\n..X-Foo: 1\r\nX-Long: one\r\n\ttwo\r\n\r\nshort\r\n.\r\n");
}

TEST(MailMessageRaw, ReadsUntilTheDotLineOrTheEnd) {
    MailMessage message = RawMessage();
    message.ReadFromText("Subject: a\nX: b\n\nline 1\n..\n.\nafter the end\n");
    EXPECT_EQ(message.HeaderLines, (std::vector<std::string>{"Subject: a", "X: b"}));
    EXPECT_EQ(message.BodyLines, (std::vector<std::string>{"line 1", "."}));

    message.ReadFromText("Subject: header only\r\n.\r\n");
    EXPECT_EQ(message.HeaderLines, std::vector<std::string>{"Subject: header only"});
    EXPECT_TRUE(message.BodyLines.empty());

    // Files saved before header lines were stuffed hold them as received.
    message.ReadFromText("Subject: old\r\n.\r\n.X-Foo: 1\r\nTo: b@example.net\r\n\r\nbody\r\n.\r\n");
    EXPECT_EQ(message.HeaderLines, (std::vector<std::string>{"Subject: old", ".", ".X-Foo: 1", "To: b@example.net"}));
    EXPECT_EQ(message.BodyLines, std::vector<std::string>{"body"});
}

TEST(MailMessageRaw, WriteToSendsStoredLinesWithDotsDoubledAndNoMailer) {
    MailMessage message = RawMessage();
    message.HeaderLines = {"From: a@example.net", "Subject: =?utf-8?Q?raw?="};
    message.BodyLines = {"."};
    message.ParseHeaderFields();
    message.Subject = "changed";
    message.SetExtraHeader("X-Mailer", "Quorvane");
    std::string out;
    message.WriteTo(out);
    EXPECT_EQ(out, "From: a@example.net\r\nSubject: =?utf-8?Q?raw?=\r\n\r\n..\r\n");
}

TEST(MailMessageFile, MissingFileRaisesTheSystemText) {
    TempFolder folder;
    MailMessage message;
    message.Subject = "left over";
    std::string path = folder.File("missing.dat");
    try {
        message.LoadFromFile(path);
        FAIL() << "no error raised";
    } catch (const MailTransportError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot load message from file " + path);
    }
    EXPECT_EQ(message.Subject, "");
}

TEST_F(UtcZone, ComposedHeaderComesInTheFixedOrder) {
    SetClockForTesting([] { return static_cast<std::time_t>(1772971200); }); // 2026-03-08 12:00:00 UTC
    MailMessage message;
    message.To = {{"Sender Name", "sender@example.org"}};
    message.From = {"My Name", "me@example.net"};
    message.ReplyTo = {{"", "reply@example.net"}};
    message.Subject = "Re: hello  [tarvo:7-abc]";
    message.UseCurrentDate = true;
    message.Priority = 0;
    message.ContentType = "text/plain; charset=\"iso-8859-1\"";
    message.ContentTransferEncoding = "7bit";
    message.SetExtraHeader("Precedence", "auto_reply");
    message.SetExtraHeader("X-Mailer", "Quorvane");
    message.BodyLines = {"This is an automatic reply to your message.", "", ".", "----------"};
    std::string out;
    message.WriteTo(out);
    EXPECT_EQ(Lines(out),
              (std::vector<std::string>{
                  "From: My Name <me@example.net>", "Subject: Re: hello  [tarvo:7-abc]",
                  "To: Sender Name <sender@example.org>", "Content-Type: text/plain; charset=\"iso-8859-1\"",
                  "MIME-Version: 1.0", "Content-Transfer-Encoding: 7bit", "Reply-To: reply@example.net",
                  "Date: Sun, 08 Mar 2026 12:00:00 +0000", "X-Priority: 1", "Precedence: auto_reply",
                  "X-Mailer: Quorvane", "", "This is an automatic reply to your message.", "", "..", "----------"}));

    message.SetExtraHeader("X-Mailer", "");
    out.clear();
    message.WriteTo(out);
    EXPECT_EQ(out.find("X-Mailer"), std::string::npos);
}

TEST_F(UtcZone, ComposingReplacesStoredFieldsInPlaceAndDropsEmptyOnes) {
    MailMessage message;
    message.HeaderLines = {"Received: kept",      "Subject: old",       "X-Priority: 3",
                           "To: old@example.net", "Subject: duplicate", "MIME-Version: 1.0"};
    message.Subject = "new";
    message.Date = 0;
    std::string out;
    message.WriteTo(out);
    EXPECT_EQ(Lines(out), (std::vector<std::string>{"Received: kept", "Subject: new", ""}));
}

TEST_F(UtcZone, ComposedNonAsciiTextIsEncodedFoldedAndReadsBack) {
    MailMessage message;
    message.From = {"J\xc3\xb6rg M\xc3\xbcller", "joerg@example.de"};
    message.Subject = "Gr\xc3\xbc\xc3\x9f"
                      "e aus K\xc3\xb6ln, und noch ein sehr langer Betreff, der gefaltet werden muss";
    for (int i = 0; i < 6; ++i) {
        message.To.push_back({"Empf\xc3\xa4nger " + std::to_string(i), "to" + std::to_string(i) + "@example.de"});
    }
    std::string out;
    message.WriteTo(out);
    for (const std::string& line : Lines(out)) {
        EXPECT_LE(line.size(), 78u) << line;
        for (unsigned char c : line) {
            EXPECT_LT(c, 0x80) << line;
        }
    }
    MailMessage read;
    read.ReadFromText(out);
    EXPECT_EQ(read.From.Name, message.From.Name);
    EXPECT_EQ(read.Subject, message.Subject);
    ASSERT_EQ(read.To.size(), 6u);
    EXPECT_EQ(read.To[5].Name, "Empf\xc3\xa4nger 5");
    EXPECT_EQ(read.To[5].Address, "to5@example.de");
}

TEST_F(UtcZone, ComposedPartsAreWrittenAsMultipartAndReadBack) {
    TempFolder folder;
    std::string bytes;
    for (int i = 0; i < 3000; ++i) {
        bytes += static_cast<char>(i * 7);
    }
    folder.Write("source.bin", bytes);

    MailMessage message;
    message.KeepPartFiles = true; // the source file is the test's own
    message.From = {"", "me@example.net"};
    message.Subject = "parts";
    MessagePart text;
    text.ContentType = "text/plain; charset=utf-8";
    text.ContentTransferEncoding = "quoted-printable";
    text.Lines = {"caf\xc3\xa9 = ok", ".dot", std::string(120, 'x')};
    MessagePart attachment;
    attachment.Kind = MessagePartKind::Attachment;
    attachment.FileName = "r\xc3\xa9sum\xc3\xa9 \"1\".bin";
    attachment.StoredPathName = folder.File("source.bin");
    message.Parts = {text, attachment};
    std::string out;
    message.WriteTo(out);
    EXPECT_NE(out.find("\r\nMIME-Version: 1.0\r\n"), std::string::npos);
    EXPECT_NE(out.find("\r\n\r\nThis is a multi-part message in MIME format\r\n"), std::string::npos);

    MailMessage read;
    read.ReadFromText(out);
    ASSERT_EQ(read.Parts.size(), 2u);
    EXPECT_EQ(read.Parts[0].Lines, text.Lines);
    EXPECT_FALSE(read.Parts[0].IsAttachment());
    ASSERT_TRUE(read.Parts[1].IsAttachment());
    EXPECT_EQ(read.Parts[1].FileName, attachment.FileName);
    std::string stored;
    ASSERT_TRUE(ReadWholeFile(read.Parts[1].StoredPathName, stored));
    EXPECT_EQ(stored, bytes);
    EXPECT_TRUE(read.BodyLines.empty());
}

} // namespace
