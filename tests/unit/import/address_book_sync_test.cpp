#include "import/address_book_sync.h"

#include "import_doubles.h"
#include "support/temp_folder.h"

#include "platform/data_folder.h"
#include "platform/registry_hive.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SyncAddressBooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_outlook.Log = &m_log;
        m_security.Log = &m_log;
        m_wab.Log = &m_log;
        m_outlook.Contacts = {{"Outlook@Example.com", "", ""}};
        m_wab.Entries = {Contact("Wab Contact", "wab@example.com", "e1")};
        m_eudora.Write("NNdbase.txt", "alias e eudora@example.com\r\n");
        m_prefix.Write("system.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\WAB\\\\DLLPath] 1700000000\n"
                                     "@=\"C:\\\\Windows\\\\system32\\\\wab32.dll\"\n");
        ReloadRegistryHives();
        InstallOutlook(m_outlook);
        SetSecurityManagerHost(&m_host);
        UnloadWabLibrary();
        SetWabLibraryLoader([this](const std::string&) { return std::make_unique<FakeWabLibrary>(m_wab); });
        SetDataFolderOverride(m_data.Path());
        ApprovedSenders.Clear();
        BlockedSenders.Clear();
        SetListObserver([this] { ++m_saves; });
        m_savedClient = ProgramSettings.EmailClient;
    }
    void TearDown() override {
        ProgramSettings.EmailClient = m_savedClient;
        SetListObserver({});
        SetAutomationObjectFactory({});
        SetSecurityManagerHost(nullptr);
        SetWabLibraryLoader({});
        UnloadWabLibrary();
        SetDataFolderOverride("");
        ApprovedSenders.Clear();
        ReloadRegistryHives();
    }

    std::string SavedApprovedSenders() const { return m_data.Read("WhiteList.dat"); }

    CallLog m_log;
    OutlookScript m_outlook;
    SecurityScript m_security;
    FakeSecurityHost m_host{m_security};
    WabScript m_wab;
    TempFolder m_eudora;
    std::string m_eudoraPath = m_eudora.Path();
    ScopedEnvironment m_variable{"EUDORA", &m_eudoraPath};
    TempFolder m_prefix;
    std::string m_prefixPath = m_prefix.Path();
    ScopedEnvironment m_winePrefix{"WINEPREFIX", &m_prefixPath};
    TempFolder m_data;
    int m_saves = 0;
    std::string m_savedClient;
};

} // namespace

TEST_F(SyncAddressBooksTest, TheMailClientChoosesTheSources) {
    struct Case {
        bool Force;
        const char* Client;
        std::vector<std::string> Added;
    };
    const Case cases[] = {
        {true, "", {"outlook@example.com", "wab@example.com", "eudora@example.com"}},
        {true, "thunderbird", {"outlook@example.com", "wab@example.com", "eudora@example.com"}},
        {false, "\"C:\\Program Files\\Microsoft Office\\OFFICE11\\OUTLOOK.EXE\" /recycle", {"outlook@example.com"}},
        {false, "\"C:\\Program Files\\Outlook Express\\MsImn.exe\" /mailurl:%1", {"wab@example.com"}},
        {false, "wine C:\\Eudora\\Eudora.EXE", {"eudora@example.com"}},
        {false, "C:\\outlook.exe\\msimn.exe", {"outlook@example.com", "wab@example.com"}},
        {false, "thunderbird -compose", {}},
        {false, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Force ? "force " : "") + c.Client);
        ApprovedSenders.Clear();
        ApprovedSenders.Add("kept@example.com");
        m_data.Write("WhiteList.dat", "stale@example.com\r\n");
        m_saves = 0;
        ProgramSettings.EmailClient = c.Client;

        EXPECT_EQ(SyncAddressBooks(c.Force), static_cast<int>(c.Added.size()));

        std::vector<std::string> expected{"kept@example.com"};
        expected.insert(expected.end(), c.Added.begin(), c.Added.end());
        EXPECT_EQ(ApprovedSenders.Strings(), expected);
        // The lists are saved in every case, also when nothing was added.
        EXPECT_EQ(m_saves, 1);
        std::string file;
        for (const auto& entry : expected)
            file += entry + "\r\n";
        EXPECT_EQ(SavedApprovedSenders(), file);
    }
}

TEST_F(SyncAddressBooksTest, CountsOnlyWhatIsNew) {
    ApprovedSenders.Add("WAB@example.COM");
    ApprovedSenders.Add("other@example.com");
    EXPECT_EQ(SyncAddressBooks(true), 2);
    EXPECT_EQ(ApprovedSenders.Count(), 4);
    EXPECT_EQ(SyncAddressBooks(true), 0);
}

TEST_F(SyncAddressBooksTest, WithoutTheSecurityManagerTheOtherSourcesStillRun) {
    m_security.Available = false;
    m_security.AvailableAfterRegister = false;
    EXPECT_EQ(SyncAddressBooks(true), 2);
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"wab@example.com", "eudora@example.com"}));
    EXPECT_EQ(m_saves, 1);
}

TEST_F(SyncAddressBooksTest, AFailingSourceDoesNotStopTheOthers) {
    m_outlook.Contacts = {{"first@example.com", "", ""}, {"second@example.com", "", ""}};
    m_outlook.FailAtItem = 2;
    m_wab.FailAtRow = 0;
    EXPECT_EQ(SyncAddressBooks(true), 2);
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"first@example.com", "eudora@example.com"}));
    EXPECT_EQ(SavedApprovedSenders(), "first@example.com\r\neudora@example.com\r\n");
}

TEST_F(SyncAddressBooksTest, OnThisPlatformOnlyEudoraIsRead) {
    SetAutomationObjectFactory({});
    SetSecurityManagerHost(nullptr);
    SetWabLibraryLoader({});
    UnloadWabLibrary();
    EXPECT_EQ(SyncAddressBooks(true), 1);
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"eudora@example.com"}));
    EXPECT_TRUE(m_log.empty());
}

TEST_F(SyncAddressBooksTest, AListThatCannotBeSavedIsAnError) {
    std::filesystem::create_directories(m_data.File("WhiteList.dat/blocked"));
    ProgramSettings.EmailClient = "";
    EXPECT_THROW(SyncAddressBooks(false), std::runtime_error);
}
