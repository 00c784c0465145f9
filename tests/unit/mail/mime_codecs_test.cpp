#include "mail/base64_stream_decoder.h"
#include "mail/header_lines.h"
#include "mail/quoted_printable.h"
#include "mail/uudecode.h"
#include "records/base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

TEST(Base64StreamDecoder, DecodesWhateverWayTheTextIsCut) {
    std::mt19937 random(7);
    for (size_t length : {0u, 1u, 2u, 3u, 4u, 57u, 58u, 1000u}) {
        std::string bytes;
        for (size_t i = 0; i < length; ++i) {
            bytes += static_cast<char>(random() & 0xFF);
        }
        std::string encoded = Base64Encode(bytes);
        for (size_t piece : {1u, 3u, 5u, 76u}) {
            Base64StreamDecoder decoder;
            std::string out;
            for (size_t position = 0; position < encoded.size(); position += piece) {
                decoder.Feed(encoded.substr(position, piece), out);
            }
            decoder.Finish(out);
            EXPECT_EQ(out, bytes) << "length " << length << ", pieces of " << piece;
        }
    }
}

TEST(Base64StreamDecoder, IsLenientAboutWhatMailersWrite) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"aGVs\r\nbG8=", "hello"},
        {" aGVs bG8 ", "hello"},
        {"aGVsbG8", "hello"}, // padding left out
        {"aGk=aGk=", "hihi"}, // chunks encoded one by one
        {"aG*k!", "hi"},      // garbage skipped
        {"a", ""},            // a lone character makes no byte
        {"====", ""},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(DecodeBase64Text(text), bytes) << text;
    }
}

TEST(QuotedPrintable, DecodesSoftBreaksAndKeepsMalformedEscapes) {
    QuotedPrintableDecoder decoder;
    std::string out;
    for (const char* line : {"caf=E9 cr=e8me=", "  br=FBl=C3=A9e   ", "=3D =ZZ =4", "end="}) {
        decoder.FeedLine(line, out);
    }
    EXPECT_EQ(out, "caf\xe9 cr\xe8me  br\xfbl\xc3\xa9"
                   "e\r\n= =ZZ =4\r\nend");
}

TEST(QuotedPrintable, EncodesShortLinesThatDecodeBack) {
    std::string text = std::string(200, 'x') + "=\xe9 \r\ntrailing blank \r\n.";
    std::vector<std::string> lines = EncodeQuotedPrintable(text);
    QuotedPrintableDecoder decoder;
    std::string out;
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 76u);
        decoder.FeedLine(line, out);
    }
    EXPECT_EQ(out, text);
}

TEST(Uudecode, ReadsBlocksAndSurvivesShortLines) {
    std::string name;
    EXPECT_TRUE(IsUuencodeBegin("begin 644 run.sh", name));
    EXPECT_EQ(name, "run.sh");
    EXPECT_TRUE(IsUuencodeBegin("begin 0755 ../../x.sh ", name));
    EXPECT_EQ(name, "../../x.sh");
    EXPECT_FALSE(IsUuencodeBegin("begin 64 x", name));
    EXPECT_FALSE(IsUuencodeBegin("begin 644", name));
    EXPECT_FALSE(IsUuencodeBegin("begin the meeting at 10", name));
    EXPECT_TRUE(IsUuencodeEnd("end "));
    EXPECT_FALSE(IsUuencodeEnd("ending"));

    std::string out;
    DecodeUuencodedLine("2(R$O8FEN+W-H\"F5C:&\\@:&D*", out);
    EXPECT_EQ(out, "#!/bin/sh\necho hi\n");
    out.clear();
    DecodeUuencodedLine("M", out); // claims 45 bytes, holds none
    EXPECT_LE(out.size(), 45u);
    out.clear();
    DecodeUuencodedLine("`", out);
    EXPECT_EQ(out, "");
}

TEST(HeaderLines, UnfoldsAndFinds) {
    std::vector<std::string> lines = {"Received: from a", "\tby b",   "Subject :  Hello",
                                      " \t world  ",      "X-Empty:", "subject: second"};
    EXPECT_EQ(FindHeaderLine(lines, "SUBJECT"), 2);
    EXPECT_EQ(FindHeaderLine(lines, "Subj"), -1);
    EXPECT_EQ(FindHeaderLine(lines, "by b"), -1);
    EXPECT_EQ(UnfoldedHeaderValue(lines, 2), "Hello world");
    EXPECT_EQ(UnfoldedHeaderValue(lines, 0), "from a by b");
    EXPECT_EQ(UnfoldedHeaderValue(lines, 4), "");
    EXPECT_EQ(HeaderLineSpan(lines, 0), 2u);
}

TEST(HeaderLines, FoldsAtBlanksWithinTheWidth) {
    std::string line = "Subject: " + std::string(60, 'a') + " " + std::string(30, 'b') + " " + std::string(100, 'c');
    std::vector<std::string> lines;
    AppendFoldedHeaderLine(line, lines);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "Subject: " + std::string(60, 'a'));
    EXPECT_EQ(lines[1], " " + std::string(30, 'b'));
    EXPECT_EQ(lines[2], " " + std::string(100, 'c')); // a word longer than the width stays whole
    std::string joined;
    for (const std::string& piece : lines) {
        joined += piece;
    }
    EXPECT_EQ(joined, line);
}

} // namespace
