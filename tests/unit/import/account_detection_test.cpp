#include "import/account_detection.h"
#include "import/counted_account_tabs.h"
#include "import/eudora_import_wizard.h"

#include "import_doubles.h"
#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "records/account.h"
#include "support/process_state.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

namespace {

std::string EudoraIni() {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/eudora/Eudora.ini", content));
    return content;
}

class AccountDetectionTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessState(m_data.Path());
        m_eudora.Write("Eudora.ini", EudoraIni());
    }
    void TearDown() override { ResetProcessState(""); }

    std::vector<std::string> Logins() const {
        std::vector<std::string> logins;
        for (int i = 0; i < Accounts.Count(); ++i)
            logins.push_back(Accounts.Item(i).Login);
        return logins;
    }

    TempFolder m_data, m_eudora, m_prefix;
    std::string m_eudoraPath = m_eudora.Path(), m_prefixPath = m_prefix.Path();
    ScopedEnvironment m_winePrefix{"WINEPREFIX", &m_prefixPath};
    ScopedEnvironment m_eudoraVariable{"EUDORA", &m_eudoraPath};
    RegistryHive m_empty;
    CountedAccountTabs m_tabs{0};
    AccountEditor m_editor{m_tabs};
};

} // namespace

TEST(ReadEudoraPersonalities, SettingsFirstThenPersonalitiesInKeyOrder) {
    TempFolder folder;
    folder.Write("Eudora.ini", EudoraIni());
    std::vector<EudoraPersonality> personalities;
    ASSERT_TRUE(ReadEudoraPersonalities(folder.Path() + "/", personalities));
    ASSERT_EQ(personalities.size(), 3u);
    EXPECT_EQ(personalities[0].Name, "Dominant");
    EXPECT_EQ(personalities[0].PopServer, "pop.example.com");
    EXPECT_TRUE(personalities[0].SmtpAuthAllowed);
    EXPECT_EQ(personalities[1].Name, "Work");
    EXPECT_EQ(personalities[1].RealName, std::string(255, 'x'));
    EXPECT_EQ(personalities[2].Name, "Home-Office");
    EXPECT_EQ(personalities[2].RealName, "Café Owner");
    // "yes" is no number: the default.
    EXPECT_FALSE(personalities[2].SmtpAuthAllowed);
    EXPECT_FALSE(ReadEudoraPersonalities(folder.Path() + "/missing/", personalities));
    EXPECT_TRUE(personalities.empty());
}

TEST_F(AccountDetectionTest, EudoraWizardImportsCheckedPersonalitiesOnce) {
    EudoraImportWizard wizard(m_editor, m_empty, m_empty);
    wizard.Next();
    EXPECT_EQ(wizard.IniFolder, m_eudoraPath + "/");
    wizard.Next();
    ASSERT_EQ(wizard.Page, 2);
    ASSERT_EQ(wizard.AccountRows.size(), 3u);
    EXPECT_EQ(wizard.AccountRows[2].Name, "Home-Office");
    EXPECT_EQ(wizard.AccountRows[2].PopServer, "pop.example.org");
    EXPECT_EQ(wizard.AccountRows[2].Login, "cafe");
    wizard.Next();
    EXPECT_EQ(wizard.ProgressText, "Finished!");
    // "Work" equals "Dominant" but for letter case.
    EXPECT_EQ(wizard.ImportedCountText, "2/3");
    EXPECT_EQ(wizard.Progress.Position, 3);
    EXPECT_TRUE(wizard.SuccessNoteVisible && wizard.FinishNoteVisible && wizard.NextEnabled);
    wizard.Next();
    EXPECT_EQ(wizard.ModalResult, WizardResult::Ok);
    ASSERT_EQ(Logins(), (std::vector<std::string>{"ann", "cafe"}));
    const Account& ann = Accounts.Item(0);
    EXPECT_EQ(ann.Port, 110);
    EXPECT_EQ(ann.SMTPPort, 25);
    EXPECT_TRUE(ann.SMTPAuth);
    EXPECT_TRUE(ann.SMTPSameAsIncoming);
    EXPECT_EQ(ann.Password, "");
    EXPECT_FALSE(Accounts.Item(1).SMTPAuth);
}

TEST_F(AccountDetectionTest, EudoraWizardStaysOnPageOneWithoutEudoraIni) {
    ScopedEnvironment unset("EUDORA", nullptr);
    EudoraImportWizard wizard(m_editor, m_empty, m_empty);
    for (int i = 0; i < 4; ++i)
        wizard.Next();
    EXPECT_EQ(wizard.IniFolder, "C:\\");
    EXPECT_EQ(wizard.Page, 1);
    EXPECT_EQ(Accounts.Count(), 0);
}

TEST_F(AccountDetectionTest, DetectAccountsRunsOutlookOutlookExpressThenEudora) {
    RegistryHive user =
        RegistryHive::FromFile(std::string(TEST_DATA_DIR) + "/registry/outlook_accounts.reg", "HKEY_CURRENT_USER");
    DetectAccounts(m_editor, user, m_empty);
    // Outlook's "ann" comes first; Outlook Express's "Ann" and Eudora's "ann" are the same account.
    const std::vector<std::string> expected{"ann", "bob", "carol", "dave", "frank", "gina@hotmail.com", "cafe"};
    EXPECT_EQ(Logins(), expected);
    DetectAccounts(m_editor, user, m_empty);
    EXPECT_EQ(Logins(), expected);
    EXPECT_EQ(m_tabs.Count(), static_cast<int>(expected.size()));
}

// Outlook and Outlook Express holding one account, written in other letter
// cases, as a Wine prefix keeps them: the account comes once, from Outlook.
TEST_F(AccountDetectionTest, AnAccountBothOutlooksKnowIsCreatedOnceFromOutlook) {
    ScopedEnvironment noEudora("EUDORA", nullptr);
    RegistryHive user =
        RegistryHive::FromFile(std::string(TEST_DATA_DIR) + "/registry/wine_outlook_user.reg", "HKEY_CURRENT_USER");
    DetectAccounts(m_editor, user, m_empty);
    ASSERT_EQ(Logins(), std::vector<std::string>{"alice"});
    EXPECT_EQ(Accounts.Item(0).EmailAddress, "alice@example.com");
    EXPECT_EQ(Accounts.Item(0).Server, "pop.example.com");
    DetectAccounts(m_editor, user, m_empty);
    EXPECT_EQ(Accounts.Count(), 1) << "a second detection creates nothing new";
}
