#include "records/sender_lists.h"

#include "platform/data_folder.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SenderLists : public ::testing::Test {
protected:
    void SetUp() override {
        SetDataFolderOverride(m_folder.Path());
        ApprovedSenders.Clear();
        BlockedSenders.Clear();
    }
    void TearDown() override {
        SetListObserver({});
        SetDataFolderOverride("");
    }
    TempFolder m_folder;
};

} // namespace

TEST_F(SenderLists, SaveAndLoadBothListsInTheDataFolder) {
    EXPECT_EQ(ApprovedSenders.FileName(), "WhiteList.dat");
    EXPECT_EQ(BlockedSenders.FileName(), "BlackList.dat");
    ApprovedSenders.Add("Friend@Example.com");
    BlockedSenders.Add("*@spam.example");
    SaveLists();
    EXPECT_EQ(m_folder.Read("WhiteList.dat"), "friend@example.com\r\n");
    EXPECT_EQ(m_folder.Read("BlackList.dat"), "*@spam.example\r\n");

    ApprovedSenders.Clear();
    BlockedSenders.Add("other@example.com");
    LoadLists();
    EXPECT_EQ(ApprovedSenders.Strings(), std::vector<std::string>{"friend@example.com"});
    EXPECT_EQ(BlockedSenders.Strings(), std::vector<std::string>{"*@spam.example"});

    BlockedSenders.Clear();
    SaveLists();
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("BlackList.dat")));
}

TEST_F(SenderLists, TheOneObserverRunsBeforeTheListsAreWritten) {
    int firstCalls = 0;
    int secondCalls = 0;
    SetListObserver([&] { ++firstCalls; });
    SetListObserver([&] {
        ++secondCalls;
        EXPECT_FALSE(std::filesystem::exists(m_folder.File("WhiteList.dat")));
        ApprovedSenders.Add("added-by-observer@example.com");
    });
    SaveLists();
    EXPECT_EQ(firstCalls, 0) << "a new observer replaces the previous one";
    EXPECT_EQ(secondCalls, 1);
    EXPECT_EQ(m_folder.Read("WhiteList.dat"), "added-by-observer@example.com\r\n");

    SetListObserver({});
    SaveLists();
    EXPECT_EQ(secondCalls, 1) << "an empty function unregisters";
}
