#include "records/settings_checks.h"

#include "records/account.h"
#include "records/email_syntax.h"
#include "records/program_settings.h"

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

std::vector<SettingsProblem> SettingsProblems(const SettingsRecord& s) {
    std::vector<SettingsProblem> problems;
    if (s.Timeout < 30)
        problems.push_back({"The timeout value cannot be lower than 30 seconds.  Please enter a timeout value of 30 "
                            "seconds or greater.",
                            "Advanced"});
    if (s.EmailClient.empty())
        problems.push_back({"Please specify your email client.", "Preferences"});
    if (s.AutoDelSpam && s.AutoDelSpamDays < 5)
        problems.push_back({"The Automatically Delete Spam After X Days setting cannot be less than 5 days.  Please "
                            "enter a value of 5 days or greater.",
                            "Preferences"});
    if (s.AutoScan && s.AutoScanMin <= 0)
        problems.push_back({"The background scan value cannot be less than 1 minute.  Please enter a value of 1 "
                            "minute or greater.",
                            "Preferences"});
    return problems;
}

SettingsProblem FirstSettingsProblem(const SettingsRecord& settings) {
    auto problems = SettingsProblems(settings);
    return problems.empty() ? SettingsProblem{} : problems.front();
}

namespace {

struct AccountCheck {
    bool (*Fails)(const Account&);
    const char* Message;
    bool NamesAccount; // the message ends with the account's quoted address
    const char* Place;
};

bool SeparateSmtpLogin(const Account& a) {
    return a.SMTPAuth && !a.SMTPSameAsIncoming;
}

// In the order the settings page runs them.
const AccountCheck AccountChecks[] = {
    {[](const Account& a) { return a.Login.empty(); }, "You must enter the user name for the account ", true,
     "user name"},
    {[](const Account& a) { return a.Password.empty(); }, "You must enter the password for the account ", true,
     "password"},
    {[](const Account& a) { return SeparateSmtpLogin(a) && a.SMTPLogin.empty(); },
     "You must enter the SMTP user name for the account ", true, "SMTP user name"},
    {[](const Account& a) { return SeparateSmtpLogin(a) && a.SMTPPassword.empty(); },
     "You must enter the SMTP password for the account ", true, "SMTP password"},
    {[](const Account& a) { return !IsValidEmail(a.EmailAddress); },
     "You must enter the email address for this account.", false, "email address"},
    {[](const Account& a) { return !a.ReplyAddress.empty() && !IsValidEmail(a.ReplyAddress); },
     "You must enter a valid reply address for this account.", false, "reply address"},
    {[](const Account& a) { return a.DisplayName.empty(); }, "You must enter the display name for the account ", true,
     "display name"},
};

SettingsProblem ProblemOf(const AccountCheck& check, const Account& account) {
    std::string message = check.Message;
    if (check.NamesAccount)
        message += Quoted(account.EmailAddress);
    return {message, check.Place};
}

} // namespace

SettingsProblem FirstAccountProblem(const Account& account) {
    if (!account.Enabled)
        return {};
    for (const auto& check : AccountChecks)
        if (check.Fails(account))
            return ProblemOf(check, account);
    return {};
}

SettingsProblem FirstAccountsProblem(const AccountList& accounts, int& failingIndex) {
    failingIndex = -1;
    for (const auto& check : AccountChecks) {
        for (int i = 0; i < accounts.Count(); ++i) {
            const Account& account = accounts.Item(i);
            if (account.Enabled && check.Fails(account)) {
                failingIndex = i;
                return ProblemOf(check, account);
            }
        }
    }
    return {};
}
