#include "platform/paths.h"

#include <gtest/gtest.h>

TEST(IncludeTrailingDelimiter, AppendsOnlyWhenMissing) {
    EXPECT_EQ(IncludeTrailingDelimiter(""), "/");
    EXPECT_EQ(IncludeTrailingDelimiter("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeTrailingDelimiter("/a/b/"), "/a/b/");
}
