#include "records/settings_checks.h"

#include "records/account.h"
#include "records/program_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Settings that pass every check, each value at the edge of its check.
SettingsRecord PassingSettings() {
    SettingsRecord settings;
    settings.Timeout = 30;
    settings.EmailClient = "mail";
    settings.AutoDelSpam = true;
    settings.AutoDelSpamDays = 5;
    settings.AutoScan = true;
    settings.AutoScanMin = 1;
    return settings;
}

const SettingsProblem TimeoutProblem{
    "The timeout value cannot be lower than 30 seconds.  Please enter a timeout value of 30 seconds or greater.",
    "Advanced"};
const SettingsProblem EmailClientProblem{"Please specify your email client.", "Preferences"};
const SettingsProblem ExpiryProblem{"The Automatically Delete Spam After X Days setting cannot be less than 5 days.  "
                                    "Please enter a value of 5 days or greater.",
                                    "Preferences"};
const SettingsProblem ScanPeriodProblem{
    "The background scan value cannot be less than 1 minute.  Please enter a value of 1 minute or greater.",
    "Preferences"};

Account CompleteAccount(const std::string& address) {
    Account account;
    account.Enabled = true;
    account.EmailAddress = address;
    account.DisplayName = "Someone";
    account.Login = "user";
    account.Password = "pw";
    return account;
}

TEST(SettingsChecks, EachCheckAlone) {
    struct Case {
        const char* name;
        std::function<void(SettingsRecord&)> change;
        SettingsProblem expected;
    };
    const Case cases[] = {
        {"all at their limits", [](SettingsRecord&) {}, {}},
        {"time-out too short", [](SettingsRecord& s) { s.Timeout = 29; }, TimeoutProblem},
        {"no mail client", [](SettingsRecord& s) { s.EmailClient.clear(); }, EmailClientProblem},
        {"expiry too soon", [](SettingsRecord& s) { s.AutoDelSpamDays = 4; }, ExpiryProblem},
        {"expiry off",
         [](SettingsRecord& s) {
             s.AutoDelSpam = false;
             s.AutoDelSpamDays = 0;
         },
         {}},
        {"scan period zero", [](SettingsRecord& s) { s.AutoScanMin = 0; }, ScanPeriodProblem},
        {"scan period negative", [](SettingsRecord& s) { s.AutoScanMin = -1; }, ScanPeriodProblem},
        {"background scan off",
         [](SettingsRecord& s) {
             s.AutoScan = false;
             s.AutoScanMin = 0;
         },
         {}},
    };
    for (const Case& c : cases) {
        SettingsRecord settings = PassingSettings();
        c.change(settings);
        EXPECT_EQ(FirstSettingsProblem(settings), c.expected) << c.name;
        EXPECT_EQ(SettingsProblems(settings).size(), c.expected.Found() ? 1u : 0u) << c.name;
    }
}

TEST(SettingsChecks, RunInTheSettingsPageOrder) {
    SettingsRecord settings = PassingSettings();
    settings.Timeout = 29;
    settings.EmailClient.clear();
    settings.AutoDelSpamDays = 4;
    settings.AutoScanMin = 0;
    EXPECT_EQ(SettingsProblems(settings),
              (std::vector<SettingsProblem>{TimeoutProblem, EmailClientProblem, ExpiryProblem, ScanPeriodProblem}));
    EXPECT_EQ(FirstSettingsProblem(settings), TimeoutProblem);
    settings.Timeout = 30;
    EXPECT_EQ(FirstSettingsProblem(settings), EmailClientProblem);
    settings.EmailClient = "mail";
    EXPECT_EQ(FirstSettingsProblem(settings), ExpiryProblem);
    settings.AutoDelSpamDays = 5;
    EXPECT_EQ(FirstSettingsProblem(settings), ScanPeriodProblem);
}

TEST(SettingsChecks, EachAccountCheckAlone) {
    struct Case {
        const char* name;
        std::function<void(Account&)> change;
        SettingsProblem expected;
    };
    const Case cases[] = {
        {"complete", [](Account&) {}, {}},
        {"no user name",
         [](Account& a) { a.Login.clear(); },
         {"You must enter the user name for the account \"me@example.com\"", "user name"}},
        {"no password",
         [](Account& a) { a.Password.clear(); },
         {"You must enter the password for the account \"me@example.com\"", "password"}},
        {"no SMTP user name",
         [](Account& a) {
             a.SMTPAuth = true;
             a.SMTPPassword = "relay-pw";
         },
         {"You must enter the SMTP user name for the account \"me@example.com\"", "SMTP user name"}},
        {"no SMTP password",
         [](Account& a) {
             a.SMTPAuth = true;
             a.SMTPLogin = "relay";
         },
         {"You must enter the SMTP password for the account \"me@example.com\"", "SMTP password"}},
        {"SMTP as incoming needs no SMTP login", [](Account& a) { a.SMTPAuth = a.SMTPSameAsIncoming = true; }, {}},
        {"invalid address",
         [](Account& a) { a.EmailAddress = "not valid"; },
         {"You must enter the email address for this account.", "email address"}},
        {"invalid reply address",
         [](Account& a) { a.ReplyAddress = "abc"; },
         {"You must enter a valid reply address for this account.", "reply address"}},
        {"valid reply address", [](Account& a) { a.ReplyAddress = "reply@example.com"; }, {}},
        {"no display name",
         [](Account& a) { a.DisplayName.clear(); },
         {"You must enter the display name for the account \"me@example.com\"", "display name"}},
    };
    for (const Case& c : cases) {
        Account account = CompleteAccount("me@example.com");
        c.change(account);
        EXPECT_EQ(FirstAccountProblem(account), c.expected) << c.name;
    }
}

// Mending an account that fails every check, one field at a time, meets
// the checks in the settings page's order.
TEST(SettingsChecks, AccountChecksRunInTheSettingsPageOrder) {
    Account account;
    account.Enabled = true;
    account.EmailAddress = "not valid";
    account.ReplyAddress = "abc";
    account.SMTPAuth = true;
    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"user name", [&] { account.Login = "user"; }},
        {"password", [&] { account.Password = "pw"; }},
        {"SMTP user name", [&] { account.SMTPLogin = "relay"; }},
        {"SMTP password", [&] { account.SMTPPassword = "relay-pw"; }},
        {"email address", [&] { account.EmailAddress = "me@example.com"; }},
        {"reply address", [&] { account.ReplyAddress.clear(); }},
        {"display name", [&] { account.DisplayName = "Me"; }},
    };
    for (const auto& [place, mend] : steps) {
        EXPECT_EQ(FirstAccountProblem(account).Place, place);
        mend();
    }
    EXPECT_FALSE(FirstAccountProblem(account).Found());
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
