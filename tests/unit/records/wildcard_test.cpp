#include "records/wildcard.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

bool SameIgnoringAsciiCase(char a, char b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return fold(a) == fold(b);
}

// The matcher exactly as its recursive, backtracking definition reads; the
// production matcher must give the same answer for every input.
bool ReferenceMatch(std::string t, std::string p) {
    while (!t.empty() && !p.empty()) {
        if (p[0] == '*') {
            p.erase(0, 1);
            while (!t.empty() && !ReferenceMatch(t, p))
                t.erase(0, 1);
        } else if (p[0] == '?' || SameIgnoringAsciiCase(t[0], p[0])) {
            t.erase(0, 1);
            p.erase(0, 1);
        } else {
            return false;
        }
    }
    std::erase(p, '*');
    return t.empty() && p.empty();
}

std::string RandomText(std::mt19937& random, const std::string& alphabet, int maxLength) {
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::string text(static_cast<size_t>(length(random)), ' ');
    for (char& c : text)
        c = alphabet[pick(random)];
    return text;
}

} // namespace

TEST(MatchWildcard, AgreesWithTheRecursiveDefinition) {
    std::mt19937 random(20240611);
    // Texts may hold '*' and '?' themselves (they are literals there); patterns
    // mix wildcards, both letter cases and a byte above 127.
    const std::string textAlphabet = "abAB*?.\xE9";
    const std::string patternAlphabet = "aAb*?**.\xE9";
    for (int i = 0; i < 200000; ++i) {
        std::string text = RandomText(random, textAlphabet, 9);
        std::string pattern = RandomText(random, patternAlphabet, 7);
        ASSERT_EQ(MatchWildcard(text, pattern), ReferenceMatch(text, pattern))
            << "text \"" << text << "\" pattern \"" << pattern << "\"";
    }
}

TEST(MatchWildcard, Cases) {
    struct Case {
        const char* text;
        const char* pattern;
        bool expected;
    };
    const Case cases[] = {
        {"", "", true},
        {"", "*", true},
        {"", "**", true},
        {"anything@at.all", "*", true},
        {"", "?", false},
        {"a", "", false},
        {"joe@example.com", "*@example.com", true},
        {"Joe@EXAMPLE.com", "*@example.com", true},
        {"Joe@EXAMPLE.COM", "*@Example.com", true},
        {"JOE@example.COM", "Joe@Example.com", true},
        {"joe@mail.example.com", "*@example.com", false},
        {"joe@example.com.evil.org", "joe@example.com", false},
        {"xjoe@example.com", "joe@example.com", false},
        {"joe@mail.example.com", "*example.com", true},
        {"joe@example.com", "*example.com", true},
        {"joe@example.com", "j?e@example.com", true},
        {"je@example.com", "j?e@example.com", false},
        {"a", "a*", true},
        {"ab", "a*b*", true},
        {"abc", "a*b", false},
        {"x*y", "x\\*y", false},
        {"\xC9t\xE9", "\xE9t\xE9", false},
        {"\xE9t\xE9", "\xE9T?", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchWildcard(c.text, c.pattern), c.expected) << c.text << " / " << c.pattern;
}

// The literal recursive steps take exponential time here; the answer must come
// back (a hang shows up as the test program's time-out).
TEST(MatchWildcard, ManyStarsAgainstLongTextGiveTheAnswer) {
    std::string text(200, 'a');
    EXPECT_FALSE(MatchWildcard(text, "*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(MatchWildcard(text + "b", "*a*a*a*a*a*a*a*a*b"));
}
