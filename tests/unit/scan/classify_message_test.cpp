#include "scan/classify_message.h"

#include <gtest/gtest.h>

namespace {

TEST(PromptSubjectTest, DropsTheTagAndTheSpaceBeforeIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"Re: Re: hello  [tarvo:4711-abc]", "Re: Re: hello"},
        {"Re:   [tarvo:1-x]", "Re: "},
        {"[tarvo:1-x]", "[tarvo:1-x"},
        {"x", ""},
        {"", ""},
        {" tag", ""},
        {"a tag", ""},
        {"ab tag", "a"},
    };
    for (const auto& [subject, prompt] : cases)
        EXPECT_EQ(PromptSubject(subject), prompt) << subject;
}

TEST(MakerMailTest, TheMakersDomainAndItsSubDomains) {
    const std::pair<std::string, bool> cases[] = {
        {std::string("support@") + MakerMailDomain, true},
        {"News@Mail.BELVANTIS.com", true},
        {"x@notbelvantis.com", false},
        {"x@belvantis.com.example.org", false},
        {"belvantis.com@example.org", false},
        {"belvantis.com", false},
        {"", false},
    };
    for (const auto& [address, maker] : cases)
        EXPECT_EQ(IsMakerMail(address), maker) << address;
}

} // namespace
