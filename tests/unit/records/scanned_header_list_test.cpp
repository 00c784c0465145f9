#include "records/scanned_header_list.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(ScannedHeaderList, AddFindByNumberAndClear) {
    ScannedHeaderList items;
    ScannedHeader& first = items.Add();
    EXPECT_EQ(first.MessageNumber, 0);
    EXPECT_FALSE(first.Kept);
    first.MessageNumber = 7;
    first.FromAddress = "first@example.com";
    for (int i = 0; i < 50; ++i)
        items.Add().MessageNumber = i == 10 ? 7 : 100 + i;
    EXPECT_EQ(&first, &items.Item(0)) << "records keep their addresses while others are added";
    EXPECT_EQ(items.FindByNumber(7), &first) << "the first record with that number";
    EXPECT_EQ(items.FindByNumber(149), &items.Item(50));
    EXPECT_EQ(items.FindByNumber(99), nullptr);
    EXPECT_THROW(items.Item(51), std::out_of_range);
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.FindByNumber(7), nullptr);
}
