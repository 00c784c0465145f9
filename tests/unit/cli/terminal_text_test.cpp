#include "cli/terminal_text.h"

#include <gtest/gtest.h>

namespace {

struct SafeCase {
    std::string input;
    bool keepLineFeeds;
    std::string expected;
};

class TerminalSafeTest : public testing::TestWithParam<SafeCase> {};

TEST_P(TerminalSafeTest, NeutralisesWhatATerminalWouldObey) {
    EXPECT_EQ(TerminalSafe(GetParam().input, GetParam().keepLineFeeds), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TerminalSafeTest,
    testing::Values(
        SafeCase{"plain text\tok", false, "plain text\tok"}, SafeCase{"\x1b[31mred\x1b[0m", false, "?[31mred?[0m"},
        SafeCase{"line\r\nnext\n", false, "line??next?"}, SafeCase{"line\r\nnext\n", true, "line?\nnext\n"},
        SafeCase{"bell\x07 del\x7f", false, "bell? del?"},
        SafeCase{"csi \xc2\x9b"
                 "2J",
                 false, "csi ?2J"},
        SafeCase{"raw \x9b"
                 "2J",
                 false, "raw ?2J"},
        SafeCase{"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", false, "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        SafeCase{"latin1 caf\xe9", false, "latin1 caf\xe9"}, SafeCase{"nbsp \xc2\xa0!", false, "nbsp \xc2\xa0!"},
        // Overlong forms of ESC and CSI, a surrogate and a code point
        // above U+10FFFF are no sequences: their bytes go alone.
        SafeCase{"\xc0\x9b|\xe0\x82\x9b|\xf0\x80\x82\x9b", false, "\xc0?|\xe0??|\xf0???"},
        SafeCase{"\xed\xa0\x80|\xf4\x90\x80\x80", false, "\xed\xa0?|\xf4???"},
        SafeCase{"\xe0\xa0\x80|\xf4\x8f\xbf\xbf", false, "\xe0\xa0\x80|\xf4\x8f\xbf\xbf"}));

TEST(TerminalColumn, CutsAndPadsByCharacters) {
    EXPECT_EQ(TerminalColumn("caf\xc3\xa9", 6), "caf\xc3\xa9  ");
    EXPECT_EQ(TerminalColumn("\xc3\xa9\xc3\xa9\xc3\xa9\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac", 5), "\xc3\xa9\xc3\xa9...");
    EXPECT_EQ(TerminalColumn("\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80", 3),
              "\xf0\x9f\x98\x80\xf0\x9f\x98\x80\xf0\x9f\x98\x80");
    EXPECT_EQ(TerminalColumn("latin1 \xe9\xe9", 9), "latin1 \xe9\xe9");
    EXPECT_EQ(TerminalColumn("latin1 \xe9\xe9", 8), "latin...");
    EXPECT_EQ(TerminalColumn("\x1b[2J", 5), "?[2J ");
    EXPECT_EQ(PadToWidth("\xe2\x82\xac", 3), "\xe2\x82\xac  ");
    EXPECT_EQ(PadToWidth("longer", 3), "longer");
}

TEST(TerminalSafeLines, KeepsLinesOfCrLfAndNeutralisesTheRest) {
    EXPECT_EQ(TerminalSafeLines("Error:\r\n\r\nbad\rname\x1b[2J\n"), "Error:\n\nbad?name?[2J\n");
}

} // namespace
