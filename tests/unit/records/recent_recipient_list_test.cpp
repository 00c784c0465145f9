#include "records/recent_recipient_list.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

TEST(RecentRecipientList, InsertAtHeadAndCountWithoutRegardToCase) {
    RecentRecipientList list;
    list.Insert("joe@example.com");
    list.Insert("ann@example.com");
    list.Insert("JOE@Example.COM");
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0], "JOE@Example.COM");
    EXPECT_EQ(list[2], "joe@example.com");
    EXPECT_EQ(list.CountOf("Joe@example.com"), 2);
    EXPECT_EQ(list.CountOf("nobody@example.com"), 0);

    // The file could not give such an entry back as one line.
    list.Insert("split\r@example.com");
    list.Insert("split\n@example.com");
    EXPECT_EQ(list.Count(), 3);
}

// 60 entries from earlier runs, then 50 messages sent: the saved list holds the
// 50 new addresses (newest first) followed by the 50 newest old ones.
TEST(RecentRecipientList, TrimKeepsTheNewestHundred) {
    TempFolder folder;
    RecentRecipientList list;
    for (int i = 0; i < 60; ++i)
        list.Insert("old" + std::to_string(i) + "@example.com");
    list.SaveToFile(folder.Path());
    list.Clear();
    list.LoadFromFile(folder.Path());
    ASSERT_EQ(list.Count(), 60);
    for (int i = 0; i < 50; ++i)
        list.Insert("new" + std::to_string(i) + "@example.com");
    list.TrimTo(100);
    list.SaveToFile(folder.Path());

    std::string expected;
    for (int i = 49; i >= 0; --i)
        expected += "new" + std::to_string(i) + "@example.com\r\n";
    for (int i = 59; i >= 10; --i)
        expected += "old" + std::to_string(i) + "@example.com\r\n";
    EXPECT_EQ(folder.Read("looplist.dat"), expected);

    list.TrimTo(200);
    EXPECT_EQ(list.Count(), 100) << "trimming never adds";
}

TEST(RecentRecipientList, LoadReadsAnyLineEndsAndAMissingFileEmptiesTheList) {
    TempFolder folder;
    folder.Write("looplist.dat", "a@example.com\r\nB@example.com\na@example.com\rlast@example.com");
    RecentRecipientList list;
    list.LoadFromFile(folder.Path());
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[1], "B@example.com");
    EXPECT_EQ(list[3], "last@example.com");
    EXPECT_EQ(list.CountOf("A@EXAMPLE.COM"), 2);

    TempFolder empty;
    list.LoadFromFile(empty.Path());
    EXPECT_EQ(list.Count(), 0);
}
