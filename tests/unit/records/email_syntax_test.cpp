#include "records/email_syntax.h"

#include <gtest/gtest.h>

#include <string>

TEST(IsValidEmail, Cases) {
    struct Case {
        std::string address;
        bool expected;
    };
    const Case cases[] = {
        {"", false},
        {"joe@example.com", true},
        {"Joe.Bloggs@Mail.Example.COM", true},
        {"o'neil_2-x@a1.b-c.de", true},
        {"*@example.com", true},
        {"j?e@example.com", true},
        {"\"joe bloggs\"@example.com", true},
        {"\"a\\\"b\"@example.com", true},
        {"\"a\\\rb\"@example.com", false},
        {"\"a\rb\"@example.com", false},
        {"\"a\\\nb\"@example.com", false},
        {"\"a\n*\n\"@example.org", false},
        {"\"first\".last@example.com", true},
        {"first.\"last\"@example.com", true},
        {"\xE9t\xE9@example.com", true},
        {"joe@localhost", false},
        {"joe@example", false},
        {"joe@1example.com", false},
        {"joe@example.2com", false},
        {"joe@example-.com", false},
        {"joe@example.com-", false},
        {"joe@ex--ample.com", true},
        {"joe@example.c0m", true},
        {"joe@example.com.", false},
        {"joe@example..com", false},
        {".joe@example.com", false},
        {"joe.@example.com", false},
        {"jo..e@example.com", false},
        {"joe@[192.168.0.1]", false},
        {"joe@*.example.com", false},
        {"joe@example.*", false},
        {"joe@exa?mple.com", false},
        {"joe bloggs@example.com", false},
        {"joe", false},
        {"@example.com", false},
        {"joe@@example.com", false},
        {"joe@example.com ", false},
        {"jo\x7f@example.com", false},
        {"\"joe\"bloggs@example.com", false},
        {"\"unterminated@example.com", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidEmail(c.address), c.expected) << c.address;
}
