#include "mail/address_list_parser.h"
#include "mail/mail_message.h"
#include "mail/part_files.h"
#include "platform/paths.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> CorpusFiles = {
    "auto_reply.eml",
    "bounce.eml",
    "html_only.eml",
    "mailing_list.eml",
    "nested_multipart.eml",
    "no_date.eml",
    "pif_attachment.eml",
    "quoted_printable.eml",
    "subject_8bit.eml",
    "subject_raw_8bit.eml",
    "traversal_attachment.eml",
    "uuencoded.eml",
};

// Pieces that steer a mutation into the reader's less travelled paths.
const std::vector<std::string> Tokens = {
    "--",         "\n--",
    "=?utf-8?B?", "=?iso-8859-1?Q?=E9",
    "?=",         "begin 644 a\n",
    "\nend\n",    "boundary=\"",
    "\r",         "..",
    "\n.\n",      "(",
    "\"",         "<",
    ">",          ",",
    ":",          ";",
    "=\n",        "\n\n",
    "\t",
};

std::string Corpus(const std::string& name) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/mail/" + name, text)) << name;
    return text;
}

std::string Mutated(std::string text, std::mt19937& random) {
    int operations = 1 + static_cast<int>(random() % 8);
    for (int i = 0; i < operations && !text.empty(); ++i) {
        size_t position = random() % text.size();
        switch (random() % 5) {
        case 0:
            text[position] = static_cast<char>(random() & 0xFF);
            break;
        case 1:
            text.erase(position, random() % 64);
            break;
        case 2:
            text.insert(position, text.substr(position, random() % 200));
            break;
        case 3:
            text.resize(position);
            break;
        default:
            text.insert(position, Tokens[random() % Tokens.size()]);
        }
    }
    return text;
}

size_t FilesIn(const std::string& folder) {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

void CheckRawRoundTrip(const std::string& text) {
    MailMessage first;
    first.RawRead = first.RawWrite = true;
    first.ReadFromText(text);
    std::string written;
    first.WriteTo(written);
    written += ".\r\n";
    MailMessage second;
    second.RawRead = second.RawWrite = true;
    second.ReadFromText(written);
    EXPECT_EQ(second.HeaderLines, first.HeaderLines);
    EXPECT_EQ(second.BodyLines, first.BodyLines);
}

void CheckDecodedReading(const std::string& text, const std::string& folder) {
    MailMessage message;
    message.ReadFromText(text);
    for (const MessagePart& part : message.Parts) {
        if (part.IsAttachment()) {
            EXPECT_EQ(std::filesystem::path(part.StoredPathName).parent_path().string(), folder);
            EXPECT_TRUE(FileExists(part.StoredPathName));
        }
    }
    std::string written;
    message.WriteTo(written);
    MailMessage reread;
    reread.ReadFromText(written);
}

TEST(MimeRobustness, GarbledMessagesAreReadWithoutHarm) {
    std::string folder = PartFileFolder();
    std::mt19937 random(20260309);
    for (const std::string& name : CorpusFiles) {
        std::string original = Corpus(name);
        for (int variant = 0; variant < 150; ++variant) {
            std::string text = Mutated(original, random);
            SCOPED_TRACE(name + " variant " + std::to_string(variant));
            CheckRawRoundTrip(text);
            CheckDecodedReading(text, folder);
        }
    }
    // Every temporary file went with its message.
    EXPECT_EQ(FilesIn(folder), 0u);
}

TEST(MimeRobustness, DeepNestingIsCutOffAndKeptAsText) {
    const int levels = 5000;
    std::string text = "Content-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n";
    for (int i = 1; i <= levels; ++i) {
        text += "--b" + std::to_string(i) + "\r\nContent-Type: multipart/mixed; boundary=\"b" + std::to_string(i + 1) +
                "\"\r\n\r\n";
    }
    text += "--b" + std::to_string(levels + 1) + "\r\nContent-Type: text/plain\r\n\r\ndeep text\r\n";
    for (int i = levels + 1; i >= 1; --i) {
        text += "--b" + std::to_string(i) + "--\r\n";
    }
    MailMessage message;
    message.ReadFromText(text);
    ASSERT_EQ(message.Parts.size(), 32u);
    for (size_t i = 0; i < 31; ++i) {
        EXPECT_NE(message.Parts[i].ContentType.find("\"b" + std::to_string(i + 2) + "\""), std::string::npos);
        EXPECT_TRUE(message.Parts[i].Lines.empty());
    }
    const MessagePart& rest = message.Parts[31];
    EXPECT_NE(rest.ContentType.find("\"b33\""), std::string::npos);
    EXPECT_FALSE(rest.IsAttachment());
    ASSERT_FALSE(rest.Lines.empty());
    EXPECT_EQ(rest.Lines.front(), "--b33");
    EXPECT_NE(std::find(rest.Lines.begin(), rest.Lines.end(), "deep text"), rest.Lines.end());
}

TEST(MimeRobustness, PathologicalHeadersAreParsedFlat) {
    std::string comments(200000, '(');
    MailAddressList list = ParseAddressList(comments);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Address, "");
    std::string quotes(200000, '"');
    ParseAddressList(quotes);
    std::string words;
    for (int i = 0; i < 20000; ++i) {
        words += "=?a?q?";
    }
    MailMessage message;
    message.ReadFromText("Subject: " + words + "\r\nFrom: " + comments + "\r\nDate: " + comments + "\r\n\r\n");
    EXPECT_EQ(message.Subject, words);
    EXPECT_EQ(message.Date, 0);
    EXPECT_EQ(message.From.Address, "");
}

} // namespace
