#include "records/settings_checks.h"

#include "records/accounts.h"
#include "records/program_settings.h"

#include <gtest/gtest.h>

namespace {

Account CompleteAccount(const std::string& address) {
    Account account;
    account.Enabled = true;
    account.EmailAddress = address;
    account.DisplayName = "Someone";
    account.Login = "user";
    account.Password = "pw";
    return account;
}

TEST(SettingsChecks, RunInTheSettingsPageOrder) {
    SettingsRecord settings;
    settings.EmailClient = "mail";
    EXPECT_FALSE(FirstSettingsProblem(settings).Found());

    settings.Timeout = 29;
    settings.EmailClient.clear();
    EXPECT_EQ(FirstSettingsProblem(settings).Place, "Advanced");
    EXPECT_EQ(SettingsProblems(settings).size(), 2u);

    settings.Timeout = 30;
    EXPECT_EQ(FirstSettingsProblem(settings).Message, "Please specify your email client.");

    settings.EmailClient = "mail";
    settings.AutoScan = true;
    settings.AutoScanMin = 0;
    EXPECT_EQ(FirstSettingsProblem(settings).Message,
              "The background scan value cannot be less than 1 minute.  Please enter a value of 1 minute or greater.");
    settings.AutoScan = false;
    EXPECT_FALSE(FirstSettingsProblem(settings).Found());
}

TEST(SettingsChecks, AccountMessagesNameTheAccount) {
    Account account = CompleteAccount("me@example.com");
    EXPECT_FALSE(FirstAccountProblem(account).Found());

    account.SMTPAuth = true;
    EXPECT_EQ(FirstAccountProblem(account).Message,
              "You must enter the SMTP user name for the account \"me@example.com\"");
    account.SMTPSameAsIncoming = true;
    EXPECT_FALSE(FirstAccountProblem(account).Found());

    account.ReplyAddress = "abc";
    EXPECT_EQ(FirstAccountProblem(account).Message, "You must enter a valid reply address for this account.");
    account.ReplyAddress.clear();

    account.EmailAddress = "not valid";
    EXPECT_EQ(FirstAccountProblem(account).Message, "You must enter the email address for this account.");
}

TEST(SettingsChecks, DisabledAccountsAlwaysPass) {
    Account empty;
    empty.Enabled = false;
    EXPECT_FALSE(FirstAccountProblem(empty).Found());
}

TEST(SettingsChecks, EachCheckRunsOverAllAccountsBeforeTheNext) {
    AccountList accounts;
    Account& first = accounts.Add();
    first = CompleteAccount("one@example.com");
    first.DisplayName.clear(); // fails a late check
    Account& disabled = accounts.Add();
    disabled.Enabled = false;
    Account& third = accounts.Add();
    third = CompleteAccount("three@example.com");
    third.Password.clear(); // fails an early check

    int failing = -2;
    SettingsProblem problem = FirstAccountsProblem(accounts, failing);
    EXPECT_EQ(failing, 2);
    EXPECT_EQ(problem.Message, "You must enter the password for the account \"three@example.com\"");

    third.Password = "pw";
    problem = FirstAccountsProblem(accounts, failing);
    EXPECT_EQ(failing, 0);
    EXPECT_EQ(problem.Place, "display name");

    first.DisplayName = "One";
    EXPECT_FALSE(FirstAccountsProblem(accounts, failing).Found());
    EXPECT_EQ(failing, -1);
}

} // namespace
