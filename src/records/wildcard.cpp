#include "records/wildcard.h"

namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameByte(char textByte, char patternByte) {
    return patternByte == '?' || FoldAscii(textByte) == FoldAscii(patternByte);
}

} // namespace

// Greedy matching that remembers only the latest '*': when a later literal
// fails, the text covered by that star grows by one byte and matching resumes
// after it. An earlier star never needs revisiting, because the latest one can
// absorb whatever the earlier one would have, so each text position is tried
// against at most the pattern once instead of once per backtracking path.
bool MatchWildcard(const std::string& text, const std::string& pattern) {
    size_t t = 0;
    size_t p = 0;
    size_t starPattern = std::string::npos;
    size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = ++p;
            starText = t;
        } else if (p < pattern.size() && SameByte(text[t], pattern[p])) {
            ++t;
            ++p;
        } else if (starPattern != std::string::npos) {
            p = starPattern;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}
