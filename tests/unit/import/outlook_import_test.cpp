#include "import/counted_account_tabs.h"
#include "import/uOutlook.h"

#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "records/uObjects.h"
#include "support/process_state.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

namespace {

const char* const ProfilePath = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
                                "Subsystem\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676";

RegistryHive Fixture() {
    return RegistryHive::FromFile(std::string(TEST_DATA_DIR) + "/registry/outlook_accounts.reg", "HKEY_CURRENT_USER");
}

std::vector<std::string> Logins(const TOutlookAccounts& accounts) {
    std::vector<std::string> logins;
    for (const auto& item : accounts.Items)
        logins.push_back(item.Login);
    return logins;
}

class OutlookWizardTest : public testing::Test {
protected:
    void SetUp() override { ResetProcessState(m_data.Path()); }
    void TearDown() override { ResetProcessState(""); }

    void RunWizard(TOutlookWizardForm::TInfo info, TOutlookWizardForm::TAccountsChoice choice) {
        TOutlookWizardForm wizard(m_editor, m_hive);
        wizard.Info = info;
        wizard.Accounts = choice;
        for (int i = 0; i < 4; ++i)
            wizard.btnNextClick();
        EXPECT_EQ(wizard.ModalResult, TOutlookWizardForm::TModalResult::Ok);
    }
    // The accounts as the program reads them back at start.
    std::vector<std::string> StoredLogins() {
        Accounts.Clear();
        for (int i = 0; i < m_tabs.Count(); ++i) {
            AppendAccount();
            LoadAccount(i + 1);
        }
        std::vector<std::string> logins;
        for (int i = 0; i < Accounts.Count(); ++i)
            logins.push_back(Accounts.Item(i).Login);
        return logins;
    }

    TempFolder m_data;
    RegistryHive m_hive = Fixture();
    CountedAccountTabs m_tabs{0};
    AccountEditor m_editor{m_tabs};
};

} // namespace

TEST(ReadOutlookAccounts, OmiAccountsWithTheirValuesDefaultAndImapPort) {
    TOutlookAccounts accounts;
    ASSERT_TRUE(accounts.ReadOmiAccounts(Fixture()));
    // No server (00000003), a 7-character subkey and a duplicate in other case are left out.
    ASSERT_EQ(Logins(accounts), (std::vector<std::string>{"ann", "bob"}));
    const TOutlookAccountItem& ann = accounts.Items[0];
    EXPECT_EQ(ann.Server, "pop.example.com");
    EXPECT_EQ(ann.Port, 995);
    EXPECT_EQ(ann.SMTPServer, "smtp.example.com");
    EXPECT_EQ(ann.SMTPPort, 587);
    EXPECT_EQ(ann.EmailAddress, "ann@example.com");
    EXPECT_EQ(ann.DisplayName, "Ann Example");
    EXPECT_EQ(ann.ReplyAddress, "reply@example.com");
    EXPECT_TRUE(ann.SMTPAuth);
    EXPECT_EQ(ann.SMTPLogin, "ann-out");
    EXPECT_FALSE(ann.IsDefault);
    EXPECT_EQ(accounts.Items[1].AccountType, 1);
    EXPECT_EQ(accounts.Items[1].Port, 143);
    EXPECT_TRUE(accounts.Items[1].IsDefault);
}

TEST(ReadOutlookAccounts, OutlookExpressImapPortAndHttpMail) {
    TOutlookAccounts accounts;
    ASSERT_TRUE(accounts.ReadOutlookExpressAccounts(Fixture()));
    ASSERT_EQ(Logins(accounts), (std::vector<std::string>{"frank", "gina@hotmail.com", "Ann"}));
    EXPECT_EQ(accounts.Items[0].Port, 110);
    EXPECT_TRUE(accounts.Items[0].IsDefault);
    const TOutlookAccountItem& hotmail = accounts.Items[1];
    EXPECT_EQ(hotmail.AccountType, 2);
    EXPECT_EQ(hotmail.Server, "http://services.msn.com/svcs/hotmail/httpmail.asp");
    EXPECT_EQ(hotmail.EmailAddress, "");
    EXPECT_EQ(hotmail.Port, 110);
}

TEST(ReadOutlookAccounts, ProfileTextsDefaultIdAndSkippedAccount) {
    TOutlookAccounts accounts;
    ASSERT_TRUE(accounts.ReadOutlookProfileAccounts(Fixture()));
    // 0000000B lacks "Email" and is skipped.
    ASSERT_EQ(Logins(accounts), (std::vector<std::string>{"carol", "dave"}));
    const TOutlookAccountItem& carol = accounts.Items[0];
    EXPECT_EQ(carol.DisplayName, "Zoë Çarol");
    EXPECT_EQ(carol.EmailAddress, "carol@example.org");
    EXPECT_EQ(carol.ReplyAddress, "back@example.org");
    EXPECT_FALSE(carol.SMTPAuth);
    EXPECT_EQ(carol.SMTPLogin, "carol-out");
    EXPECT_TRUE(carol.IsDefault);
    EXPECT_EQ(accounts.Items[1].Port, 143);
    EXPECT_TRUE(accounts.Items[1].SMTPAuth);
}

TEST(ReadOutlookAccounts, ProfileWithoutDefaultValueFailsBeforeAnyAccount) {
    RegistryHive hive = Fixture();
    hive.Root().CreateKey(ProfilePath)->DeleteValue("{ED475418-B0D6-11D2-8C3B-00104B2A6676}");
    TOutlookAccounts accounts;
    EXPECT_FALSE(accounts.ReadOutlookProfileAccounts(hive));
    EXPECT_TRUE(accounts.Items.empty());
    EXPECT_TRUE(accounts.ReadOmiAccounts(hive));
    EXPECT_EQ(accounts.Items.size(), 2u);
}

TEST(ReadOutlookAccounts, MissingClientsYieldNothing) {
    RegistryHive empty;
    TOutlookAccounts accounts;
    accounts.ReadOmiAccounts(empty);
    accounts.ReadOutlookProfileAccounts(empty);
    accounts.ReadOutlookExpressAccounts(empty);
    EXPECT_TRUE(accounts.Items.empty());
}

TEST(ReadOutlookAccounts, FindDuplicateIgnoresCaseOfAllThreeFields) {
    TOutlookAccounts accounts;
    accounts.Items.push_back({});
    accounts.Items.back().EmailAddress = "a@example.com";
    accounts.Items.back().Server = "pop.example.com";
    accounts.Items.back().Login = "me";
    TOutlookAccountItem item = accounts.Items[0];
    item.EmailAddress = "A@EXAMPLE.com";
    item.Server = "POP.example.COM";
    item.Login = "ME";
    EXPECT_EQ(accounts.FindDuplicate(item), 0);
    item.Login = "me2";
    EXPECT_EQ(accounts.FindDuplicate(item), -1);
}

TEST_F(OutlookWizardTest, PagesAndTextsOfNextBackAndFinish) {
    TOutlookWizardForm wizard(m_editor, m_hive);
    EXPECT_EQ(wizard.Info, TOutlookWizardForm::TInfo::Outlook);
    EXPECT_EQ(wizard.Accounts, TOutlookWizardForm::TAccountsChoice::AllExisting);
    wizard.btnNextClick();
    EXPECT_FALSE(wizard.BackEnabled);
    wizard.btnNextClick();
    EXPECT_TRUE(wizard.BackEnabled);
    wizard.btnBackClick();
    wizard.btnBackClick();
    EXPECT_EQ(wizard.Page, 0);
    EXPECT_FALSE(wizard.BackEnabled);
    wizard.btnNextClick();
    wizard.btnNextClick();
    wizard.btnNextClick();
    EXPECT_EQ(wizard.Page, 3);
    EXPECT_EQ(wizard.Label15, "Finished!");
    EXPECT_EQ(wizard.NextCaption, "Finish");
    EXPECT_TRUE(wizard.Label16Visible);
    EXPECT_FALSE(wizard.BackEnabled);
    EXPECT_FALSE(wizard.CancelEnabled);
    EXPECT_EQ(wizard.Label19, "4");
    EXPECT_EQ(wizard.PBar.Position, wizard.PBar.Max);
    EXPECT_EQ(wizard.ModalResult, TOutlookWizardForm::TModalResult::None);
    wizard.btnNextClick();
    EXPECT_EQ(wizard.ModalResult, TOutlookWizardForm::TModalResult::Ok);
}

TEST_F(OutlookWizardTest, ImportsStoredAccountsWithEmptyPasswordsAndSmtpRules) {
    RunWizard(TOutlookWizardForm::TInfo::Outlook, TOutlookWizardForm::TAccountsChoice::AllExisting);
    ASSERT_EQ(StoredLogins(), (std::vector<std::string>{"ann", "bob", "carol", "dave"}));
    const TAccountItem& ann = Accounts.Item(0);
    EXPECT_EQ(ann.Port, 995);
    EXPECT_EQ(ann.SMTPPort, 587);
    EXPECT_EQ(ann.ReplyAddress, "reply@example.com");
    EXPECT_TRUE(ann.SMTPAuth);
    EXPECT_EQ(ann.SMTPLogin, "ann-out");
    EXPECT_FALSE(ann.SMTPSameAsIncoming);
    // Authentication without an SMTP user name uses the incoming login.
    EXPECT_TRUE(Accounts.Item(1).SMTPAuth);
    EXPECT_TRUE(Accounts.Item(1).SMTPSameAsIncoming);
    EXPECT_EQ(Accounts.Item(1).Port, 143);
    for (int i = 0; i < Accounts.Count(); ++i) {
        EXPECT_EQ(Accounts.Item(i).Password, "");
        EXPECT_EQ(Accounts.Item(i).SMTPPassword, "");
        EXPECT_TRUE(Accounts.Item(i).Enabled);
    }
}

TEST_F(OutlookWizardTest, OnlyDefaultAccountsAndNothingTwice) {
    RunWizard(TOutlookWizardForm::TInfo::Outlook, TOutlookWizardForm::TAccountsChoice::OnlyDefault);
    EXPECT_EQ(StoredLogins(), (std::vector<std::string>{"bob", "carol"}));
    RunWizard(TOutlookWizardForm::TInfo::Outlook, TOutlookWizardForm::TAccountsChoice::AllExisting);
    RunWizard(TOutlookWizardForm::TInfo::OutlookExpress, TOutlookWizardForm::TAccountsChoice::AllExisting);
    RunWizard(TOutlookWizardForm::TInfo::OutlookExpress, TOutlookWizardForm::TAccountsChoice::AllExisting);
    // Outlook Express's "Ann" is Outlook's "ann"; the Hotmail account has its URL and port 110.
    ASSERT_EQ(StoredLogins(), (std::vector<std::string>{"bob", "carol", "ann", "dave", "frank", "gina@hotmail.com"}));
    EXPECT_EQ(Accounts.Item(5).Server, "http://services.msn.com/svcs/hotmail/httpmail.asp");
    EXPECT_EQ(Accounts.Item(5).Port, 110);
    EXPECT_EQ(Accounts.Item(5).EmailAddress, "");
}
