#include "platform/wine_paths.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

class WinePathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("WINEPREFIX"))
            m_old = old;
        ::setenv("WINEPREFIX", m_prefix.Path().c_str(), 1);
        std::filesystem::create_directories(m_prefix.File("drive_c/Program Files/Qualcomm/Eudora"));
        m_prefix.Write("drive_c/Program Files/Qualcomm/Eudora/NNdbase.txt", "alias x a@b.example\n");
    }
    void TearDown() override {
        if (m_old.empty())
            ::unsetenv("WINEPREFIX");
        else
            ::setenv("WINEPREFIX", m_old.c_str(), 1);
    }
    TempFolder m_prefix;
    std::string m_old;
};

} // namespace

TEST_F(WinePathsTest, PrefixComesFromWineprefixElseHome) {
    ::setenv("WINEPREFIX", (m_prefix.Path() + "//").c_str(), 1);
    EXPECT_EQ(WinePrefixFolder(), m_prefix.Path());
    ::unsetenv("WINEPREFIX");
    std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(WinePrefixFolder(), "/home/someone/.wine");
    ::setenv("HOME", home.c_str(), 1);
}

TEST_F(WinePathsTest, DriveCFallsBackToDriveC) {
    EXPECT_EQ(MapWindowsPath("C:\\Program Files\\Qualcomm\\Eudora\\"),
              m_prefix.Path() + "/drive_c/Program Files/Qualcomm/Eudora/");
    EXPECT_EQ(MapWindowsPath("c:\\Program Files\\Qualcomm\\Eudora\\NNdbase.txt"),
              m_prefix.Path() + "/drive_c/Program Files/Qualcomm/Eudora/NNdbase.txt");
    EXPECT_EQ(MapWindowsPath("C:"), m_prefix.Path() + "/drive_c/");
    EXPECT_EQ(MapWindowsPath("E:\\Data\\"), "");
}

TEST_F(WinePathsTest, DrivesGoThroughTheDosdevicesLinks) {
    TempFolder elsewhere;
    std::filesystem::create_directories(elsewhere.File("mail"));
    std::filesystem::create_directories(m_prefix.File("dosdevices"));
    std::filesystem::create_directory_symlink(elsewhere.Path(), m_prefix.File("dosdevices/e:"));
    EXPECT_EQ(MapWindowsPath("E:\\mail\\"), m_prefix.Path() + "/dosdevices/e:/mail/");
    std::filesystem::create_directory_symlink("../drive_c", m_prefix.File("dosdevices/c:"));
    EXPECT_EQ(MapWindowsPath("C:\\Program Files\\"), m_prefix.Path() + "/dosdevices/c:/Program Files/");
}

TEST_F(WinePathsTest, NamesThatDifferOnlyInCaseAreFound) {
    EXPECT_EQ(MapWindowsPath("C:\\PROGRAM FILES\\qualcomm\\EUDORA\\nndbase.TXT"),
              m_prefix.Path() + "/drive_c/Program Files/Qualcomm/Eudora/NNdbase.txt");
    // A name that matches nothing stays as written.
    EXPECT_EQ(MapWindowsPath("C:\\Program Files\\Missing\\Eudora\\"),
              m_prefix.Path() + "/drive_c/Program Files/Missing/Eudora/");
}

TEST_F(WinePathsTest, RelativeAndDrivelessPaths) {
    EXPECT_EQ(MapWindowsPath("Files\\Qualcomm\\Eudora\\"), "Files/Qualcomm/Eudora/");
    EXPECT_EQ(MapWindowsPath("NNdbase.txt"), "NNdbase.txt");
    EXPECT_EQ(MapWindowsPath("\\Eudora\\"), "");
    EXPECT_EQ(MapWindowsPath("\\\\server\\share\\"), "");
    EXPECT_EQ(MapWindowsPath(""), "");
}

TEST(IsWindowsDrivePath, NeedsALetterAndAColon) {
    EXPECT_TRUE(IsWindowsDrivePath("C:\\x"));
    EXPECT_TRUE(IsWindowsDrivePath("z:"));
    EXPECT_FALSE(IsWindowsDrivePath("1:\\x"));
    EXPECT_FALSE(IsWindowsDrivePath("C"));
    EXPECT_FALSE(IsWindowsDrivePath("/home/x"));
    EXPECT_FALSE(IsWindowsDrivePath("\"C:\\x"));
}
