#include "records/sender_list_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ImportableListEntries, KeepsOnlyTrimmedValidAddressLines) {
    struct Case {
        const char* name;
        std::string content;
        std::vector<std::string> expected;
    } cases[] = {
        {"empty file", "", {}},
        {"spaces trimmed, case kept", "  Jane@Example.org  \r\n", {"Jane@Example.org"}},
        {"blank lines", "\r\n\n   \r\nbob@x.org\r\n", {"bob@x.org"}},
        {"comments", "# friends\r\n#x@y.org\r\n;z@y.org\r\n  # w@y.org\r\n;old\r\n", {}},
        {"invalid addresses", "not-an-address\r\na@*.org\r\n", {}},
        {"a tab is not trimmed", "\tTab@x.org\r\n", {}},
        {"every line end, last line open",
         "a@x.org\r\nb@x.org\nc@x.org\rlast@x.org",
         {"a@x.org", "b@x.org", "c@x.org", "last@x.org"}},
        {"repeats stay for the list to judge",
         "ann@example.com\r\n  Ann@Example.com  \r\n",
         {"ann@example.com", "Ann@Example.com"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImportableListEntries(c.content), c.expected) << c.name;
}
