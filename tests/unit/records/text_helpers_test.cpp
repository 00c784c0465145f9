#include "records/text_helpers.h"

#include <gtest/gtest.h>

namespace {

TEST(RemoveBlankLines, LeavesNoEmptyLinesOrDoubledBreaks) {
    EXPECT_EQ(RemoveBlankLines("From: a\r\n\r\nTo: b\r\n"), "From: a\r\nTo: b\r\n");
    EXPECT_EQ(RemoveBlankLines("A: 1\r\n\r\n\r\n\r\nB: 2\r\n\r\n"), "A: 1\r\nB: 2\r\n");
    EXPECT_EQ(RemoveBlankLines("A\n\n\nB\r\r\rC"), "A\nB\rC");
    EXPECT_EQ(RemoveBlankLines(""), "");
}

TEST(SplitCommandLine, CutsAfterExeOrAtTheFirstUnquotedSpace) {
    struct Case {
        const char* command;
        const char* program;
        const char* parameters;
    } cases[] = {
        {"\"C:\\Program Files\\Outlook Express\\msimn.exe\" /mailurl:%1",
         "C:\\Program Files\\Outlook Express\\msimn.exe", "/mailurl:%1"},
        {"C:\\Eudora\\EUDORA.EXE", "C:\\Eudora\\EUDORA.EXE", ""},
        {"c:\\mail\\client.Exe -x  ", "c:\\mail\\client.Exe", "-x"},
        {"\"/opt/my mail/client\" -compose  ", "/opt/my mail/client", "-compose"},
        {"thunderbird -compose %u", "thunderbird", "-compose %u"},
        {"evolution", "evolution", ""},
    };
    for (const auto& c : cases) {
        auto [program, parameters] = SplitCommandLine(c.command);
        EXPECT_EQ(program, c.program) << c.command;
        EXPECT_EQ(parameters, c.parameters) << c.command;
    }
}

TEST(TextHelpers, TextBeforeTrimAndCase) {
    EXPECT_EQ(TextBefore("email:now", ":"), "email");
    EXPECT_EQ(TextBefore("email", ":"), "email");
    EXPECT_EQ(Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(LowerAscii("MiXed\xC4"), "mixed\xC4");
    EXPECT_TRUE(SameText("Foo@Example.COM", "foo@example.com"));
    EXPECT_FALSE(SameText("foo", "foo "));
}

TEST(TextHelpers, SplitAndJoinLines) {
    EXPECT_EQ(SplitLines("a\r\nb\rc\n\nd"), (std::vector<std::string>{"a", "b", "c", "", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(JoinLines({"a", "b"}), "a\r\nb\r\n");
}

} // namespace

namespace {

TEST(TextHelpers, JoinWithPutsTheSeparatorOnlyBetweenLines) {
    EXPECT_EQ(JoinWith({"a", "", "b"}, "\r\n"), "a\r\n\r\nb");
    EXPECT_EQ(JoinWith({"only"}, "\n"), "only");
    EXPECT_EQ(JoinWith({}, "\n"), "");
}

} // namespace
