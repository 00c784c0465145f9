// Challenge-tag recognition: it never fails on any subject, and a genuine
// tag, in either form, is recognised after any prefix that brings no tag
// word of its own. The input is the prefix, a NUL byte and a number text.
#include "scan/challenge_tag.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>

namespace {

bool FirstTagWordAt(const std::string& subject, size_t position) {
    return subject.find("[tarvo:") == position;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    (void)IsChallengeAnswer(input);
    size_t split = input.find('\0');
    if (split == std::string::npos)
        return 0;
    std::string prefix = input.substr(0, split);
    std::string number = input.substr(split + 1, 12);
    if (number.find_first_of("-]") != std::string::npos)
        return 0;
    std::string token = ChallengeToken(number);

    std::string tagged = prefix + "[tarvo:" + number + "-" + token + "]";
    if (FirstTagWordAt(tagged, prefix.size()))
        FUZZ_CHECK(IsChallengeAnswer(tagged));
    if (number.find('[') != std::string::npos)
        return 0;
    // The tag word lost on the way: the last bracketed group still counts.
    std::string bare = prefix + "[" + number + "-" + token + "]";
    if (bare.find("[tarvo:") == std::string::npos)
        FUZZ_CHECK(IsChallengeAnswer(bare));
    return 0;
}
