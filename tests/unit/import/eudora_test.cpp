#include "import/address_book_sync.h"
#include "import/eudora_location.h"
#include "import/eudora_nicknames.h"

#include "import_doubles.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "records/sender_lists.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

std::string EudoraFixture(const std::string& name) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/eudora/" + name, content)) << name;
    return content;
}

RegistryHive UserHive(const std::string& body) {
    return RegistryHive::FromText("REGEDIT4\r\n\r\n" + body, "HKEY_CURRENT_USER");
}

} // namespace

// ---------------------------------------------------------------- ReadEudoraNicknames

TEST(ReadEudoraNicknames, ReadsAliasAndNoteLines) {
    TempFolder folder;
    folder.Write("NNdbase.txt", EudoraFixture("NNdbase.txt"));
    std::vector<EudoraNickname> nicknames;
    ASSERT_TRUE(ReadEudoraNicknames(IncludeTrailingDelimiter(folder.Path()), nicknames));
    ASSERT_EQ(nicknames.size(), 5u);
    EXPECT_EQ(nicknames[0].Name, "ann");
    EXPECT_EQ(nicknames[0].Addresses, (std::vector<std::string>{"ann@example.com"}));
    // Items are kept as written, the space after a comma included.
    EXPECT_EQ(nicknames[1].Addresses,
              (std::vector<std::string>{"bob@example.com", " carol@example.com", "dave@example.com"}));
    // A quoted name with a space; "<otheremail:" items split at code 3 join it.
    EXPECT_EQ(nicknames[2].Name, "Book Club");
    EXPECT_EQ(nicknames[2].Addresses, (std::vector<std::string>{"erin@example.com", "frank@example.com",
                                                                "gina@example.com", "hank@example.com"}));
    // "alias lonely": no space after the name, so the name is empty and the rest stays.
    EXPECT_EQ(nicknames[3].Name, "");
    EXPECT_EQ(nicknames[3].Addresses, (std::vector<std::string>{"lonely"}));
    // "alias empty ,," has no address and is dropped; two spaces give an empty name.
    EXPECT_EQ(nicknames[4].Name, "");
    EXPECT_EQ(nicknames[4].Addresses, (std::vector<std::string>{"spaced@example.com"}));
}

TEST(ReadEudoraNicknames, AliasLineForms) {
    struct Case {
        const char* Line;
        const char* Name;
        std::vector<std::string> Addresses;
    };
    const Case cases[] = {
        {"alias \"Two Words\" \"a@example.com\",b@example.com", "Two Words", {"a@example.com", "b@example.com"}},
        {"alias \"Two Words\"a@example.com", "Two Words", {"a@example.com"}},
        {"alias nick    a@example.com,,b@example.com,", "nick", {"a@example.com", "b@example.com"}},
        {"alias \"never closed a@example.com", "never closed a@example.com", {}},
        {"   alias x a@example.com", "", {"alias x a@example.com"}},
        {"alias\tx a@example.com", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Line);
        TempFolder folder;
        folder.Write("NNdbase.txt", std::string(c.Line) + "\r\nalias end z@example.com\r\n");
        std::vector<EudoraNickname> nicknames;
        ASSERT_TRUE(ReadEudoraNicknames(folder.Path() + "/", nicknames));
        ASSERT_FALSE(nicknames.empty());
        if (c.Addresses.empty()) {
            EXPECT_EQ(nicknames.size(), 1u);
            continue;
        }
        ASSERT_EQ(nicknames.size(), 2u);
        EXPECT_EQ(nicknames[0].Name, c.Name);
        EXPECT_EQ(nicknames[0].Addresses, c.Addresses);
    }
}

TEST(ReadEudoraNicknames, NoteBeforeAnyAliasFailsTheParse) {
    TempFolder folder;
    folder.Write("NNdbase.txt", EudoraFixture("NNdbase_note_first.txt"));
    std::vector<EudoraNickname> nicknames{{"stale", {"x@example.com"}}};
    EXPECT_FALSE(ReadEudoraNicknames(folder.Path() + "/", nicknames));
    EXPECT_TRUE(nicknames.empty());
}

TEST(ReadEudoraNicknames, AMissingFileFails) {
    TempFolder folder;
    std::vector<EudoraNickname> nicknames;
    EXPECT_FALSE(ReadEudoraNicknames(folder.Path() + "/", nicknames));
    folder.Write("NNdbase.txt", "");
    EXPECT_TRUE(ReadEudoraNicknames(folder.Path() + "/", nicknames));
    EXPECT_TRUE(nicknames.empty());
}

// ---------------------------------------------------------------- FindEudoraFolder

namespace {

class FindEudoraFolderTest : public ::testing::Test {
protected:
    // A folder of drive C of the prefix holding the nickname file.
    std::string Place(const std::string& windowsFolder) {
        std::string local = m_prefix.Path() + "/drive_c/" + windowsFolder;
        std::filesystem::create_directories(local);
        m_prefix.Write("drive_c/" + windowsFolder + "/NNdbase.txt", "alias a a@example.com\r\n");
        return local + "/";
    }
    std::string Find(const RegistryHive& user) { return FindEudoraFolder("NNdbase.txt", user, m_machine); }

    TempFolder m_prefix;
    std::string m_prefixPath = m_prefix.Path();
    ScopedEnvironment m_winePrefix{"WINEPREFIX", &m_prefixPath};
    ScopedEnvironment m_eudora{"EUDORA", nullptr};
    RegistryHive m_machine;
};

const char* const DriveWalk = "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\Options]\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\C:\\Program Files\\Qualcomm\\Eudora]\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\C:\\Program Files\\Other]\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\D:\\Mail]\r\n";

} // namespace

TEST_F(FindEudoraFolderTest, TheEudoraVariableWinsOverEveryOtherPlace) {
    std::string walked = Place("Program Files/Qualcomm/Eudora");
    std::string mine = Place("Mine");
    RegistryHive user = UserHive(DriveWalk);
    ASSERT_EQ(Find(user), walked);

    std::string value = "C:\\Mine";
    ScopedEnvironment windows("EUDORA", &value);
    EXPECT_EQ(Find(user), mine);

    TempFolder native;
    native.Write("NNdbase.txt", "");
    std::string nativePath = native.Path();
    ScopedEnvironment local("EUDORA", &nativePath);
    EXPECT_EQ(Find(user), nativePath + "/");

    // A folder without the file, or an overlong value, is passed over.
    std::string empty = "C:\\Empty\\";
    ScopedEnvironment without("EUDORA", &empty);
    EXPECT_EQ(Find(user), walked);
    std::string overlong = "C:\\Mine\\" + std::string(260, '\\');
    ScopedEnvironment tooLong("EUDORA", &overlong);
    EXPECT_EQ(Find(user), walked);
}

TEST_F(FindEudoraFolderTest, TheDriveWalkFollowsTheFirstSubkeyOfTheFirstDrive) {
    Place("Program Files/Other");
    std::string walked = Place("Program Files/Qualcomm/Eudora");
    EXPECT_EQ(Find(UserHive(DriveWalk)), walked);
    // Keys in another letter case than the folders still find them.
    EXPECT_EQ(
        Find(UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\c:\\PROGRAM FILES\\qualcomm\\EUDORA]\r\n")),
        walked);
}

TEST_F(FindEudoraFolderTest, OnlyTheFirstDriveSubkeyIsWalked) {
    Place("Mail");
    // The walk takes the first subkey at every level ...
    EXPECT_EQ(Find(UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\C:\\Nothing]\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\C:\\Mail]\r\n")),
              "");
    // ... and only the first drive key: C: would hold the file, but E: comes first.
    EXPECT_EQ(Find(UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\E:\\Mail]\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\C:\\Mail]\r\n")),
              "");
}

TEST_F(FindEudoraFolderTest, CommandLineWordsRunWithoutAnyDriveSubkey) {
    std::string folder = Place("Data/Eudora");
    RegistryHive user =
        UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\r\n"
                 "\"current\"=\"C:\\\\PROGRA~1\\\\Eudora.exe   C:\\\\Data\\\\Eudora\\\\ C:\\\\x.ini\"\r\n");
    EXPECT_EQ(Find(user), folder);
}

TEST_F(FindEudoraFolderTest, AWordWithoutFolderEndsCommandLineAndLaunchManager) {
    Place("Tools/Eudora");
    RegistryHive user = UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\r\n"
                                 "\"current\"=\"Eudora.exe C:\\\\Tools\\\\Eudora\\\\\"\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine\\LaunchManager]\r\n"
                                 "\"DLLPath\"=\"C:\\\\Tools\\\\Eudora\\\\EuLaunch.dll\"\r\n");
    EXPECT_EQ(Find(user), "");
}

TEST_F(FindEudoraFolderTest, LaunchManagerRunsWithoutAnyDriveSubkey) {
    std::string tools = Place("Tools/Eudora");
    // Relative to the CommandLine key when that opens ...
    RegistryHive below = UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\r\n"
                                  "\"current\"=\"C:\\\\Elsewhere\\\\Eudora.exe\"\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine\\LaunchManager]\r\n"
                                  "\"DLLPath\"=\"C:\\\\Tools\\\\Eudora\\\\EuLaunch.dll\"\r\n");
    EXPECT_EQ(Find(below), tools);
    // ... else relative to the root of HKEY_CURRENT_USER.
    RegistryHive atRoot = UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora]\r\n"
                                   "[HKEY_CURRENT_USER\\LaunchManager]\r\n"
                                   "\"DLLPath\"=\"C:\\\\Tools\\\\Eudora\\\\EuLaunch.dll\"\r\n");
    EXPECT_EQ(Find(atRoot), tools);
    // The LaunchManager of the root is not read while CommandLine opens.
    RegistryHive both = UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine]\r\n"
                                 "[HKEY_CURRENT_USER\\LaunchManager]\r\n"
                                 "\"DLLPath\"=\"C:\\\\Tools\\\\Eudora\\\\EuLaunch.dll\"\r\n");
    EXPECT_EQ(Find(both), "");
}

TEST_F(FindEudoraFolderTest, TheCurrentFolderNeverCounts) {
    std::string programFiles = Place("Program Files/Qualcomm/Eudora");
    TempFolder current;
    current.Write("NNdbase.txt", "alias a a@example.com\r\n");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(current.Path().c_str()), 0);
    // No drive subkey, and an empty launch-manager path: neither looks in
    // the current folder, and the search goes on to the program files.
    RegistryHive user = UserHive("[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine\\LaunchManager]\r\n"
                                 "\"DLLPath\"=\"\"\r\n");
    std::string found = Find(user);
    ASSERT_EQ(::chdir(saved.c_str()), 0);
    EXPECT_EQ(found, programFiles);
}

TEST_F(FindEudoraFolderTest, ShellFoldersComeLast) {
    RegistryHive user = RegistryHive::FromText(
        "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"
        "\"AppData\"=\"C:\\\\users\\\\alice\\\\AppData\\\\Roaming\"\r\n"
        "[HKEY_CURRENT_USER\\Software\\Qualcomm\\Eudora\\CommandLine\\LaunchManager]\r\n\"DLLPath\"=dword:00000001\r\n",
        "HKEY_CURRENT_USER");
    m_machine =
        RegistryHive::FromText("REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
                               "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\r\n"
                               "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\r\n",
                               "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(Find(user), "");
    std::string programFiles = Place("Program Files (x86)/Qualcomm/Eudora");
    Place("Program Files/Qualcomm/Eudora");
    EXPECT_EQ(Find(user), programFiles);
    std::string appData = Place("users/alice/AppData/Roaming/Qualcomm/Eudora");
    EXPECT_EQ(Find(user), appData);
    // Without those values: Wine's default program-files folder.
    m_machine = RegistryHive();
    std::filesystem::remove_all(m_prefix.File("drive_c/users"));
    EXPECT_EQ(Find(RegistryHive()), m_prefix.Path() + "/drive_c/Program Files/Qualcomm/Eudora/");
}

TEST_F(FindEudoraFolderTest, LooksForTheGivenFile) {
    std::string folder = Place("Program Files/Qualcomm/Eudora");
    RegistryHive user = UserHive(DriveWalk);
    EXPECT_EQ(Find(user), folder);
    EXPECT_EQ(FindEudoraFolder("Eudora.ini", user, m_machine), "");
    m_prefix.Write("drive_c/Program Files/Qualcomm/Eudora/Eudora.ini", "[Settings]\r\n");
    EXPECT_EQ(FindEudoraFolder("Eudora.ini", user, m_machine), folder);
}

// ---------------------------------------------------------------- ImportEudoraNicknames

namespace {

class EudoraImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReloadRegistryHives();
        SetDataFolderOverride(m_data.Path());
        ApprovedSenders.Clear();
        SetEventPump([this] { ++m_pumps; });
    }
    void TearDown() override {
        SetEventPump({});
        SetDataFolderOverride("");
        ApprovedSenders.Clear();
        ReloadRegistryHives();
    }

    TempFolder m_eudora;
    std::string m_eudoraPath = m_eudora.Path();
    ScopedEnvironment m_variable{"EUDORA", &m_eudoraPath};
    TempFolder m_prefix;
    std::string m_prefixPath = m_prefix.Path();
    ScopedEnvironment m_winePrefix{"WINEPREFIX", &m_prefixPath};
    TempFolder m_data;
    int m_pumps = 0;
};

} // namespace

TEST_F(EudoraImportTest, AddsEveryValidAddressOfEveryNickname) {
    m_eudora.Write("NNdbase.txt", EudoraFixture("NNdbase.txt"));
    ApprovedSenders.Add("Frank@Example.com");
    ImportEudoraNicknames();
    EXPECT_EQ(ApprovedSenders.Strings(),
              (std::vector<std::string>{"frank@example.com", "ann@example.com", "bob@example.com", "carol@example.com",
                                        "dave@example.com", "erin@example.com", "gina@example.com", "hank@example.com",
                                        "spaced@example.com"}));
    // Every valid address lets window messages run, a known one too.
    EXPECT_EQ(m_pumps, 9);
}

TEST_F(EudoraImportTest, AFailedParseAddsNothing) {
    m_eudora.Write("NNdbase.txt", EudoraFixture("NNdbase_note_first.txt"));
    ImportEudoraNicknames();
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

TEST_F(EudoraImportTest, NoEudoraAddsNothing) {
    ImportEudoraNicknames();
    EXPECT_EQ(ApprovedSenders.Count(), 0);
    EXPECT_EQ(m_pumps, 0);
}

TEST_F(EudoraImportTest, ANicknameFileInTheCurrentFolderIsNotRead) {
    ScopedEnvironment noVariable("EUDORA", nullptr);
    TempFolder current;
    current.Write("NNdbase.txt", "alias a stray@example.com\r\n");
    std::string saved = std::filesystem::current_path().string();
    ASSERT_EQ(::chdir(current.Path().c_str()), 0);
    ImportEudoraNicknames();
    ASSERT_EQ(::chdir(saved.c_str()), 0);
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

TEST_F(EudoraImportTest, FindsTheFolderThroughTheWinePrefixRegistry) {
    ScopedEnvironment noVariable("EUDORA", nullptr);
    std::filesystem::create_directories(m_prefix.File("drive_c/Eudora"));
    m_prefix.Write("drive_c/Eudora/NNdbase.txt", "alias ann Ann@Example.com\r\n");
    m_prefix.Write("user.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Qualcomm\\\\Eudora\\\\CommandLine] 1700000000\n"
                               "#time=1da17316c614000\n\"current\"=\"C:\\\\Eudora\\\\Eudora.exe\"\n");
    ReloadRegistryHives();
    ImportEudoraNicknames();
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"ann@example.com"}));
}
