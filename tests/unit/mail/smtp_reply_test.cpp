#include "mail/smtp_reply.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(AddSmtpReplyLine, SingleAndMultiLineReplies) {
    struct Case {
        const char* name;
        Lines received;
        int code;
        Lines texts;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"single", {"250 2.0.0 Ok"}, 250, {"2.0.0 Ok"}, 1},
        {"code only", {"354"}, 354, {""}, 1},
        {"code and space", {"221 "}, 221, {""}, 1},
        {"multi",
         {"250-fake.example", "250-AUTH LOGIN", "250 8BITMIME", "250 next"},
         250,
         {"fake.example", "AUTH LOGIN", "8BITMIME"},
         3},
        {"not a reply", {"hello there"}, 0, {"hello there"}, 1},
        {"short", {"25"}, 0, {"25"}, 1},
        {"bad separator", {"250x"}, 0, {"250x"}, 1},
        {"empty", {""}, 0, {""}, 1},
        {"broken inside multi", {"250-fake.example", "oops", "250 OK"}, 0, {"fake.example", "oops"}, 2},
    };
    for (const Case& c : cases) {
        SmtpReply reply;
        std::size_t consumed = 0;
        for (const std::string& line : c.received) {
            ++consumed;
            if (AddSmtpReplyLine(reply, line))
                break;
        }
        EXPECT_EQ(consumed, c.consumed) << c.name;
        EXPECT_EQ(reply.Code, c.code) << c.name;
        EXPECT_EQ(reply.Lines, c.texts) << c.name;
        EXPECT_EQ(reply.Valid, c.code != 0) << c.name;
    }
}

TEST(SmtpReply, TextJoinsTheLinesWithCrLf) {
    SmtpReply reply;
    AddSmtpReplyLine(reply, "550-5.1.1 first");
    AddSmtpReplyLine(reply, "550 5.1.1 second");
    EXPECT_EQ(reply.Text(), "5.1.1 first\r\n5.1.1 second");
}

TEST(AddAnnouncedMechanisms, AuthLinesInEitherFormOnce) {
    struct Case {
        Lines ehlo;
        Lines mechanisms;
    };
    const Case cases[] = {
        {{"fake.example", "AUTH LOGIN PLAIN", "8BITMIME"}, {"LOGIN", "PLAIN"}},
        {{"AUTH=LOGIN"}, {"LOGIN"}},
        {{"auth=login cram-md5", "Auth Plain LOGIN"}, {"LOGIN", "CRAM-MD5", "PLAIN"}},
        {{"AUTH  LOGIN==PLAIN "}, {"LOGIN", "PLAIN"}},
        {{"AUTHLOGIN", "XAUTH LOGIN", "SIZE 1000"}, {}},
        {{"AUTH"}, {}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        SmtpReply reply;
        reply.Code = 250;
        reply.Lines = c.ehlo;
        Lines mechanisms;
        AddAnnouncedMechanisms(reply, mechanisms);
        EXPECT_EQ(mechanisms, c.mechanisms) << testing::PrintToString(c.ehlo);
    }
}

} // namespace
