#include "records/sender_list.h"

#include "records/text_helpers.h"
#include "records/wildcard.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <signal.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

TEST(SenderList, AddLowersRefusesEmptyAndDuplicates) {
    SenderList list("WhiteList.dat");
    EXPECT_EQ(list.Add("Joe@Example.COM"), 0);
    EXPECT_EQ(list.Add("JOE@example.com"), -1);
    EXPECT_EQ(list.Add("joe@example.com"), -1);
    EXPECT_EQ(list.Add(""), -1);
    EXPECT_EQ(list.Add(" Ann@example.com "), 1);
    EXPECT_EQ(list.Add("\xC9@example.com"), 2);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list[0], "joe@example.com");
    EXPECT_EQ(list[1], " ann@example.com ") << "entries are never trimmed";
    EXPECT_EQ(list[2], "\xC9@example.com") << "only ASCII letters are lowered";
}

TEST(SenderList, AddRefusesLineBreaks) {
    SenderList list("WhiteList.dat");
    for (const char* entry : {"\"a\n*\n\"@example.org", "a\r*@example.org", "\n"})
        EXPECT_EQ(list.Add(entry), -1) << entry;
    EXPECT_EQ(list.Count(), 0);
}

TEST(SenderList, AssignReplacesAndDeduplicates) {
    SenderList list("x.dat");
    list.Add("old@example.com");
    list.Assign({"B@example.com", "a@example.com", "b@EXAMPLE.com", ""});
    EXPECT_EQ(list.Strings(), (std::vector<std::string>{"b@example.com", "a@example.com"}));
    list.Assign(list.Strings());
    EXPECT_EQ(list.Strings(), (std::vector<std::string>{"b@example.com", "a@example.com"}));
    list.Delete(0);
    EXPECT_EQ(list.Strings(), (std::vector<std::string>{"a@example.com"}));
    EXPECT_THROW(list.Delete(1), std::out_of_range);
}

TEST(SenderList, ContainsDoesNotInterpretMasks) {
    SenderList list("x.dat");
    list.Add("*@Example.com");
    EXPECT_TRUE(list.Contains("*@EXAMPLE.COM"));
    EXPECT_FALSE(list.Contains("joe@example.com"));
    EXPECT_FALSE(list.Contains("?@example.com"));
    EXPECT_TRUE(list.Matches("joe@example.com"));
}

// The masks themselves are the wildcard matcher's (wildcard_test.cpp); the
// list answers whether any one of its entries matches.
TEST(SenderList, MatchesWhenAnyEntryMatches) {
    SenderList list("x.dat");
    list.Add("ann@example.org");
    list.Add("*@Family.example.net");
    EXPECT_TRUE(list.Matches("ann@example.org"));
    EXPECT_TRUE(list.Matches("Mum@FAMILY.example.net"));
    EXPECT_FALSE(list.Matches("bob@example.org"));
    EXPECT_FALSE(list.Matches("ann@example.org.evil.net"));
    EXPECT_FALSE(SenderList("x.dat").Matches("")) << "an empty list matches nothing";
}

// The indexed lookup must answer as trying every entry in turn would, also
// after deletions, for exact entries and masks alike.
TEST(SenderList, MatchesAsTryingEveryEntryWould) {
    const std::vector<std::string> entries = {
        "joe@example.com", "*@example.com", "*@Partner.org", "news?@list.org", "?@x.org", "*", "a*b", "*.org",
        "ann@*",           "x@y.org",       "*?*",           "Bob@X.ORG",      "*@x.org*"};
    const std::vector<std::string> texts = {"joe@example.com",
                                            "JOE@EXAMPLE.COM",
                                            "ann@partner.org",
                                            "news1@list.org",
                                            "news12@list.org",
                                            "q@x.org",
                                            "bob@x.org",
                                            "ab",
                                            "axxb",
                                            "",
                                            "x@y.org",
                                            "zed@none.net"};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        SenderList list("WhiteList.dat");
        for (const std::string& entry : entries)
            if (random() % 2)
                list.Add(entry);
        if (list.Count() > 0 && random() % 2)
            list.Delete(static_cast<int>(random() % static_cast<unsigned>(list.Count())));
        for (const std::string& text : texts) {
            bool anyEntry = false;
            for (const std::string& entry : list.Strings())
                anyEntry = anyEntry || MatchWildcard(LowerAscii(text), entry);
            ASSERT_EQ(list.Matches(text), anyEntry) << text << " in round " << round;
        }
    }
}

TEST(SenderList, LoadsAnyLineEndsLowerCasedWithoutDuplicates) {
    TempFolder folder;
    folder.Write("WhiteList.dat", "JOE@Example.com\r\n\r\njoe@example.com\rann@example.com\n\n bob@example.com\r\n");
    SenderList list("WhiteList.dat");
    list.Add("stale@example.com");
    list.LoadFromFile(folder.Path());
    EXPECT_EQ(list.Strings(), (std::vector<std::string>{"joe@example.com", "ann@example.com", " bob@example.com"}));

    folder.Write("WhiteList.dat", "last@example.com");
    list.LoadFromFile(folder.Path() + "/");
    EXPECT_EQ(list.Strings(), (std::vector<std::string>{"last@example.com"}));
}

TEST(SenderList, SavesCrLfLinesAndEmptyListDeletesTheFile) {
    TempFolder folder;
    SenderList list("BlackList.dat");
    list.Assign({"b@example.com", "A@example.com"});
    list.SaveToFile(folder.Path());
    EXPECT_EQ(folder.Read("BlackList.dat"), "b@example.com\r\na@example.com\r\n");
    EXPECT_EQ(std::filesystem::status(folder.File("BlackList.dat")).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    list.Clear();
    list.SaveToFile(folder.Path());
    EXPECT_FALSE(std::filesystem::exists(folder.File("BlackList.dat")));
    EXPECT_NO_THROW(list.SaveToFile(folder.Path())) << "a missing file is not an error";

    list.Add("kept@example.com");
    list.LoadFromFile(folder.Path());
    EXPECT_EQ(list.Count(), 0) << "a missing file loads as an empty list";
}

TEST(SenderList, FailuresToSaveOrDeleteAreReported) {
    TempFolder folder;
    SenderList list("WhiteList.dat");
    list.Add("joe@example.com");
    EXPECT_THROW(list.SaveToFile(folder.File("missing-folder")), std::runtime_error);

    // A folder in the file's place cannot be deleted as a file.
    std::filesystem::create_directories(folder.File("WhiteList.dat/inside"));
    list.Clear();
    EXPECT_THROW(list.SaveToFile(folder.Path()), std::runtime_error);
}

// A process killed at any moment of a save leaves either the old or the new
// file, never a mixture or a truncation.
TEST(SenderList, SaveKilledAtRandomLeavesAWholeFile) {
    TempFolder folder;
    SenderList oldList("WhiteList.dat");
    SenderList newList("WhiteList.dat");
    for (int i = 0; i < 20000; ++i) {
        oldList.Add("old" + std::to_string(i) + "@example.com");
        newList.Add("new" + std::to_string(i) + "@example.org");
    }
    oldList.SaveToFile(folder.Path());
    const std::string oldText = folder.Read("WhiteList.dat");
    newList.SaveToFile(folder.Path());
    const std::string newText = folder.Read("WhiteList.dat");

    std::mt19937 random(7);
    std::uniform_int_distribution<int> delay(0, 20000);
    for (int round = 0; round < 40; ++round) {
        oldList.SaveToFile(folder.Path());
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                newList.SaveToFile(folder.Path());
                oldList.SaveToFile(folder.Path());
            }
        }
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        std::string text = folder.Read("WhiteList.dat");
        ASSERT_TRUE(text == oldText || text == newText) << "round " << round << ": " << text.size() << " bytes";
    }
}
