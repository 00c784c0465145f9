#include "challenge/quarantine_purge.h"

#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr std::time_t Hour = 3600;
constexpr std::time_t Day = 24 * Hour;

class PurgeOldQuarantineTest : public testing::Test {
protected:
    void SetUp() override {
        SetDataFolderOverride(m_data.Path());
        Accounts.Clear();
        ProgramSettings = SettingsRecord();
        Account& account = AppendAccount();
        account.ID = "{0A0A0A0A-0000-4000-8000-000000000001}";
        m_folder = AccountFolder(0);
    }
    void TearDown() override {
        SetClockForTesting(nullptr);
        Accounts.Clear();
        SetDataFolderOverride("");
    }

    QuarantineIndex& Index() { return Accounts.Item(0).Quarantine; }

    // A message file written now, and its index entry.
    void Quarantine(const std::string& fileName) {
        m_data.Write("Accounts/" + Accounts.Item(0).ID + "/" + fileName, "Subject: x\r\n\r\nbody\r\n.\r\n");
        Index().Add("a@example.org", "", CategoryChallenged, fileName, 0, "x", "me@example.com");
    }
    void IndexOnly(const std::string& fileName) {
        Index().Add("a@example.org", "", CategoryChallenged, fileName, 0, "x", "me@example.com");
    }
    std::string FileOf(const std::string& fileName) const { return m_folder + "/" + fileName; }

    // The index as the next start loads it.
    int SavedCount() {
        QuarantineIndex reloaded;
        EXPECT_TRUE(LoadIndexFile(reloaded, m_folder));
        return reloaded.Count();
    }

    void ClockAt(std::time_t offset) {
        std::time_t when = std::time(nullptr) + offset;
        SetClockForTesting([when] { return when; });
    }

    TempFolder m_data;
    std::string m_folder;
};

struct AgeCase {
    const char* name;
    std::time_t age;
    bool autoDelete;
    bool Kept;
};

class PurgeByAge : public PurgeOldQuarantineTest, public testing::WithParamInterface<AgeCase> {};

TEST_P(PurgeByAge, DeletesFileAndEntryFromTheConfiguredAgeOn) {
    ProgramSettings.AutoDelSpam = GetParam().autoDelete;
    ProgramSettings.AutoDelSpamDays = 14;
    Quarantine("{AGED}.dat");
    ClockAt(GetParam().age);
    PurgeOldQuarantine(0);
    EXPECT_EQ(FileExists(FileOf("{AGED}.dat")), GetParam().Kept);
    EXPECT_EQ(Index().Count(), GetParam().Kept ? 1 : 0);
    EXPECT_EQ(SavedCount(), GetParam().Kept ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Ages, PurgeByAge,
                         testing::Values(AgeCase{"ThirteenDaysTwentyThreeHours", 13 * Day + 23 * Hour, true, true},
                                         AgeCase{"FourteenDays", 14 * Day, true, false},
                                         AgeCase{"ThirtyDays", 30 * Day, true, false},
                                         AgeCase{"AutoDeleteOff", 100 * Day, false, true}),
                         [](const testing::TestParamInfo<AgeCase>& info) { return std::string(info.param.name); });

TEST_F(PurgeOldQuarantineTest, EntryWithoutFileIsRemovedWhateverTheSettings) {
    ProgramSettings.AutoDelSpam = false;
    Quarantine("{FIRST}.dat");
    IndexOnly("{GONE}.dat");
    Quarantine("{THIRD}.dat");
    PurgeOldQuarantine(0);
    ASSERT_EQ(Index().Count(), 2);
    EXPECT_EQ(Index().Item(0).FileName, "{FIRST}.dat");
    EXPECT_EQ(Index().Item(1).FileName, "{THIRD}.dat");
    EXPECT_EQ(SavedCount(), 2);
}

TEST_F(PurgeOldQuarantineTest, FileDatedInTheFutureGetsThePresentAndStays) {
    ProgramSettings.AutoDelSpamDays = 5;
    Quarantine("{FUTURE}.dat");
    ClockAt(-3 * Day);
    PurgeOldQuarantine(0);
    ASSERT_TRUE(FileExists(FileOf("{FUTURE}.dat")));
    struct stat info {};
    ASSERT_EQ(::stat(FileOf("{FUTURE}.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, NowUnix());
    EXPECT_EQ(Index().Count(), 1);
}

TEST_F(PurgeOldQuarantineTest, FileOnceDatedInTheFutureAgesFromItsReset) {
    ProgramSettings.AutoDelSpam = true;
    ProgramSettings.AutoDelSpamDays = 14;
    Quarantine("{FUTURE}.dat");
    ClockAt(-20 * Day);
    PurgeOldQuarantine(0);
    ASSERT_TRUE(FileExists(FileOf("{FUTURE}.dat")));
    // Still before the file's creation, but 15 days after its reset.
    ClockAt(-5 * Day);
    PurgeOldQuarantine(0);
    EXPECT_FALSE(FileExists(FileOf("{FUTURE}.dat")));
    EXPECT_EQ(Index().Count(), 0);
}

TEST_F(PurgeOldQuarantineTest, NameReachingOutsideTheFolderIsDroppedWithoutTouchingTheFile) {
    m_data.Write("Accounts/victim.dat", "keep me");
    IndexOnly("../victim.dat");
    ClockAt(60 * Day);
    PurgeOldQuarantine(0);
    EXPECT_TRUE(FileExists(m_data.File("Accounts/victim.dat")));
    EXPECT_EQ(Index().Count(), 0);
}

} // namespace
