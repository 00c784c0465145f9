#include "platform/atomic_file.h"
#include "platform/data_folder.h"
#include "platform/file_times.h"
#include "platform/paths.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

TEST(IncludeTrailingDelimiter, AppendsOnlyWhenMissing) {
    EXPECT_EQ(IncludeTrailingDelimiter(""), "/");
    EXPECT_EQ(IncludeTrailingDelimiter("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeTrailingDelimiter("/a/b/"), "/a/b/");
}

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv("QUORVANE_DATA_DIR");
        SetDataFolderOverride("");
    }
    void TearDown() override {
        ::unsetenv("QUORVANE_DATA_DIR");
        ::unsetenv("XDG_DATA_HOME");
        SetDataFolderOverride("");
    }
    TempFolder m_root;
};

TEST_F(DataFolderTest, FollowsXdgAndCreatesPrivateFolders) {
    ::setenv("XDG_DATA_HOME", m_root.Path().c_str(), 1);
    std::string folder = DataFolder();
    EXPECT_EQ(folder, m_root.Path() + "/Belvantis/Quorvane");
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(m_root.Path() + "/Belvantis"), 0700u);
}

TEST_F(DataFolderTest, EnvironmentAndOverrideReplaceTheWholePath) {
    ::setenv("XDG_DATA_HOME", m_root.Path().c_str(), 1);
    ::setenv("QUORVANE_DATA_DIR", (m_root.Path() + "/env/data/").c_str(), 1);
    EXPECT_EQ(DataFolder(), m_root.Path() + "/env/data");
    SetDataFolderOverride(m_root.Path() + "/cli");
    EXPECT_EQ(DataFolder(), m_root.Path() + "/cli");
    EXPECT_TRUE(FolderExists(m_root.Path() + "/cli"));
}

TEST_F(DataFolderTest, UncreatableFolderRaises) {
    m_root.Write("file", "x");
    SetDataFolderOverride(m_root.File("file") + "/below");
    EXPECT_THROW(DataFolder(), std::runtime_error);
}

TEST(ReplaceFileAtomically, WritesPrivateFileAndLeavesNoTemporary) {
    TempFolder folder;
    ReplaceFileAtomically(folder.File("a.dat"), "first\r\n");
    EXPECT_EQ(folder.Read("a.dat"), "first\r\n");
    EXPECT_EQ(ModeOf(folder.File("a.dat")), 0600u);
    ReplaceFileAtomically(folder.File("a.dat"), "second");
    EXPECT_EQ(folder.Read("a.dat"), "second");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(ReplaceFileAtomically, SkipsUnchangedContent) {
    TempFolder folder;
    ReplaceFileAtomically(folder.File("a.dat"), "same");
    struct stat before {};
    ::stat(folder.File("a.dat").c_str(), &before);
    ReplaceFileAtomically(folder.File("a.dat"), "same");
    struct stat after {};
    ::stat(folder.File("a.dat").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino); // a rewrite would rename a new inode into place
}

TEST(ReplaceFileAtomically, FailureRaisesAndLeavesNothingBehind) {
    TempFolder folder;
    EXPECT_THROW(ReplaceFileAtomically(folder.File("missing/a.dat"), "new"), std::runtime_error);
    // A folder in the way makes the final rename fail after the data was written.
    std::filesystem::create_directories(folder.File("taken/inner"));
    EXPECT_THROW(ReplaceFileAtomically(folder.File("taken"), "new"), std::runtime_error);
    EXPECT_TRUE(FolderExists(folder.File("taken/inner")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(FileCreationTime, KnowsExistingFilesOnly) {
    TempFolder folder;
    EXPECT_FALSE(FileCreationTime(folder.File("missing")).has_value());
    std::time_t before = std::time(nullptr);
    folder.Write("new", "x");
    auto created = FileCreationTime(folder.File("new"));
    ASSERT_TRUE(created.has_value());
    EXPECT_GE(*created, before - 2);
    EXPECT_LE(*created, std::time(nullptr) + 2);
}

} // namespace
