#include "import/address_book_sync.h"
#include "import/mapi_properties.h"
#include "import/windows_address_book.h"

#include "import_doubles.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "records/sender_lists.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

std::string RegistryFixture(const std::string& name) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/registry/" + name, content));
    return content;
}

WabEntry DistributionList(const std::string& name, const std::string& entryId) {
    WabEntry entry;
    entry.DisplayName = name;
    entry.ObjectType = MAPI_DISTLIST;
    entry.EntryId = entryId;
    entry.Properties = {TextProperty(PR_DISPLAY_NAME, name), LongProperty(PR_OBJECT_TYPE, MAPI_DISTLIST)};
    return entry;
}

class AddressBookTest : public ::testing::Test {
protected:
    void SetUp() override { m_wab.Log = &m_log; }

    CallLog m_log;
    WabScript m_wab;
    FakeWabLibrary m_library{m_wab};
    RegistryHive m_emptyHive;
};

} // namespace

TEST_F(AddressBookTest, LoadFileListsTheMailUsersOfThePersonalAddressBook) {
    m_wab.Entries = {DistributionList("Friends", "d1"), DistributionList("Club", "d2"),
                     Contact("Ann Archer", "ann@example.com", "e1"), Contact("Bob Baker", "bob@example.com", "e2")};
    WindowsAddressBookReader book(&m_library, m_emptyHive);
    book.SetFileName("/tmp/alice.wab");
    book.Load();
    EXPECT_EQ(book.Contacts(), (std::vector<std::string>{"Ann Archer", "Bob Baker"}));
    EXPECT_EQ(m_log, (CallLog{"WABOpen", "GetPAB", "OpenEntry(PAB)", "GetContentsTable(0)", "SetColumns", "SeekRow",
                              "QueryRows(1)", "QueryRows(1)", "QueryRows(1)", "QueryRows(1)", "QueryRows(1)"}));
    EXPECT_EQ(m_wab.Columns, (std::vector<uint32_t>{0x3001001E, 0x3003001E, 0x3A50001E, 0x0FFF0102, 0x0FFE0003}));
    EXPECT_EQ(m_wab.Opened.Size, 32u);
    EXPECT_EQ(m_wab.Opened.OwnerWindow, 0u);
    EXPECT_EQ(m_wab.Opened.FileName, "/tmp/alice.wab");
    EXPECT_EQ(m_wab.Opened.Flags, 0u);
}

TEST_F(AddressBookTest, GetPropertiesOfReadsTheFirstContactOfThatName) {
    m_wab.Entries = {Contact("Bob Baker", "bob@home.example", "e1"), Contact("Bob Baker", "bob@work.example", "e2")};
    WindowsAddressBookReader book(&m_library, m_emptyHive);
    book.Load();
    book.ReadPropertiesOf("BOB BAKER");
    EXPECT_EQ(book.Properties(), (std::vector<std::string>{"DISPLAY_NAME=Bob Baker", "ADDRTYPE=SMTP",
                                                           "EMAIL_ADDRESS=bob@home.example", "OBJECT_TYPE=6"}));
    book.ReadContactProperties(1);
    EXPECT_EQ(book.Properties()[2], "EMAIL_ADDRESS=bob@work.example");
    book.ReadPropertiesOf("Nobody");
    EXPECT_TRUE(book.Properties().empty());
    book.ReadContactProperties(2);
    EXPECT_TRUE(book.Properties().empty());
}

TEST_F(AddressBookTest, DefaultAddressBookComesFromTheUserHive) {
    RegistryHive user = RegistryHive::FromText(RegistryFixture("wine_user.reg"), "HKEY_CURRENT_USER");
    WindowsAddressBookReader book(&m_library, user);
    book.UseDefaultAddressBook();
    EXPECT_EQ(book.FileName(), "C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Address Book\\alice.wab");

    WindowsAddressBookReader other(&m_library, m_emptyHive);
    other.SetFileName("left over");
    other.UseDefaultAddressBook();
    EXPECT_EQ(other.FileName(), "");
}

TEST_F(AddressBookTest, LoadFileFailsWithoutTheLibrary) {
    WindowsAddressBookReader book(nullptr, m_emptyHive);
    EXPECT_THROW(book.Load(), std::runtime_error);
    EXPECT_TRUE(book.Contacts().empty());
}

TEST(MapiPropertyName, LooksUpTheIdentifier) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0x3003001E, "EMAIL_ADDRESS"},
        {0x3003001F, "EMAIL_ADDRESS"}, // the type plays no part
        {0x3001001E, "DISPLAY_NAME"},
        {0x0FFE0003, "OBJECT_TYPE"},
        {0x3A08001E, "BUSINESS_TELEPHONE_NUMBER"}, // the first name of two wins
        {0x3A56101E, "CONTACT_EMAIL_ADDRESSES"},
        {0x6789001E, "[6789]"},
        {0x8001001E, "[8001]"},
    };
    for (const auto& [tag, name] : cases)
        EXPECT_EQ(MapiPropertyName(tag), name) << std::hex << tag;
}

TEST(MapiPropertyValueText, FormatsByType) {
    auto bytes = [](uint32_t tag, std::string data) { return TextProperty(tag, std::move(data)); };
    MapiPropertyValue real;
    real.Tag = 0x12340005;
    real.Double = 2.5;
    MapiPropertyValue single;
    single.Tag = 0x12340004;
    single.Double = 0.1f;
    const std::pair<MapiPropertyValue, std::string> cases[] = {
        {LongProperty(0x12340002, -5), "-5"},
        {LongProperty(0x12340002, 0x1FFFF), "-1"},
        {LongProperty(0x12340003, 110), "110"},
        {real, "2.5"},
        {single, "0.100000001490116"},
        {LongProperty(0x1234000A, 0x8004010F), ""},
        {LongProperty(0x1234000B, 0x10001), "1"},
        {bytes(0x1234001E, "Ann Archer"), "Ann Archer"},
        {bytes(0x12340102, std::string("\x78\x56\x34\x12", 4)), "[Binary - Size: 4 bytes] (12345678)"},
        {bytes(0x12340102, std::string(16, 'x')), "[Binary - Size: 16 bytes]"},
        {bytes(0x12340102, ""), "[Binary - Size: 0 bytes]"},
        {bytes(0x1234101E, "a"), "[Unknown type 101e]"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(MapiPropertyValueText(value), text) << std::hex << value.Tag;
}

TEST(MapiPropertyValueText, TimesAreShownInLocalTime) {
    std::string old = std::getenv("TZ") ? std::getenv("TZ") : "";
    MapiPropertyValue time;
    time.Tag = 0x30070040;
    // 2004-02-29 13:45:10 UTC in 100-nanosecond ticks since 1601.
    time.FileTime = (1078062310ULL + 11644473600ULL) * 10000000ULL + 1234567;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(MapiPropertyValueText(time), "02/29/04 13:45:10");
    ::setenv("TZ", "XYZ-2", 1);
    ::tzset();
    EXPECT_EQ(MapiPropertyValueText(time), "02/29/04 15:45:10");
    if (old.empty())
        ::unsetenv("TZ");
    else
        ::setenv("TZ", old.c_str(), 1);
    ::tzset();
}

TEST(ExtractWabEmail, TakesTheEmailAddressProperty) {
    const std::pair<const char*, const char*> cases[] = {
        {"DISPLAY_NAME=Ann\r\nEMAIL_ADDRESS=ann@example.com\r\nOBJECT_TYPE=6\r\n", "ann@example.com"},
        {"EMAIL_ADDRESS=first@example.com\r\nEMAIL_ADDRESS=second@example.com\r\n", "first@example.com"},
        {"DISPLAY_NAME=Ann\r\nEMAIL_ADDRESS=last@example.com", "last@example.com"},
        {"DISPLAY_NAME=Ann\r\nOBJECT_TYPE=6\r\n", ""},
        {"EMAIL_ADDRESS=\r\nDISPLAY_NAME=x\r\n", ""},
        {"", ""},
        // A name that merely contains EMAIL_ADDRESS is another property.
        {"CONTACT_EMAIL_ADDRESSES=[Unknown type 101e]\r\nEMAIL_ADDRESS=cy@example.com\r\n", "cy@example.com"},
        {"SENDER_EMAIL_ADDRESS=x@example.com\r\nDISPLAY_NAME=x\r\n", ""},
        {"COMMENT=see EMAIL_ADDRESS=fake@example.com\r\n", ""},
    };
    for (const auto& [text, address] : cases)
        EXPECT_EQ(ExtractWabEmail(text), address) << text;
}

// ---------------------------------------------------------------- the source, through the process's library

namespace {

class WabImportTest : public AddressBookTest {
protected:
    void SetUp() override {
        AddressBookTest::SetUp();
        m_prefix.Write("user.reg", RegistryFixture("wine_user.reg"));
        m_prefix.Write("system.reg", "WINE REGISTRY Version 2\n\n[Software\\\\Microsoft\\\\WAB\\\\DLLPath] 1700000000\n"
                                     "@=\"C:\\\\Program Files\\\\Common Files\\\\System\\\\wab32.dll\"\n");
        ReloadRegistryHives();
        UnloadWabLibrary();
        SetWabLibraryLoader([this](const std::string& path) -> std::unique_ptr<WabLibrary> {
            m_loadedPath = path;
            return std::make_unique<FakeWabLibrary>(m_wab);
        });
        SetDataFolderOverride(m_data.Path());
        ApprovedSenders.Clear();
        SetEventPump([this] { ++m_pumps; });
    }
    void TearDown() override {
        SetEventPump({});
        SetWabLibraryLoader({});
        UnloadWabLibrary();
        SetDataFolderOverride("");
        ApprovedSenders.Clear();
    }
    ~WabImportTest() override { ReloadRegistryHives(); }

    TempFolder m_prefix;
    std::string m_prefixPath = m_prefix.Path();
    ScopedEnvironment m_environment{"WINEPREFIX", &m_prefixPath};
    TempFolder m_data;
    std::string m_loadedPath;
    int m_pumps = 0;
};

} // namespace

TEST_F(WabImportTest, AddsTheAddressOfEveryContact) {
    WabEntry cy = Contact("Cy Cole", "cy@example.com", "e4");
    cy.Properties.insert(cy.Properties.begin(), TextProperty(0x3A56101E, "multi"));
    WabEntry dee = Contact("Dee Dunn", "", "e5");
    dee.Properties.erase(dee.Properties.begin() + 2);
    m_wab.Entries = {DistributionList("Friends", "d1"),
                     Contact("Ann Archer", "Ann@Example.com", "e1"),
                     Contact("Bob Baker", "bob@home.example", "e2"),
                     Contact("Bob Baker", "bob@work.example", "e3"),
                     cy,
                     dee,
                     Contact("Eve Evans", "eve at example.com", "e6"),
                     Contact("Ann A.", "ann@example.com", "e7")};
    ImportWabContacts();
    EXPECT_EQ(m_loadedPath, "C:\\Program Files\\Common Files\\System\\wab32.dll");
    EXPECT_EQ(m_wab.Opened.FileName, "C:\\users\\alice\\AppData\\Roaming\\Microsoft\\Address Book\\alice.wab");
    EXPECT_EQ(ApprovedSenders.Strings(),
              (std::vector<std::string>{"ann@example.com", "bob@home.example", "bob@work.example", "cy@example.com"}));
    EXPECT_EQ(m_pumps, 7);
}

TEST_F(WabImportTest, AFailurePartWayKeepsWhatWasAdded) {
    m_wab.Entries = {Contact("Ann Archer", "ann@example.com", "e1"), Contact("Bob Baker", "bob@example.com", "e2"),
                     Contact("Cy Cole", "cy@example.com", "e3")};
    m_wab.FailEntryId = "e2";
    ImportWabContacts();
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"ann@example.com"}));

    ApprovedSenders.Clear();
    m_wab.FailEntryId.clear();
    m_wab.FailAtRow = 2;
    ImportWabContacts();
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

TEST_F(WabImportTest, WithoutTheLibraryNothingIsAdded) {
    m_wab.Entries = {Contact("Ann Archer", "ann@example.com", "e1")};
    SetWabLibraryLoader({});
    UnloadWabLibrary();
    EXPECT_EQ(LoadedWabLibrary(), nullptr);
    ImportWabContacts();
    EXPECT_EQ(ApprovedSenders.Count(), 0);
    EXPECT_TRUE(m_log.empty());
}

TEST_F(WabImportTest, TheLibraryIsLoadedOnlyWhenTheRegistryNamesIt) {
    m_prefix.Write("system.reg", "WINE REGISTRY Version 2\n");
    ReloadRegistryHives();
    UnloadWabLibrary();
    EXPECT_EQ(LoadedWabLibrary(), nullptr);
    EXPECT_EQ(m_loadedPath, "");

    RegistryHive tooLong =
        RegistryHive::FromText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\WAB\\DLLPath]\n@=\"C:\\\\" +
                                   std::string(258, 'x') + "\"\n",
                               "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(WabLibraryPath(tooLong), "");
    RegistryHive fits =
        RegistryHive::FromText("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\WAB\\DLLPath]\n@=\"C:\\\\" +
                                   std::string(257, 'x') + "\"\n",
                               "HKEY_LOCAL_MACHINE");
    EXPECT_EQ(WabLibraryPath(fits).size(), 260u);
}
