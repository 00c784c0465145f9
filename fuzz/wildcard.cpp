// The sender-list wildcard matcher against a slow reference that tries
// every way a '*' can stretch. The input is the pattern, a NUL byte and the
// text.
#include "records/wildcard.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// matches[i][j]: the text from i on matches the pattern from j on.
bool ReferenceMatch(const std::string& text, const std::string& pattern) {
    size_t n = text.size(), m = pattern.size();
    std::vector<std::vector<char>> matches(n + 1, std::vector<char>(m + 1, 0));
    matches[n][m] = 1;
    for (size_t i = n + 1; i-- > 0;) {
        for (size_t j = m; j-- > 0;) {
            if (pattern[j] == '*')
                matches[i][j] = matches[i][j + 1] || (i < n && matches[i + 1][j]);
            else
                matches[i][j] =
                    i < n && (pattern[j] == '?' || Fold(pattern[j]) == Fold(text[i])) && matches[i + 1][j + 1];
        }
    }
    return matches[0][0];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2048)
        return 0;
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\0');
    std::string pattern = input.substr(0, split);
    std::string text = split == std::string::npos ? std::string() : input.substr(split + 1);
    FUZZ_CHECK(MatchWildcard(text, pattern) == ReferenceMatch(text, pattern));
    FUZZ_CHECK(MatchWildcard(pattern, pattern));
    return 0;
}
