#include "mail/address_list_parser.h"
#include "mail/encoded_words.h"
#include "mail/mail_address.h"
#include "mail/mail_priority.h"
#include "mail/mime_parameters.h"

#include <gtest/gtest.h>

#include <climits>

#include <string>
#include <vector>

namespace {

struct AddressCase {
    const char* Value;
    std::vector<MailAddress> Expected;
};

TEST(AddressListParser, ReadsTheFormsOfRfc2822) {
    const std::vector<AddressCase> cases = {
        {"anna@example.net", {{"", "anna@example.net"}}},
        {"Anna Berg <anna@example.net>", {{"Anna Berg", "anna@example.net"}}},
        {"\"Berg, Anna\" <anna@example.net>, bob@example.org",
         {{"Berg, Anna", "anna@example.net"}, {"", "bob@example.org"}}},
        {"\"a \\\"quoted\\\" name\" <q@example.net>", {{"a \"quoted\" name", "q@example.net"}}},
        {"anna@example.net (Anna Berg)", {{"Anna Berg", "anna@example.net"}}},
        {"anna@example.net (comment (nested, with comma))", {{"comment (nested, with comma)", "anna@example.net"}}},
        {"friends: a@example.net, B <b@example.net>;, c@example.net",
         {{"", "a@example.net"}, {"B", "b@example.net"}, {"", "c@example.net"}}},
        {"undisclosed-recipients:;", {}},
        {"<@relay.example:route@example.net>", {{"", "route@example.net"}}},
        {"\"john doe\"@example.net", {{"", "\"john doe\"@example.net"}}},
        {"a@example.net,, ,b@example.net,", {{"", "a@example.net"}, {"", "b@example.net"}}},
        {"Broken <unterminated@example.net", {{"Broken", "unterminated@example.net"}}},
        {"", {}},
    };
    for (const AddressCase& c : cases) {
        EXPECT_EQ(ParseAddressList(c.Value), c.Expected) << c.Value;
    }
}

TEST(MailAddress, DisplayTextQuotesOnlyWhenNeeded) {
    const std::vector<std::pair<MailAddress, std::string>> cases = {
        {{"", "anna@example.net"}, "anna@example.net"},
        {{"Anna Berg", "anna@example.net"}, "Anna Berg <anna@example.net>"},
        {{"Berg, Anna", "anna@example.net"}, "\"Berg, Anna\" <anna@example.net>"},
        {{"say \"hi\" \\o/", "x@example.net"}, "\"say \\\"hi\\\" \\\\o/\" <x@example.net>"},
        {{"O'Brien", "ob@example.net"}, "O'Brien <ob@example.net>"},
        {{"Name Only", ""}, "<>"},
    };
    for (const auto& [address, text] : cases) {
        EXPECT_EQ(address.DisplayText(), text);
    }
    EXPECT_EQ(AddressListText({{"A", "a@x.org"}, {"", "b@x.org"}}), "A <a@x.org>, b@x.org");
}

TEST(EncodedWords, DecodesIntoTheLocaleCharset) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"=?ISO-8859-1?Q?caf=E9?=", "caf\xc3\xa9"},
        {"=?iso-8859-1?q?a_b?= plain", "a b plain"},
        {"=?UTF-8?B?SsO2cmc=?=", "J\xc3\xb6rg"},
        // Blanks between adjacent words vanish, a character split across them survives.
        {"=?utf-8?B?w6E=?= =?utf-8?B?w6k=?=", "\xc3\xa1\xc3\xa9"},
        {"=?utf-8?Q?=C3?= =?utf-8?Q?=A9?=", "\xc3\xa9"},
        {"Re: =?KOI8-R?B?8NLJ18XU?= !", "Re: \xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 !"},
        {"=?utf-8*de?Q?Gr=C3=BC=C3=9Fe?=", "Gr\xc3\xbc\xc3\x9f"
                                           "e"},
        // What cannot be converted stays as it is.
        {"=?x-unknown?Q?abc?=", "=?x-unknown?Q?abc?="},
        {"=?utf-8?B?/w==?=", "=?utf-8?B?/w==?="},
        {"=?utf-8?X?abc?=", "=?utf-8?X?abc?="},
        {"=?utf-8?Q?no end", "=?utf-8?Q?no end"},
        {"plain text", "plain text"},
    };
    for (const auto& [encoded, decoded] : cases) {
        EXPECT_EQ(DecodeEncodedWords(encoded), decoded) << encoded;
    }
}

TEST(EncodedWords, EncodesNonAsciiTextInShortWordsThatDecodeBack) {
    EXPECT_EQ(EncodeHeaderWords("plain ASCII"), "plain ASCII");
    std::string text;
    for (int i = 0; i < 30; ++i) {
        text += "K\xc3\xb6ln ";
    }
    std::string encoded = EncodeHeaderWords(text);
    size_t start = 0;
    while (start < encoded.size()) {
        size_t end = encoded.find(' ', start);
        std::string word = encoded.substr(start, end == std::string::npos ? std::string::npos : end - start);
        EXPECT_LE(word.size(), 75u);
        EXPECT_EQ(word.rfind("=?UTF-8?Q?", 0), 0u) << word;
        start = end == std::string::npos ? encoded.size() : end + 1;
    }
    EXPECT_EQ(DecodeEncodedWords(encoded), text);
}

TEST(Priority, FollowsTheHeaderRules) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"1 (Highest)", 0},  {"2", 1},           {"3 (Normal)", 2},
        {"5 (Lowest)", 4},   {"0", -1},          {"Urgent", 1},
        {"non-priority", 3}, {"high", 2},        {"", 2},
        {"  4  ", 3},        {"-2147483648", 2}, {"-2147483647", INT_MIN},
        {"99999999999", 2},
    };
    for (const auto& [value, priority] : cases) {
        EXPECT_EQ(PriorityFromHeaderValue(value), priority) << value;
    }
}

TEST(MimeParameters, ReadsPlainQuotedAndRfc2231Values) {
    const std::string type = "Multipart/Mixed; boundary=\"a;b\"; charset=utf-8 ; x=\"q\\\"uote\"";
    EXPECT_EQ(MediaType(type), "multipart/mixed");
    EXPECT_EQ(MediaType("text/plain"), "text/plain");
    EXPECT_EQ(HeaderParameter(type, "BOUNDARY"), "a;b");
    EXPECT_EQ(HeaderParameter(type, "charset"), "utf-8");
    EXPECT_EQ(HeaderParameter(type, "x"), "q\"uote");
    EXPECT_EQ(HeaderParameter(type, "name"), "");
    EXPECT_EQ(HeaderParameter("attachment; filename*=iso-8859-1''r%E9sum%E9.txt", "filename"),
              "r\xc3\xa9sum\xc3\xa9.txt");
    EXPECT_EQ(HeaderParameter("attachment; filename*1=\"two.txt\"; filename*0=\"part-\"", "filename"), "part-two.txt");
    EXPECT_EQ(HeaderParameter("attachment; filename=\"x\"; filename*0=y", "filename"), "x");
}

} // namespace
