#include "records/quarantine_index.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <set>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out.push_back(static_cast<char>(value));
    return out;
}

// Two records written out byte by byte: the second has an empty sender name
// and subject, a zero date and category 3.
const std::string FirstRecord = Bytes({0x0F, 0, 0, 0}) + "joe@example.com" + Bytes({0x03, 0, 0, 0}) + "Joe" +
                                Bytes({0x0B, 0, 0, 0}) + "me@here.org" + Bytes({0x02, 0, 0, 0}) + "Hi" +
                                Bytes({0x2A, 0, 0, 0}) + "{0A1B2C3D-0000-4000-8000-00000000000A}.dat" +
                                Bytes({0x00, 0x00, 0x00, 0x00, 0x10, 0xF9, 0xE5, 0x40}) + Bytes({0x01, 0, 0, 0});
const std::string SecondRecord = Bytes({0x05, 0, 0, 0}) + "x@y.z" + Bytes({0, 0, 0, 0}) + Bytes({0x01, 0, 0, 0}) + "r" +
                                 Bytes({0, 0, 0, 0}) + Bytes({0x05, 0, 0, 0}) + "a.dat" +
                                 Bytes({0, 0, 0, 0, 0, 0, 0, 0}) + Bytes({0x03, 0, 0, 0});
const std::string TwoRecordIndex = Bytes({0x02, 0, 0, 0}) + FirstRecord + SecondRecord;

void AddFixtureEntries(QuarantineIndex& items) {
    items.Add("joe@example.com", "Joe", CategoryAutomated, "{0A1B2C3D-0000-4000-8000-00000000000A}.dat", 45000.5, "Hi",
              "me@here.org");
    items.Add("x@y.z", "", CategorySpam, "a.dat", 0, "", "r");
}

void ExpectFixtureEntries(QuarantineIndex& items) {
    ASSERT_EQ(items.Count(), 2);
    const QuarantineEntry& first = items.Item(0);
    EXPECT_EQ(first.SenderAddress, "joe@example.com");
    EXPECT_EQ(first.SenderName, "Joe");
    EXPECT_EQ(first.Recipients, "me@here.org");
    EXPECT_EQ(first.Subject, "Hi");
    EXPECT_EQ(first.FileName, "{0A1B2C3D-0000-4000-8000-00000000000A}.dat");
    EXPECT_EQ(first.Date, 45000.5);
    EXPECT_EQ(first.Category, CategoryAutomated);
    const QuarantineEntry& second = items.Item(1);
    EXPECT_EQ(second.SenderAddress, "x@y.z");
    EXPECT_EQ(second.SenderName, "");
    EXPECT_EQ(second.Recipients, "r");
    EXPECT_EQ(second.Subject, "");
    EXPECT_EQ(second.FileName, "a.dat");
    EXPECT_EQ(second.Date, 0);
    EXPECT_EQ(second.Category, CategorySpam);
}

} // namespace

TEST(QuarantineIndex, CategoryNames) {
    EXPECT_STREQ(CategoryName(CategoryChallenged), "Challenged Mail");
    EXPECT_STREQ(CategoryName(CategoryAutomated), "Possible Automated Mail");
    EXPECT_STREQ(CategoryName(CategoryVirus), "Possible Viruses/Worms");
    EXPECT_STREQ(CategoryName(CategorySpam), "Obvious Spam");
}

TEST(QuarantineIndex, IdsStayUniqueAcrossCollectionsDeletesAndReloads) {
    QuarantineIndex first;
    QuarantineIndex second;
    std::set<int> ids;
    for (int i = 0; i < 3; ++i) {
        ids.insert(first.Add("a@b.c", "", 0, "f.dat", 0, "", "").Id);
        ids.insert(second.Add("a@b.c", "", 0, "f.dat", 0, "", "").Id);
    }
    int deletedId = first.Item(0).Id;
    first.Delete(0);
    first.Clear();
    ids.insert(first.Add("a@b.c", "", 0, "f.dat", 0, "", "").Id);
    EXPECT_EQ(ids.size(), 7u);
    EXPECT_EQ(first.FindById(deletedId), nullptr);
    QuarantineEntry* found = second.FindById(second.Item(2).Id);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found, &second.Item(2));
    EXPECT_EQ(second.FindById(first.Item(0).Id), nullptr) << "ids belong to their own collection";
    EXPECT_THROW(second.Delete(3), std::out_of_range);
}

TEST(QuarantineIndex, SavesTheExactLayout) {
    TempFolder folder;
    QuarantineIndex items;
    ASSERT_TRUE(SaveIndexFile(items, folder.Path()));
    EXPECT_EQ(folder.Read("account2.dat"), Bytes({0, 0, 0, 0})) << "an empty index is a 4-byte zero";

    AddFixtureEntries(items);
    ASSERT_TRUE(SaveIndexFile(items, folder.Path() + "/"));
    EXPECT_EQ(folder.Read("account2.dat"), TwoRecordIndex);
}

TEST(QuarantineIndex, LoadsTheExactLayoutWithFreshIds) {
    TempFolder folder;
    folder.Write("account2.dat", TwoRecordIndex);
    QuarantineIndex items;
    items.Add("stale@example.com", "", 0, "old.dat", 0, "", "");
    int staleId = items.Item(0).Id;
    ASSERT_TRUE(LoadIndexFile(items, folder.Path()));
    ExpectFixtureEntries(items);
    EXPECT_NE(items.Item(0).Id, items.Item(1).Id);
    EXPECT_NE(items.Item(0).Id, staleId);
    EXPECT_FALSE(std::filesystem::exists(folder.File("account.dat")));
}

TEST(QuarantineIndex, NoIndexFileLeavesTheCollectionAlone) {
    TempFolder folder;
    QuarantineIndex items;
    items.Add("kept@example.com", "", 0, "k.dat", 0, "", "");
    EXPECT_TRUE(LoadIndexFile(items, folder.Path()));
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Item(0).SenderAddress, "kept@example.com");
}

TEST(QuarantineIndex, ConvertsTheOlderIndex) {
    TempFolder folder;
    // The older layout ends each record with one flag byte: non-zero is
    // "Challenged Mail", zero "Possible Automated Mail".
    auto oldRecord = [](const std::string& address, int flag) {
        return Bytes({static_cast<int>(address.size()), 0, 0, 0}) + address + Bytes({0, 0, 0, 0}) +
               Bytes({0, 0, 0, 0}) + Bytes({0, 0, 0, 0}) + Bytes({0x05, 0, 0, 0}) + "f.dat" +
               Bytes({0x00, 0x00, 0x00, 0x00, 0xC8, 0xD5, 0xE1, 0x40}) + Bytes({flag});
    };
    folder.Write("account.dat", Bytes({0x02, 0, 0, 0}) + oldRecord("a@b.cd", 0x01) + oldRecord("e@f.gh", 0x00));
    folder.Write("account2.dat", TwoRecordIndex);
    UpgradeNotice = false;

    QuarantineIndex items;
    ASSERT_TRUE(LoadIndexFile(items, folder.Path()));
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.Item(0).SenderAddress, "a@b.cd");
    EXPECT_EQ(items.Item(0).Category, CategoryChallenged);
    EXPECT_EQ(items.Item(1).SenderAddress, "e@f.gh");
    EXPECT_EQ(items.Item(1).Category, CategoryAutomated);
    EXPECT_EQ(items.Item(1).Date, 36526.25);
    EXPECT_TRUE(UpgradeNotice);

    EXPECT_FALSE(std::filesystem::exists(folder.File("account.dat")));
    auto newRecord = [](const std::string& address, int category) {
        return Bytes({static_cast<int>(address.size()), 0, 0, 0}) + address + Bytes({0, 0, 0, 0}) +
               Bytes({0, 0, 0, 0}) + Bytes({0, 0, 0, 0}) + Bytes({0x05, 0, 0, 0}) + "f.dat" +
               Bytes({0x00, 0x00, 0x00, 0x00, 0xC8, 0xD5, 0xE1, 0x40}) + Bytes({category, 0, 0, 0});
    };
    EXPECT_EQ(folder.Read("account2.dat"), Bytes({0x02, 0, 0, 0}) + newRecord("a@b.cd", 0) + newRecord("e@f.gh", 1));
}

// When the new file cannot be written the older one must stay: it is the only
// copy of the quarantine index.
TEST(QuarantineIndex, FailedConversionKeepsTheOlderIndex) {
    TempFolder folder;
    const std::string oldIndex = Bytes({0x01, 0, 0, 0}) + Bytes({0x05, 0, 0, 0}) + "a@b.c" + Bytes({0, 0, 0, 0}) +
                                 Bytes({0, 0, 0, 0}) + Bytes({0, 0, 0, 0}) + Bytes({0x05, 0, 0, 0}) + "f.dat" +
                                 Bytes({0, 0, 0, 0, 0, 0, 0, 0}) + Bytes({0x01});
    folder.Write("account.dat", oldIndex);
    std::filesystem::create_directories(folder.File("account2.dat/blocked"));

    QuarantineIndex items;
    UpgradeNotice = false;
    ASSERT_TRUE(LoadIndexFile(items, folder.Path()));
    ASSERT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Item(0).SenderAddress, "a@b.c");
    EXPECT_EQ(folder.Read("account.dat"), oldIndex);
    EXPECT_FALSE(UpgradeNotice);

    // Once the new file can be written, the older one goes: left behind it
    // would win at the next load over every entry added since.
    std::filesystem::remove_all(folder.File("account2.dat"));
    items.Add("new@example.com", "", 0, "g.dat", 0, "", "");
    ASSERT_TRUE(SaveIndexFile(items, folder.Path()));
    EXPECT_FALSE(std::filesystem::exists(folder.File("account.dat")));
    QuarantineIndex reloaded;
    ASSERT_TRUE(LoadIndexFile(reloaded, folder.Path()));
    EXPECT_EQ(reloaded.Count(), 2);
}

// Every prefix of a valid index loads exactly the records that lie wholly
// inside it.
TEST(QuarantineIndex, TruncatedIndexLoadsTheCompleteRecordsBeforeTheDamage) {
    TempFolder folder;
    const size_t firstEnd = 4 + FirstRecord.size();
    for (size_t length = 0; length < TwoRecordIndex.size(); ++length) {
        folder.Write("account2.dat", TwoRecordIndex.substr(0, length));
        QuarantineIndex items;
        items.Add("stale@example.com", "", 0, "s.dat", 0, "", "");
        ASSERT_TRUE(LoadIndexFile(items, folder.Path()));
        int expected = length >= firstEnd ? 1 : 0;
        ASSERT_EQ(items.Count(), expected) << "cut at " << length;
        if (expected == 1) {
            EXPECT_EQ(items.Item(0).FileName, "{0A1B2C3D-0000-4000-8000-00000000000A}.dat");
        }
    }
}

TEST(QuarantineIndex, ADateOutsideTheCalendarLoadsAsNoDate) {
    TempFolder folder;
    const size_t dateAt = 4 + FirstRecord.size() - 12;
    for (double date : {std::nan(""), HUGE_VAL, 1e300, -1e300}) {
        std::string index = TwoRecordIndex;
        index.replace(dateAt, 8, std::string(reinterpret_cast<const char*>(&date), 8));
        folder.Write("account2.dat", index);
        QuarantineIndex items;
        ASSERT_TRUE(LoadIndexFile(items, folder.Path()));
        ASSERT_EQ(items.Count(), 2);
        EXPECT_EQ(items.Item(0).Date, 0) << date;
        EXPECT_EQ(items.Item(0).Category, CategoryAutomated) << "the record is read whole";
    }
}

TEST(QuarantineIndex, LengthBeyondTheFileEndsTheReading) {
    TempFolder folder;
    std::string damaged = TwoRecordIndex;
    damaged[4 + FirstRecord.size()] = static_cast<char>(0x7F); // sender address length of the second record
    folder.Write("account2.dat", damaged);
    QuarantineIndex items;
    ASSERT_TRUE(LoadIndexFile(items, folder.Path()));
    EXPECT_EQ(items.Count(), 1);

    damaged[4 + FirstRecord.size() + 3] = static_cast<char>(0x80); // a negative length
    folder.Write("account2.dat", damaged);
    ASSERT_TRUE(LoadIndexFile(items, folder.Path()));
    EXPECT_EQ(items.Count(), 1);
}

TEST(QuarantineIndex, SaveFailureIsSilentAndUnchangedIndexIsNotRewritten) {
    TempFolder folder;
    QuarantineIndex items;
    AddFixtureEntries(items);
    EXPECT_FALSE(SaveIndexFile(items, folder.File("no-such-folder")));

    ASSERT_TRUE(SaveIndexFile(items, folder.Path()));
    struct stat before {};
    ASSERT_EQ(::stat(folder.File("account2.dat").c_str(), &before), 0);
    ASSERT_TRUE(SaveIndexFile(items, folder.Path()));
    struct stat after {};
    ASSERT_EQ(::stat(folder.File("account2.dat").c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino) << "an unchanged index is left in place";
}

TEST(QuarantineIndex, SaveKilledAtRandomLeavesAWholeFile) {
    TempFolder folder;
    QuarantineIndex oldItems;
    QuarantineIndex newItems;
    for (int i = 0; i < 5000; ++i) {
        oldItems.Add("old" + std::to_string(i) + "@example.com", "Old Sender", CategoryChallenged, "o.dat", i, "Old",
                     "me@example.com");
        newItems.Add("new" + std::to_string(i) + "@example.org", "New", CategorySpam, "n.dat", -i, "New subject",
                     "me@example.com");
    }
    ASSERT_TRUE(SaveIndexFile(oldItems, folder.Path()));
    const std::string oldBytes = folder.Read("account2.dat");
    ASSERT_TRUE(SaveIndexFile(newItems, folder.Path()));
    const std::string newBytes = folder.Read("account2.dat");

    std::mt19937 random(11);
    std::uniform_int_distribution<int> delay(0, 20000);
    for (int round = 0; round < 40; ++round) {
        ASSERT_TRUE(SaveIndexFile(oldItems, folder.Path()));
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                SaveIndexFile(newItems, folder.Path());
                SaveIndexFile(oldItems, folder.Path());
            }
        }
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        std::string bytes = folder.Read("account2.dat");
        ASSERT_TRUE(bytes == oldBytes || bytes == newBytes) << "round " << round << ": " << bytes.size() << " bytes";
    }
}
