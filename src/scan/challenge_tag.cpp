#include "scan/challenge_tag.h"

#include "records/text_helpers.h"

#include <md5.h>

#include <chrono>
#include <cstdint>
#include <random>

const char* const TagSecret = "vQ7rTk_Lm@Xz";

std::string ChallengeToken(const std::string& numberText) {
    const std::string input = numberText + TagSecret;
    MD5_CTX context;
    MD5Init(&context);
    MD5Update(&context, reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    std::uint8_t digest[MD5_DIGEST_LENGTH];
    MD5Final(digest, &context);

    static const char hexDigits[] = "0123456789abcdef";
    std::string token;
    token.reserve(2 * MD5_DIGEST_LENGTH);
    for (std::uint8_t byte : digest) {
        token += hexDigits[byte >> 4];
        token += hexDigits[byte & 0x0F];
    }
    return token;
}

int NewChallengeNumber() {
    auto seed = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::mt19937_64 generator(static_cast<std::uint64_t>(seed));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    int number = static_cast<int>(uniform(generator) * 100000);
    // The distribution may round up to its upper bound on some libraries.
    return number < 100000 ? number : 99999;
}

std::string ChallengeTagText(int number) {
    std::string numberText = std::to_string(number);
    return "[tarvo:" + numberText + "-" + ChallengeToken(numberText) + "]";
}

namespace {

constexpr char TagWord[] = "[tarvo:";
constexpr std::size_t TagWordLength = sizeof TagWord - 1;

// The text between from (inclusive) and to (exclusive); empty when to comes first.
std::string Between(const std::string& text, std::size_t from, std::size_t to) {
    return to > from ? text.substr(from, to - from) : std::string();
}

bool TokenMatches(const std::string& numberText, const std::string& tokenText) {
    return ChallengeToken(numberText) == tokenText;
}

bool MatchesTagWordForm(const std::string& subject, std::size_t start) {
    std::size_t dash = subject.find('-', start);
    if (dash == std::string::npos)
        return false;
    std::string numberText = Between(subject, start + TagWordLength, dash);
    std::size_t close = subject.find(']', start);
    std::string tokenText = close == std::string::npos ? std::string() : Between(subject, dash + 1, close);
    return TokenMatches(numberText, tokenText);
}

bool MatchesBracketForm(const std::string& subject) {
    std::size_t close = subject.rfind(']');
    if (close == std::string::npos || close == 0)
        return false;
    std::size_t dash = subject.rfind('-', close - 1);
    if (dash == std::string::npos)
        return false;
    std::string tokenText = Between(subject, dash + 1, close);
    std::size_t open = dash == 0 ? std::string::npos : subject.rfind('[', dash - 1);
    std::string numberText = open == std::string::npos ? std::string() : Between(subject, open + 1, dash);
    return TokenMatches(numberText, tokenText);
}

} // namespace

bool IsChallengeAnswer(const std::string& subject) {
    try {
        std::string trimmed = Trim(subject);
        std::size_t start = trimmed.find(TagWord);
        if (start != std::string::npos)
            return MatchesTagWordForm(trimmed, start);
        return MatchesBracketForm(trimmed);
    } catch (...) {
        return false;
    }
}
