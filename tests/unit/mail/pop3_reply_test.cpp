#include "mail/pop3_reply.h"

#include "platform/mail_transport_error.h"

#include <gtest/gtest.h>

namespace {

struct StatusCase {
    std::string line;
    bool positive;
    bool valid;
    std::string text;
};

TEST(ParsePop3Reply, StatusAndText) {
    const StatusCase cases[] = {
        {"+OK 2 320", true, true, "2 320"},
        {"+OK", true, true, ""},
        {"+OK  two spaces", true, true, " two spaces"},
        {"-ERR no such message", false, true, "no such message"},
        {"-ERR", false, true, ""},
        {"* something else", false, false, "* something else"},
        {"", false, false, ""},
    };
    for (const StatusCase& c : cases) {
        Pop3Reply reply = ParsePop3Reply(c.line);
        EXPECT_EQ(reply.Positive, c.positive) << c.line;
        EXPECT_EQ(reply.Valid, c.valid) << c.line;
        EXPECT_EQ(reply.Text, c.text) << c.line;
    }
}

TEST(ParseStatCount, FirstWordIsTheCount) {
    const std::pair<std::string, int> cases[] = {
        {"2 320", 2}, {"0 0", 0}, {"", 0}, {"   ", 0}, {" 7 1000", 7}, {"15", 15}, {"2147483647 1", 2147483647},
    };
    for (const auto& [text, count] : cases)
        EXPECT_EQ(ParseStatCount(text), count) << text;
}

TEST(ParseStatCount, AWordThatIsNoCountIsAnError) {
    for (const std::string text : {"many 1", "-1 0", "2x 30", "+3 30", "99999999999 1", "0x10 1"}) {
        try {
            ParseStatCount(text);
            ADD_FAILURE() << "accepted " << text;
        } catch (const MailTransportError& error) {
            EXPECT_EQ(std::string(error.what()), "Invalid STAT reply: " + text);
        }
    }
}

TEST(UnstuffLine, RemovesOneDotOfALeadingPair) {
    const std::pair<std::string, std::string> cases[] = {
        {"..", "."}, {"..x", ".x"},      {"...", ".."}, {"x.", "x."},
        {"", ""},    {"plain", "plain"}, {".x", ".x"}, // an unstuffed line keeps its dot
    };
    for (const auto& [stuffed, line] : cases)
        EXPECT_EQ(UnstuffLine(stuffed), line) << stuffed;
}

TEST(IsMultiLineEnd, OnlyASingleDot) {
    EXPECT_TRUE(IsMultiLineEnd("."));
    EXPECT_FALSE(IsMultiLineEnd(".."));
    EXPECT_FALSE(IsMultiLineEnd(". "));
    EXPECT_FALSE(IsMultiLineEnd(""));
}

} // namespace
