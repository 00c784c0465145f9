#include "import/counted_account_tabs.h"
#include "import/outlook_accounts.h"
#include "import/outlook_import_wizard.h"

#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "records/account.h"
#include "records/account_store.h"
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

std::vector<std::string> Logins(const OutlookAccountReader& accounts) {
    std::vector<std::string> logins;
    for (const auto& item : accounts.Items)
        logins.push_back(item.Login);
    return logins;
}

class OutlookWizardTest : public testing::Test {
protected:
    void SetUp() override { ResetProcessState(m_data.Path()); }
    void TearDown() override { ResetProcessState(""); }

    void RunWizard(OutlookImportWizard::Source info, OutlookImportWizard::AccountSelection choice) {
        OutlookImportWizard wizard(m_editor, m_hive);
        wizard.Info = info;
        wizard.Accounts = choice;
        for (int i = 0; i < 4; ++i)
            wizard.Next();
        EXPECT_EQ(wizard.ModalResult, WizardResult::Ok);
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
    OutlookAccountReader accounts;
    ASSERT_TRUE(accounts.ReadOmiAccounts(Fixture()));
    // No server (00000003), a 7-character subkey and a duplicate in other case are left out.
    ASSERT_EQ(Logins(accounts), (std::vector<std::string>{"ann", "bob"}));
    const OutlookAccount& ann = accounts.Items[0];
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
    EXPECT_EQ(accounts.Items[1].Protocol, MailProtocol::Imap);
    EXPECT_EQ(accounts.Items[1].Port, 143);
    EXPECT_TRUE(accounts.Items[1].IsDefault);
}

TEST(ReadOutlookAccounts, OutlookExpressImapPortAndHttpMail) {
    OutlookAccountReader accounts;
    ASSERT_TRUE(accounts.ReadOutlookExpressAccounts(Fixture()));
    ASSERT_EQ(Logins(accounts), (std::vector<std::string>{"frank", "gina@hotmail.com", "Ann"}));
    EXPECT_EQ(accounts.Items[0].Port, 110);
    EXPECT_TRUE(accounts.Items[0].IsDefault);
    const OutlookAccount& hotmail = accounts.Items[1];
    EXPECT_EQ(hotmail.Protocol, MailProtocol::HttpMail);
    EXPECT_EQ(hotmail.Server, "http://services.msn.com/svcs/hotmail/httpmail.asp");
    EXPECT_EQ(hotmail.EmailAddress, "");
    EXPECT_EQ(hotmail.Port, 110);
}

TEST(ReadOutlookAccounts, ProfileTextsDefaultIdAndSkippedAccount) {
    OutlookAccountReader accounts;
    ASSERT_TRUE(accounts.ReadOutlookProfileAccounts(Fixture()));
    // 0000000B lacks "Email" and is skipped.
    ASSERT_EQ(Logins(accounts), (std::vector<std::string>{"carol", "dave"}));
    const OutlookAccount& carol = accounts.Items[0];
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
    OutlookAccountReader accounts;
    EXPECT_FALSE(accounts.ReadOutlookProfileAccounts(hive));
    EXPECT_TRUE(accounts.Items.empty());
    EXPECT_TRUE(accounts.ReadOmiAccounts(hive));
    EXPECT_EQ(accounts.Items.size(), 2u);
}

TEST(ReadOutlookAccounts, MissingClientsYieldNothing) {
    RegistryHive empty;
    OutlookAccountReader accounts;
    accounts.ReadOmiAccounts(empty);
    accounts.ReadOutlookProfileAccounts(empty);
    accounts.ReadOutlookExpressAccounts(empty);
    EXPECT_TRUE(accounts.Items.empty());
}

TEST(ReadOutlookAccounts, FindDuplicateIgnoresCaseOfAllThreeFields) {
    OutlookAccountReader accounts;
    accounts.Items.push_back({});
    accounts.Items.back().EmailAddress = "a@example.com";
    accounts.Items.back().Server = "pop.example.com";
    accounts.Items.back().Login = "me";
    OutlookAccount item = accounts.Items[0];
    item.EmailAddress = "A@EXAMPLE.com";
    item.Server = "POP.example.COM";
    item.Login = "ME";
    EXPECT_EQ(accounts.FindDuplicate(item), 0);
    item.Login = "me2";
    EXPECT_EQ(accounts.FindDuplicate(item), -1);
}

TEST_F(OutlookWizardTest, PagesAndTextsOfNextBackAndFinish) {
    OutlookImportWizard wizard(m_editor, m_hive);
    EXPECT_EQ(wizard.Info, OutlookImportWizard::Source::Outlook);
    EXPECT_EQ(wizard.Accounts, OutlookImportWizard::AccountSelection::AllExisting);
    wizard.Next();
    EXPECT_FALSE(wizard.BackEnabled);
    wizard.Next();
    EXPECT_TRUE(wizard.BackEnabled);
    wizard.Back();
    wizard.Back();
    EXPECT_EQ(wizard.Page, 0);
    EXPECT_FALSE(wizard.BackEnabled);
    wizard.Next();
    wizard.Next();
    wizard.Next();
    EXPECT_EQ(wizard.Page, 3);
    EXPECT_EQ(wizard.ProgressText, "Finished!");
    EXPECT_EQ(wizard.NextCaption, "Finish");
    EXPECT_TRUE(wizard.SuccessNoteVisible);
    EXPECT_FALSE(wizard.BackEnabled);
    EXPECT_FALSE(wizard.CancelEnabled);
    EXPECT_EQ(wizard.ImportedCountText, "4");
    EXPECT_EQ(wizard.Progress.Position, wizard.Progress.Max);
    EXPECT_EQ(wizard.ModalResult, WizardResult::None);
    wizard.Next();
    EXPECT_EQ(wizard.ModalResult, WizardResult::Ok);
}

TEST_F(OutlookWizardTest, ImportsStoredAccountsWithEmptyPasswordsAndSmtpRules) {
    RunWizard(OutlookImportWizard::Source::Outlook, OutlookImportWizard::AccountSelection::AllExisting);
    ASSERT_EQ(StoredLogins(), (std::vector<std::string>{"ann", "bob", "carol", "dave"}));
    const Account& ann = Accounts.Item(0);
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
    RunWizard(OutlookImportWizard::Source::Outlook, OutlookImportWizard::AccountSelection::OnlyDefault);
    EXPECT_EQ(StoredLogins(), (std::vector<std::string>{"bob", "carol"}));
    RunWizard(OutlookImportWizard::Source::Outlook, OutlookImportWizard::AccountSelection::AllExisting);
    RunWizard(OutlookImportWizard::Source::OutlookExpress, OutlookImportWizard::AccountSelection::AllExisting);
    RunWizard(OutlookImportWizard::Source::OutlookExpress, OutlookImportWizard::AccountSelection::AllExisting);
    // Outlook Express's "Ann" is Outlook's "ann"; the Hotmail account has its URL and port 110.
    ASSERT_EQ(StoredLogins(), (std::vector<std::string>{"bob", "carol", "ann", "dave", "frank", "gina@hotmail.com"}));
    EXPECT_EQ(Accounts.Item(5).Server, "http://services.msn.com/svcs/hotmail/httpmail.asp");
    EXPECT_EQ(Accounts.Item(5).Port, 110);
    EXPECT_EQ(Accounts.Item(5).EmailAddress, "");
}
