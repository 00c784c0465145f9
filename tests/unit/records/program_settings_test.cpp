#include "records/program_settings.h"

#include "platform/autostart.h"
#include "platform/data_folder.h"
#include "platform/paths.h"
#include "records/ini_document.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char DefaultChallengeText[] =
    "Dear %Sender-Name%,\r\n"
    "\r\n"
    "My spam blocker has put your message on hold because you are not yet on my\r\n"
    "approved list.  To request to be added to my approved list so that I can receive\r\n"
    "your current and future messages, please do this:\r\n"
    "\r\n"
    "Click Reply and send this message back to me.\r\n"
    "\r\n"
    "Thank you.\r\n"
    "%My-Name%";

const char DefaultPostResponseText[] =
    "Dear %Sender-Name%,\r\n"
    "\r\n"
    "Congratulations, you have been added to my approved list and I am now able to\r\n"
    "receive your current and future messages.\r\n"
    "\r\n"
    "Thank you.\r\n"
    "%My-Name%";

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/settings/" + name, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// A private data folder, autostart folder and desktop whose mailto handler
// is a known command; fresh settings in memory.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_home.File("config"));
        std::filesystem::create_directories(m_home.File("share/applications"));
        m_home.Write("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=testmail.desktop;\n");
        m_home.Write("share/applications/testmail.desktop",
                     "[Desktop Entry]\nType=Application\nExec=/opt/testmail/testmail --compose %u\n");
        ::setenv("XDG_CONFIG_HOME", m_home.File("config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", m_home.File("share").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", m_home.File("none").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", m_home.File("none").c_str(), 1);
        SetDataFolderOverride(m_data.Path());
        ProgramSettings = SettingsRecord();
        ChallengeTemplate.clear();
        PostResponseTemplate.clear();
    }

    void TearDown() override {
        SetStartAtLogonProgramFolder("");
        SetDataFolderOverride("");
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"})
            ::unsetenv(name);
    }

    void WriteSettingsFile(const std::string& text) { m_data.Write("vantrel.ini", text); }
    std::string SettingsFile() const { return m_data.Read("vantrel.ini"); }

    std::string Value(const std::string& key) const { return SettingText(ProgramSettings, *FindSetting(key)); }

    TempFolder m_home;
    TempFolder m_data;
};

} // namespace

TEST_F(SettingsStore, NoSettingsFileGivesDefaults) {
    LoadSettings();
    const std::pair<const char*, const char*> expected[] = {
        {"EmailClient", "/opt/testmail/testmail --compose"},
        {"AutoScan", "0"},
        {"AutoScanMin", "10"},
        {"AutoDelSpam", "1"},
        {"AutoDelSpamDays", "14"},
        {"PasswordProtect", "0"},
        {"Password", ""},
        {"NoAskApprove", "0"},
        {"NoChallenge", "0"},
        {"SyncAddressBook", "1"},
        {"SpamNotRecipient", "1"},
        {"ApproveMailerDaemonPostmaster", "1"},
        {"NoNullMailFrom", "0"},
        {"ConnectInternet", "1"},
        {"CheckUpdate", "1"},
        {"CheckUpdateLast", "-1"},
        {"Timeout", "60"},
        {"SkipForgedSenders", "1"},
    };
    ASSERT_EQ(SettingsTable().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_STREQ(SettingsTable()[i].Key, expected[i].first) << "load and save order";
        EXPECT_EQ(Value(expected[i].first), expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(ChallengeTemplate, DefaultChallengeText);
    EXPECT_EQ(PostResponseTemplate, DefaultPostResponseText);
    EXPECT_EQ(StoredAccountCount(), 0);
    EXPECT_FALSE(FileExists(m_data.File("vantrel.ini"))) << "loading writes nothing";
}

TEST_F(SettingsStore, LoadAppliesLimitsAndDefaultsForBadValues) {
    struct Case {
        const char* key;
        const char* stored;
        const char* loaded;
    } cases[] = {
        {"AutoScanMin", "0", "1"},
        {"AutoScanMin", "-5", "1"},
        {"AutoScanMin", "0x1E", "30"},
        {"Timeout", "10", "30"},
        {"Timeout", "30", "30"},
        {"Timeout", "abc", "60"},
        {"Timeout", "2147483647", "2147483"},
        {"AutoDelSpamDays", "3", "5"},
        {"AutoDelSpamDays", "-1", "5"},
        {"AutoDelSpamDays", "300", "255"},
        {"AutoDelSpamDays", "255", "255"},
        {"AutoDelSpamDays", "", "14"},
        {"CheckUpdateLast", "17", "17"},
        {"AutoScan", "2", "1"},
        {"AutoDelSpam", "0", "0"},
        {"AutoDelSpam", "no", "1"},
    };
    for (const auto& c : cases) {
        WriteSettingsFile(std::string("[Settings]\r\n") + c.key + "=" + c.stored + "\r\n");
        LoadSettings();
        EXPECT_EQ(Value(c.key), c.loaded) << c.key << "=" << c.stored;
    }
}

TEST_F(SettingsStore, PasswordIsScrambledAndLegacyFormIsRead) {
    WriteSettingsFile("[Settings]\r\nPassword=IXJJ\r\nNumAccounts=3\r\n[Account3]\r\n");
    LoadSettings();
    EXPECT_EQ(ProgramSettings.Password, "pass");
    EXPECT_EQ(StoredAccountCount(), 3);
    SaveSettings();
    IniDocument ini;
    ini.LoadFromFile(m_data.File("vantrel.ini"));
    EXPECT_EQ(ini.ReadString("Settings", "Password", ""), "<DLscng==>");
    ProgramSettings.Password.clear();
    LoadSettings();
    EXPECT_EQ(ProgramSettings.Password, "pass");
}

TEST_F(SettingsStore, TemplatesAreTrimmedAndOnlyEmptyOnesGetDefaults) {
    ChallengeTemplate = " \r\n\tPlease reply.\r\n\r\n";
    LoadSettings();
    EXPECT_EQ(ChallengeTemplate, "Please reply.");
    EXPECT_EQ(PostResponseTemplate, DefaultPostResponseText);
    EXPECT_EQ(DefaultChallengeTemplate(), DefaultChallengeText);
}

TEST_F(SettingsStore, SaveKeepsHandEditedLines) {
    WriteSettingsFile(Fixture("hand-edited.ini"));
    LoadSettings();
    EXPECT_TRUE(ProgramSettings.AutoScan);
    EXPECT_EQ(ProgramSettings.AutoScanMin, 30);
    EXPECT_EQ(ProgramSettings.Timeout, 60) << "the first Timeout wins and does not parse";
    EXPECT_TRUE(ProgramSettings.CheckUpdate) << "the repeated section is not read";
    ProgramSettings.Timeout = 45;
    SaveSettings();

    std::string saved = SettingsFile();
    const char* kept[] = {
        "; Quorvane settings, edited by hand\r\n\r\n[settings]\r\n  autoscan = 1 \r\n",
        "# a hash comment\r\nTimeout=45\r\nTimeout=90\r\n",
        ("\r\n[Account1]\r\nEmailAddress=me@example.com\r\nPort=-1\r\n; trailing comment of Account1\r\n"
         "\r\n[SETTINGS]\r\nCheckUpdate=0\r\nstray line without equals\r\n")};
    for (const char* part : kept)
        EXPECT_NE(saved.find(part), std::string::npos) << part;
    EXPECT_NE(saved.find("Timeout=90\r\nEmailClient=/opt/testmail/testmail --compose\r\nAutoDelSpam=1\r\n"),
              std::string::npos)
        << "new keys follow the section's last key";
    EXPECT_EQ(saved.find("NumAccounts"), std::string::npos);

    SettingsRecord before = ProgramSettings;
    ProgramSettings = SettingsRecord();
    LoadSettings();
    for (const SettingInfo& info : SettingsTable())
        EXPECT_EQ(SettingText(ProgramSettings, info), SettingText(before, info)) << info.Key;
}

TEST(TimeoutMilliseconds, NeverOverflows) {
    SettingsRecord settings;
    EXPECT_EQ(TimeoutMilliseconds(settings), 60000);
    settings.Timeout = MaxTimeoutSeconds;
    EXPECT_EQ(TimeoutMilliseconds(settings), 2147483000);
    settings.Timeout = INT32_MAX;
    EXPECT_EQ(TimeoutMilliseconds(settings), INT32_MAX);
}

TEST_F(SettingsStore, OnlyAProcessThatRegistersWritesTheAutostartEntry) {
    LoadSettings();
    SaveSettings();
    EXPECT_TRUE(FileExists(m_data.File("vantrel.ini")));
    EXPECT_FALSE(std::filesystem::exists(m_home.File("config/autostart")));
}

TEST_F(SettingsStore, SavingTwiceLeavesOneAutostartEntry) {
    SetStartAtLogonProgramFolder(ProgramFolder());
    LoadSettings();
    SaveSettings();
    ProgramSettings.AutoScan = true;
    SaveSettings();
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(m_home.File("config/autostart")))
        entries.push_back(entry.path().filename().string());
    ASSERT_EQ(entries, std::vector<std::string>{"quorvane.desktop"});
    std::string desktop = m_home.Read("config/autostart/quorvane.desktop");
    EXPECT_NE(desktop.find("Exec=\"" + IncludeTrailingDelimiter(ProgramFolder()) + "vantrel\"\n"), std::string::npos)
        << desktop;
    EXPECT_EQ(StartAtLogonEntryPath(), m_home.File("config/autostart/quorvane.desktop"));
}

TEST_F(SettingsStore, UnreadableFileGivesDefaultsButIsNeverOverwritten) {
    std::filesystem::create_directory(m_data.File("vantrel.ini"));
    ProgramSettings.Timeout = 99;
    LoadSettings();
    EXPECT_EQ(ProgramSettings.Timeout, 60);
    SetStartAtLogonProgramFolder(ProgramFolder());
    EXPECT_THROW(SaveSettings(), std::runtime_error);
    EXPECT_TRUE(std::filesystem::is_directory(m_data.File("vantrel.ini")));
    EXPECT_FALSE(std::filesystem::exists(m_home.File("config/autostart"))) << "nothing registered after a failure";
}

TEST(SetSettingFromText, ParsesAndAppliesLoadLimits) {
    struct Case {
        const char* key;
        const char* text;
        const char* result; // nullptr: refused
    } cases[] = {
        {"timeout", "10", "30"},        {"Timeout", "0x40", "64"},
        {"Timeout", "6o", nullptr},     {"AutoDelSpamDays", "9999", "255"},
        {"AutoDelSpamDays", "7", "7"},  {"AutoScanMin", "", nullptr},
        {"AutoScan", "yes", "1"},       {"AutoScan", "Off", "0"},
        {"AutoScan", "2", "1"},         {"AutoScan", "maybe", nullptr},
        {"Password", " x y ", " x y "}, {"EmailClient", "mutt", "mutt"},
    };
    for (const auto& c : cases) {
        SettingsRecord settings;
        const SettingInfo* info = FindSetting(c.key);
        ASSERT_NE(info, nullptr) << c.key;
        std::string before = SettingText(settings, *info);
        std::string error = SetSettingFromText(settings, *info, c.text);
        if (c.result) {
            EXPECT_EQ(error, "") << c.key << " " << c.text;
            EXPECT_EQ(SettingText(settings, *info), c.result) << c.key << " " << c.text;
        } else {
            EXPECT_NE(error.find(info->Key), std::string::npos) << error;
            EXPECT_EQ(SettingText(settings, *info), before) << "a refused value changes nothing";
        }
    }
    EXPECT_EQ(FindSetting("NumAccounts"), nullptr);
    EXPECT_EQ(FindSetting("Left"), nullptr);
}

namespace {

// Starts a process that saves the settings over and over, alternating between
// two contents, and kills it delayMicroseconds after its second save.
void KillWhileSaving(const std::string (&clients)[2], useconds_t delayMicroseconds) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        try {
            for (int i = 0; i < 100000; ++i) {
                ProgramSettings.EmailClient = clients[i % 2];
                ProgramSettings.CheckUpdateLast = i % 2;
                SaveSettings();
                if (i == 1 && ::write(ready[1], "x", 1) != 1)
                    ::_exit(2);
            }
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1) << "the saving process failed before its second save";
    ::close(ready[0]);
    ::usleep(delayMicroseconds);
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
}

} // namespace

TEST_F(SettingsStore, KilledSaveLeavesOneWholeVersion) {
    // The two versions the saving process alternates between, written here first.
    const std::string clients[2] = {std::string(400000, 'a'), std::string(300000, 'b')};
    std::string versions[2];
    for (int i = 0; i < 2; ++i) {
        ProgramSettings.EmailClient = clients[i];
        ProgramSettings.CheckUpdateLast = i;
        SaveSettings();
        versions[i] = SettingsFile();
    }
    // Killed at many moments, the file must always be one of them, whole.
    for (useconds_t delay = 0; delay < 20000; delay += 2500) {
        KillWhileSaving(clients, delay);
        std::string left = SettingsFile();
        ASSERT_TRUE(left == versions[0] || left == versions[1])
            << "killed " << delay << " us in: a file of " << left.size() << " bytes";
    }
}

TEST_F(SettingsStore, SaveKilledInTheMiddleOfWritingLeavesPreviousFile) {
    ProgramSettings.EmailClient = std::string(100000, 'a');
    SaveSettings();
    std::string previous = SettingsFile();

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The kernel kills the process with SIGXFSZ once a write passes half
        // the new file's size: a kill at a known point inside the save.
        rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        rlimit half{150000, 150000};
        ::setrlimit(RLIMIT_FSIZE, &half);
        try {
            ProgramSettings.EmailClient = std::string(300000, 'b');
            SaveSettings();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    EXPECT_EQ(SettingsFile(), previous);
}
