#include "scan/challenge_tag.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>

namespace {

// Digests of the number text followed by the secret, computed with
// coreutils md5sum.
const std::string Token4711 = "c96d5e77bca847302dd64fd4c3f12e4d";

TEST(ChallengeTag, SecretHasItsFixedForm) {
    std::string secret = TagSecret;
    ASSERT_EQ(secret.size(), 12u);
    EXPECT_EQ(std::count_if(secret.begin(), secret.end(), ::isdigit), 1);
    EXPECT_EQ(std::count(secret.begin(), secret.end(), '_'), 1);
    EXPECT_EQ(std::count(secret.begin(), secret.end(), '@'), 1);
    EXPECT_TRUE(std::any_of(secret.begin(), secret.end(), ::isupper));
    EXPECT_TRUE(std::any_of(secret.begin(), secret.end(), ::islower));
    EXPECT_EQ(std::count_if(secret.begin(), secret.end(), ::isalpha), 9);
}

TEST(ChallengeTag, TokenIsTheKeyedDigestInLowerCaseHex) {
    const std::pair<const char*, const char*> cases[] = {
        {"4711", "c96d5e77bca847302dd64fd4c3f12e4d"},
        {"", "ba2117583e97a2c0c1ec35a4bc2d437d"},
        {"0", "14fc8afef73c3a3e845f436f4ab1e345"},
        {"99999", "d46baa0a61548704b2051ea9e58a4204"},
    };
    for (const auto& [number, token] : cases)
        EXPECT_EQ(ChallengeToken(number), token) << number;
}

TEST(ChallengeTag, NumbersStayInRangeAndVary) {
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) {
        int number = NewChallengeNumber();
        ASSERT_GE(number, 0);
        ASSERT_LT(number, 100000);
        seen.insert(number);
    }
    EXPECT_GT(seen.size(), 1u);
}

TEST(ChallengeTag, TagTextCarriesNumberAndToken) {
    EXPECT_EQ(ChallengeTagText(4711), "[tarvo:4711-" + Token4711 + "]");
    EXPECT_TRUE(IsChallengeAnswer("Re: hello  " + ChallengeTagText(NewChallengeNumber())));
}

TEST(ChallengeTag, RecognisesAnswers) {
    std::string upperHex = Token4711;
    upperHex[upperHex.find_first_of("abcdef")] =
        static_cast<char>(std::toupper(upperHex[upperHex.find_first_of("abcdef")]));
    std::string changedDigit = Token4711;
    changedDigit[5] = changedDigit[5] == '0' ? '1' : '0';
    struct Case {
        std::string subject;
        bool answer;
    };
    const Case cases[] = {
        {"[tarvo:4711-" + Token4711 + "]", true},
        {"Re: RE: re: Re: hello  [tarvo:4711-" + Token4711 + "]", true},
        {"  AW: hello  [tarvo:4711-" + Token4711 + "]  ", true},
        {"Re: hello [tarvo:4711-" + Token4711 + "] and more", true},
        {"Re: hello  [tarvo:4711-" + upperHex + "]", false},
        {"Re: hello  [tarvo:4711-" + changedDigit + "]", false},
        {"Re: hello  [TARVO:4711-" + Token4711 + "]", false},
        {"Re: hello  [Tarvo:4711-" + Token4711 + "]", false},
        // Without the tag word: the last bracketed group alone.
        {"Re: hello  [4711-" + Token4711 + "]", true},
        {"Re: [x] hello  [4711-" + Token4711 + "]", true},
        {"Re: hello  [n4711-" + Token4711 + "]", false},
        {"Re: hello  [4711-" + Token4711 + "] [other]", false},
        // The number text is hashed as found, not as a number.
        {"Re: hello  [tarvo:04711-" + Token4711 + "]", false},
        {"Re: hello  [tarvo: 4711-" + Token4711 + "]", false},
        // The first tag word decides, even when a later one would match.
        {"[tarvo:1-x] [tarvo:4711-" + Token4711 + "]", false},
        // Malformed tags.
        {"Re: hello  [tarvo:4711" + Token4711 + "]", false},
        {"Re: hello  [tarvo:4711-" + Token4711, false},
        {"Re: hello  [tarvo:]-" + Token4711, false},
        {"]-", false},
        {"-]", false},
        {"]", false},
        {"", false},
        {"no tag at all", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsChallengeAnswer(c.subject), c.answer) << c.subject;
}

TEST(ChallengeTag, EmptyNumberFormNeedsTheTokenOfTheEmptyText) {
    // Without "[" before the hyphen the number text is empty.
    EXPECT_TRUE(IsChallengeAnswer("Re: x -" + ChallengeToken("") + "]"));
    EXPECT_FALSE(IsChallengeAnswer("Re: x -" + Token4711 + "]"));
}

} // namespace
