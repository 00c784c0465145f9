#include "import/address_book_sync.h"
#include "import/outlook_security_manager.h"

#include "import_doubles.h"
#include "support/temp_folder.h"

#include "platform/data_folder.h"
#include "platform/event_pump.h"
#include "records/sender_lists.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class OutlookContactsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDataFolderOverride(m_data.Path());
        ApprovedSenders.Clear();
        BlockedSenders.Clear();
        m_outlook.Log = &m_log;
        m_security.Log = &m_log;
        SetSecurityManagerHost(&m_host);
        InstallOutlook(m_outlook);
        SetEventPump([this] { ++m_pumps; });
    }
    void TearDown() override {
        SetEventPump({});
        SetAutomationObjectFactory({});
        SetSecurityManagerHost(nullptr);
        SetDataFolderOverride("");
        ApprovedSenders.Clear();
    }

    TempFolder m_data;
    CallLog m_log;
    OutlookScript m_outlook;
    SecurityScript m_security;
    FakeSecurityHost m_host{m_security};
    int m_pumps = 0;
};

} // namespace

TEST_F(OutlookContactsTest, CallsOutlookAndTheSecurityManagerInOrder) {
    m_outlook.Contacts = {{"ann@example.com", "", ""}, {"", "bob@example.org", "bob@example.net"}};
    ImportOutlookContacts();
    EXPECT_EQ(m_log, (CallLog{"CreateComponent",
                              "Create Outlook.Application",
                              "ConnectTo",
                              "ReadState(3)",
                              "WriteSuppression(3,on)",
                              "GetNameSpace(MAPI)",
                              "GetDefaultFolder(10)",
                              "Items",
                              "Count",
                              "Items",
                              "Item(1)",
                              "Item(1).Email1Address",
                              "Items",
                              "Item(2)",
                              "Item(2).Email1Address",
                              "Item(2).Email2Address",
                              "Release Outlook.Application",
                              "ReadState(3)",
                              "WriteSuppression(3,off)",
                              "Release manager"}));
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"ann@example.com", "bob@example.org"}));
    EXPECT_EQ(m_pumps, 2);
}

TEST_F(OutlookContactsTest, TheFirstValidNewAddressOfAContactWins) {
    struct Case {
        const char* Name;
        std::array<std::string, 3> Addresses;
        std::vector<std::string> Expected;
        int Pumps;
    };
    const Case cases[] = {
        {"first valid and new",
         {"First@Example.com", "second@example.com", "third@example.com"},
         {"first@example.com"},
         1},
        {"first empty", {"", "second@example.com", "third@example.com"}, {"second@example.com"}, 1},
        {"first invalid", {"not an address", "", "third@example.com"}, {"third@example.com"}, 1},
        {"first known in another case", {"KNOWN@EXAMPLE.COM", "second@example.com", ""}, {"second@example.com"}, 1},
        {"all known", {"Known@Example.com", "known@example.com", ""}, {}, 0},
        {"none valid", {"", "a@b", "@example.com"}, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ApprovedSenders.Clear();
        ApprovedSenders.Add("known@example.com");
        m_pumps = 0;
        m_outlook.Contacts = {c.Addresses};
        ImportOutlookContacts();
        std::vector<std::string> expected{"known@example.com"};
        expected.insert(expected.end(), c.Expected.begin(), c.Expected.end());
        EXPECT_EQ(ApprovedSenders.Strings(), expected);
        EXPECT_EQ(m_pumps, c.Pumps);
    }
}

TEST_F(OutlookContactsTest, WithoutTheSecurityManagerNoContactIsRead) {
    m_security.Available = false;
    m_security.AvailableAfterRegister = false;
    m_outlook.Contacts = {{"ann@example.com", "", ""}};
    ImportOutlookContacts();
    EXPECT_EQ(m_log, (CallLog{"CreateComponent", "RegisterServerLibrary", "CreateComponent",
                              "Create Outlook.Application", "Release Outlook.Application"}));
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

TEST_F(OutlookContactsTest, TheSecurityManagerIsRegisteredWhenItsClassIsMissing) {
    m_security.Available = false;
    m_outlook.Contacts = {{"ann@example.com", "", ""}};
    ImportOutlookContacts();
    ASSERT_GE(m_log.size(), 4u);
    EXPECT_EQ((CallLog{m_log.begin(), m_log.begin() + 4}),
              (CallLog{"CreateComponent", "RegisterServerLibrary", "CreateComponent", "Create Outlook.Application"}));
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"ann@example.com"}));
}

TEST_F(OutlookContactsTest, AFailedRegistrationLeavesNoManager) {
    m_security.Available = false;
    m_security.RegisterThrows = true;
    m_outlook.Contacts = {{"ann@example.com", "", ""}};
    ImportOutlookContacts();
    EXPECT_EQ(m_log, (CallLog{"CreateComponent", "RegisterServerLibrary", "Create Outlook.Application",
                              "Release Outlook.Application"}));
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

TEST_F(OutlookContactsTest, AFailurePartWayKeepsWhatWasAddedAndSwitchesSuppressionOff) {
    m_outlook.Contacts = {{"ann@example.com", "", ""}, {"bob@example.com", "", ""}, {"cy@example.com", "", ""}};
    m_outlook.FailAtItem = 2;
    ImportOutlookContacts();
    EXPECT_EQ(ApprovedSenders.Strings(), (std::vector<std::string>{"ann@example.com"}));
    CallLog tail{m_log.end() - 5, m_log.end()};
    EXPECT_EQ(tail, (CallLog{"Item(2)", "Release Outlook.Application", "ReadState(3)", "WriteSuppression(3,off)",
                             "Release manager"}));
}

TEST_F(OutlookContactsTest, ABusyComponentIsNotSwitched) {
    m_security.State = 1;
    m_outlook.Contacts = {{"ann@example.com", "", ""}};
    ImportOutlookContacts();
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "ReadState(3)"), 2);
    EXPECT_EQ(std::count_if(m_log.begin(), m_log.end(),
                            [](const std::string& call) { return call.rfind("WriteSuppression", 0) == 0; }),
              0);
    EXPECT_EQ(ApprovedSenders.Count(), 1);
}

TEST_F(OutlookContactsTest, WithoutOutlookNothingIsAdded) {
    SetAutomationObjectFactory({});
    EXPECT_THROW(CreateAutomationObject("Outlook.Application"), std::runtime_error);
    ImportOutlookContacts();
    EXPECT_EQ(m_log, (CallLog{"CreateComponent", "Release manager"}));
    EXPECT_EQ(ApprovedSenders.Count(), 0);
}

TEST_F(OutlookContactsTest, SecurityManagerWithoutComponentRaisesItsError) {
    m_security.Available = false;
    m_security.AvailableAfterRegister = false;
    OutlookSecurityManager manager(m_host);
    EXPECT_FALSE(manager.HasComponent());
    FakeOutlook application(m_outlook);
    try {
        manager.AttachApplication(application);
        FAIL() << "AttachApplication did not fail";
    } catch (const SecurityManagerError& error) {
        EXPECT_STREQ(error.what(), "Outlook Security Manager is not found.");
    }
    EXPECT_THROW(manager.SetSuppressWarnings(true), SecurityManagerError);
    // Off is the value it starts with: nothing to do, nothing to fail.
    EXPECT_NO_THROW(manager.SetSuppressWarnings(false));
    EXPECT_FALSE(manager.SuppressWarnings());
}

TEST_F(OutlookContactsTest, SecurityManagerUsesKindZeroWithoutApplicationAndSkipsRepeats) {
    {
        OutlookSecurityManager manager(m_host);
        ASSERT_TRUE(manager.HasComponent());
        manager.SetSuppressWarnings(true);
        manager.SetSuppressWarnings(true);
        EXPECT_TRUE(manager.SuppressWarnings());
        manager.SetSuppressWarnings(false);
    }
    EXPECT_EQ(m_log, (CallLog{"CreateComponent", "ReadState(0)", "WriteSuppression(0,on)", "ReadState(0)",
                              "WriteSuppression(0,off)", "Release manager"}));
}

TEST(OutlookSecurityManagerOnThisPlatform, HasNoComponent) {
    SetSecurityManagerHost(nullptr);
    OutlookSecurityManager manager;
    EXPECT_FALSE(manager.HasComponent());
    EXPECT_THROW(manager.SetSuppressWarnings(true), SecurityManagerError);
}
