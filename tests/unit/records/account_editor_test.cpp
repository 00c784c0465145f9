#include "records/account_editor.h"

#include "platform/data_folder.h"
#include "records/account.h"
#include "records/account_store.h"
#include "records/program_settings.h"
#include "support/process_state.h"
#include "support/scripted_message_boxes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

// Both tab sets as plain lists, as the windows keep them.
class Tabs : public AccountEditorTabs {
public:
    void AppendAccountTabs() override { ++count; }
    void RemoveAccountTabs(int) override { --count; }
    int SelectedEditorTab() const override { return editor; }
    void SelectEditorTab(int index) override { editor = index; }
    int SelectedQuarantineTab() const override { return quarantine; }
    void SelectQuarantineTab(int index) override { quarantine = index; }
    void RefreshCaptions(int n) override { refreshed.push_back(n); }
    void FillQuarantineList(int n) override { filled.push_back(n); }
    void ShowFields(bool visible) override { fieldsShown = visible; }

    int count = 0, editor = -1, quarantine = -1;
    bool fieldsShown = false;
    std::vector<int> refreshed, filled;
};

class AccountEditorTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessState(m_data.Path());
        for (const char* address : {"one@example.net", "two@example.net"}) {
            Account& account = AppendAccount();
            account.EmailAddress = address;
            account.Port = 110;
            account.SMTPPort = 25;
            account.Enabled = true;
            account.ID = std::string("{ID-") + address[0] + address[1] + "}";
            SaveAccount(Accounts.Count());
            ++m_tabs.count;
        }
        m_tabs.editor = m_tabs.quarantine = 0;
        m_editor.ShowAccount(1);
    }
    void TearDown() override { ResetProcessState(""); }

    // What a tab click does.
    void SwitchTo(int index) {
        m_editor.TabChanging();
        m_tabs.editor = index;
        m_editor.TabChanged(index);
    }

    TempFolder m_data;
    Tabs m_tabs;
    AccountEditor m_editor{m_tabs};
};

TEST_F(AccountEditorTest, AReplyAddressChangeAloneIsLostOnATabSwitchButKeptByApply) {
    m_editor.Fields.ReplyAddress = "reply@example.net";
    m_editor.FieldChanged();
    EXPECT_FALSE(m_editor.EditorModified);
    SwitchTo(1);
    SwitchTo(0);
    EXPECT_EQ(m_editor.Fields.ReplyAddress, "");

    m_editor.Fields.ReplyAddress = "reply@example.net";
    m_editor.ApplyAccount();
    LoadAccount(1);
    EXPECT_EQ(Accounts.Item(0).ReplyAddress, "reply@example.net");
}

TEST_F(AccountEditorTest, AComparedFieldChangeIsAppliedOnATabSwitch) {
    m_editor.Fields.Login = "me";
    m_editor.Fields.Port = "995x";
    m_editor.Fields.Aliases = "  b@example.net\nA@example.net\n\nb@example.net\n ";
    m_editor.FieldChanged();
    EXPECT_TRUE(m_editor.EditorModified);
    SwitchTo(1);
    EXPECT_EQ(m_editor.Fields.EmailAddress, "two@example.net");
    LoadAccount(1);
    const Account& first = Accounts.Item(0);
    EXPECT_EQ(first.Login, "me");
    EXPECT_EQ(first.Port, -1); // not a number
    EXPECT_EQ(first.Aliases.Strings(), (std::vector<std::string>{"A@example.net", "b@example.net"}));

    // Shown again, an account without a port empties and locks its server.
    SwitchTo(0);
    EXPECT_FALSE(m_editor.Fields.IncomingServerEnabled);
    EXPECT_EQ(m_editor.Fields.Port, "");
}

TEST_F(AccountEditorTest, PortsCompareAsNumbersWithTheirDefaults) {
    m_editor.Fields.Port = "abc"; // read as 110, like the record
    m_editor.FieldChanged();
    EXPECT_FALSE(m_editor.EditorModified);
    m_editor.Fields.Port = "0110";
    EXPECT_FALSE(m_editor.EditorDiffers());
    m_editor.Fields.POP3Security = ConnectionSecurity::Tls;
    EXPECT_TRUE(m_editor.EditorDiffers());
}

TEST_F(AccountEditorTest, AddingAppliesPendingChangesFirstAndStartsEmpty) {
    m_editor.Fields.DisplayName = "Me";
    m_editor.FieldChanged();
    m_editor.AddAccount();
    LoadAccount(1);
    EXPECT_EQ(Accounts.Item(0).DisplayName, "Me");
    EXPECT_EQ(Accounts.Count(), 3);
    EXPECT_EQ(m_tabs.count, 3);
    EXPECT_EQ(m_tabs.editor, 2);
    EXPECT_TRUE(m_editor.NewAccountPending && m_editor.EditorModified);
    EXPECT_EQ(m_editor.Fields.Aliases, "");
    EXPECT_EQ(m_editor.Fields.Port, "110");
    EXPECT_EQ(m_editor.Fields.SMTPPort, "25");
    EXPECT_TRUE(m_editor.Fields.SMTPSameAsIncoming && m_editor.Fields.Enabled && !m_editor.Fields.SMTPAuth);
    EXPECT_EQ(m_editor.Fields.ID.size(), 38u);
    // Not stored until applied.
    LoadSettings();
    EXPECT_EQ(StoredAccountCount(), 2);
}

TEST_F(AccountEditorTest, DeletingAPendingAccountAsksNothing) {
    ScriptedMessageBoxes boxes;
    m_editor.AddAccount();
    m_editor.DeleteAccount();
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(Accounts.Count(), 2);
    EXPECT_EQ(m_tabs.count, 2);
    EXPECT_EQ(m_tabs.editor, 1);
    EXPECT_EQ(m_editor.Fields.EmailAddress, "two@example.net");
    EXPECT_FALSE(m_editor.NewAccountPending);
}

TEST_F(AccountEditorTest, DeletingAStoredAccountAsksAndGoesToTheFirst) {
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Yes);
    m_tabs.editor = 1;
    m_editor.ShowAccount(2);
    m_editor.DeleteAccount();
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    ASSERT_EQ(Accounts.Count(), 1);
    EXPECT_EQ(m_tabs.count, 1);
    EXPECT_EQ(m_tabs.editor, 0);
    EXPECT_EQ(m_tabs.filled, std::vector<int>{1});
    EXPECT_TRUE(m_tabs.fieldsShown);
}

TEST(AccountEditorRules, SmtpEnablingAndPortSuggestions) {
    AccountEditorFields fields;
    fields.SMTPAuth = false;
    EXPECT_FALSE(SmtpEnabling(fields).SameAsIncoming);
    fields.SMTPAuth = true;
    fields.SMTPSameAsIncoming = true;
    EXPECT_TRUE(SmtpEnabling(fields).SameAsIncoming);
    EXPECT_FALSE(SmtpEnabling(fields).SmtpLogin);
    fields.SMTPSameAsIncoming = false;
    EXPECT_TRUE(SmtpEnabling(fields).SmtpLogin);

    using S = ConnectionSecurity;
    EXPECT_EQ(SuggestedPort("110", S::None, S::Tls, false), "995");
    EXPECT_EQ(SuggestedPort("25", S::StartTls, S::Tls, true), "465");
    EXPECT_EQ(SuggestedPort("2110", S::None, S::Tls, false), "2110");
    EXPECT_EQ(SuggestedPort("995", S::Tls, S::None, false), "110");
    EXPECT_EQ(SuggestedPort("465", S::Tls, S::StartTls, true), "25");
    EXPECT_EQ(SuggestedPort("110", S::None, S::StartTls, false), "110");
}

} // namespace
