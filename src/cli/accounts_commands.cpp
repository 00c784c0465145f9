#include "cli/commands.h"

#include "cli/options.h"
#include "cli/stored_state.h"
#include "cli/terminal_prompts.h"
#include "cli/terminal_text.h"
#include "import/account_detection.h"
#include "import/counted_account_tabs.h"
#include "platform/identifier.h"
#include "records/account.h"
#include "records/account_store.h"
#include "records/settings_checks.h"
#include "records/text_helpers.h"

#include <iomanip>
#include <ostream>

namespace {

const std::set<std::string> FieldOptions = {"email",      "display-name", "reply-address", "server",
                                            "port",       "login",        "smtp-server",   "smtp-port",
                                            "smtp-login", "alias",        "pop3-security", "smtp-security"};
const std::set<std::string> FieldFlags = {"smtp-auth",  "no-smtp-auth", "smtp-same-as-incoming", "enabled", "disabled",
                                          "no-aliases", "password",     "smtp-password"};

int PortValue(const std::string& option, const std::string& text) {
    auto port = ParseInteger(text);
    if (!port || *port < 0 || *port > 65535)
        throw UsageError("--" + option + " needs a port number from 0 to 65535");
    return *port;
}

void ApplyTexts(const Options& options, Account& account) {
    const std::pair<const char*, std::string Account::*> texts[] = {
        {"email", &Account::EmailAddress},
        {"display-name", &Account::DisplayName},
        {"reply-address", &Account::ReplyAddress},
        {"server", &Account::Server},
        {"login", &Account::Login},
        {"smtp-server", &Account::SMTPServer},
    };
    for (const auto& [option, field] : texts)
        if (auto value = options.Value(option))
            account.*field = *value;
    if (auto port = options.Value("port"))
        account.Port = PortValue("port", *port);
    if (auto port = options.Value("smtp-port"))
        account.SMTPPort = PortValue("smtp-port", *port);
}

ConnectionSecurity SecurityValue(const std::string& option, const std::string& text) {
    if (text == "none")
        return ConnectionSecurity::None;
    if (text == "tls")
        return ConnectionSecurity::Tls;
    if (text == "starttls")
        return ConnectionSecurity::StartTls;
    throw UsageError("--" + option + " needs none, tls or starttls");
}

// Implicit TLS has ports of its own (RFC 8314): a port left at the plain
// default moves there unless one was given.
void ApplySecurity(const Options& options, Account& account) {
    if (auto value = options.Value("pop3-security")) {
        account.POP3Security = SecurityValue("pop3-security", *value);
        if (account.POP3Security == ConnectionSecurity::Tls && account.Port == 110 && !options.Value("port"))
            account.Port = 995;
    }
    if (auto value = options.Value("smtp-security")) {
        account.SMTPSecurity = SecurityValue("smtp-security", *value);
        if (account.SMTPSecurity == ConnectionSecurity::Tls && account.SMTPPort == 25 && !options.Value("smtp-port"))
            account.SMTPPort = 465;
    }
}

void ApplySmtpLogin(const Options& options, Account& account) {
    if (options.Has("smtp-auth") && options.Has("no-smtp-auth"))
        throw UsageError("--smtp-auth and --no-smtp-auth exclude each other");
    if (options.Has("smtp-same-as-incoming") && options.Has("smtp-login"))
        throw UsageError("--smtp-same-as-incoming and --smtp-login exclude each other");
    if (options.Has("smtp-auth"))
        account.SMTPAuth = true;
    if (options.Has("no-smtp-auth"))
        account.SMTPAuth = false;
    if (options.Has("smtp-same-as-incoming")) {
        account.SMTPSameAsIncoming = true;
        account.SMTPLogin.clear();
        account.SMTPPassword.clear();
    }
    if (auto login = options.Value("smtp-login")) {
        account.SMTPSameAsIncoming = false;
        account.SMTPLogin = *login;
    }
}

void ApplyFlagsAndAliases(const Options& options, Account& account) {
    if (options.Has("enabled") && options.Has("disabled"))
        throw UsageError("--enabled and --disabled exclude each other");
    if (options.Has("enabled"))
        account.Enabled = true;
    if (options.Has("disabled"))
        account.Enabled = false;
    for (const auto& alias : options.Values("alias"))
        if (HoldsLineBreak(alias))
            throw UsageError("--alias cannot hold a line break");
    if (options.Has("no-aliases") || options.Has("alias"))
        account.Aliases.Clear();
    for (const auto& alias : options.Values("alias"))
        account.Aliases.Add(alias);
}

void ReadPasswords(CliContext& context, Account& account, bool pop3, bool smtp) {
    if (pop3)
        account.Password =
            ReadSecretLine(context.In, context.Err, "Password for " + TerminalSafe(account.EmailAddress) + ": ",
                           context.InteractiveInput);
    if (smtp)
        account.SMTPPassword =
            ReadSecretLine(context.In, context.Err, "SMTP password for " + TerminalSafe(account.EmailAddress) + ": ",
                           context.InteractiveInput);
}

bool NeedsSeparateSmtpPassword(const Account& account) {
    return account.SMTPAuth && !account.SMTPSameAsIncoming;
}

// Refuses an enabled account the settings page would refuse.
bool Acceptable(CliContext& context, const Account& account) {
    SettingsProblem problem = FirstAccountProblem(account);
    if (problem.Found())
        context.Err << TerminalSafe(problem.Message) << "\n";
    return !problem.Found();
}

// Stores account number (1-based) once the settings page would accept it,
// and reports "Account <number>" followed by what was done.
int SaveIfAcceptable(CliContext& context, int number, const std::string& done) {
    if (!Acceptable(context, Accounts.Item(number - 1)))
        return ExitFailed;
    SaveAccount(number);
    context.Out << "Account " << number << done << "\n";
    return ExitOk;
}

int AccountNumber(const std::vector<std::string>& positional, const char* usage) {
    if (positional.size() != 1)
        throw UsageError(usage);
    auto number = ParseInteger(positional[0]);
    if (!number || *number < 1 || *number > Accounts.Count())
        throw UsageError("there is no account " + positional[0] + " (accounts are numbered 1 to " +
                         std::to_string(Accounts.Count()) + ")");
    return *number;
}

std::string Endpoint(const std::string& host, int port) {
    return TerminalSafe(host) + ":" + std::to_string(port);
}

int List(CliContext& context) {
    for (int i = 0; i < Accounts.Count(); ++i) {
        const Account& account = Accounts.Item(i);
        context.Out << std::left << std::setw(3) << i + 1 << " " << PadToWidth(TerminalSafe(account.EmailAddress), 32)
                    << " " << PadToWidth(Endpoint(account.Server, account.Port), 28) << " "
                    << PadToWidth(Endpoint(account.SMTPServer, account.SMTPPort), 28) << " "
                    << (account.Enabled ? "enabled" : "disabled") << "\n";
    }
    if (Accounts.Count() == 0)
        context.Out << "No accounts.\n";
    return ExitOk;
}

// A new account starts with the account editor's defaults.
void SetEditorDefaults(Account& account) {
    account.Port = 110;
    account.SMTPPort = 25;
    account.Enabled = true;
    account.SMTPAuth = false;
    account.SMTPSameAsIncoming = true;
    account.ID = NewIdentifierText();
}

int Add(CliContext& context, const Options& options) {
    if (!options.Positional().empty())
        throw UsageError("accounts add takes options only");
    Account& account = AppendAccount();
    SetEditorDefaults(account);
    ApplyTexts(options, account);
    ApplySecurity(options, account);
    ApplySmtpLogin(options, account);
    ApplyFlagsAndAliases(options, account);
    ReadPasswords(context, account, true, NeedsSeparateSmtpPassword(account));
    return SaveIfAcceptable(context, Accounts.Count(), " added: " + TerminalSafe(account.EmailAddress));
}

int Edit(CliContext& context, const Options& options) {
    int number = AccountNumber(options.Positional(), "accounts edit N [options]");
    Account& account = Accounts.Item(number - 1);
    ApplyTexts(options, account);
    ApplySecurity(options, account);
    ApplySmtpLogin(options, account);
    ApplyFlagsAndAliases(options, account);
    bool newSmtpLogin = options.Has("smtp-login") && NeedsSeparateSmtpPassword(account);
    ReadPasswords(context, account, options.Has("password"), options.Has("smtp-password") || newSmtpLogin);
    return SaveIfAcceptable(context, number, " saved: " + TerminalSafe(account.EmailAddress));
}

int SetEnabled(CliContext& context, const Options& options, bool enabled) {
    int number = AccountNumber(options.Positional(), "accounts enable|disable N");
    Account& account = Accounts.Item(number - 1);
    account.Enabled = enabled;
    return SaveIfAcceptable(context, number, enabled ? " enabled" : " disabled");
}

int Delete(CliContext& context, const Options& options) {
    int number = AccountNumber(options.Positional(), "accounts delete N [--yes]");
    std::string address = Accounts.Item(number - 1).EmailAddress;
    TerminalMessageBoxes boxes(context.In, context.Err, options.Has("yes"));
    if (!RemoveAccount(number))
        return ExitFailed;
    context.Out << "Account " << number << " deleted: " << TerminalSafe(address) << "\n";
    return ExitOk;
}

// Detection adds its accounts through the account editor as the desktop
// program does, with tabs that exist only as a count; each one is stored at
// once. Passwords are never detected.
int Detect(CliContext& context, const Options& options) {
    if (!options.Positional().empty())
        throw UsageError("accounts detect takes no arguments");
    const int before = Accounts.Count();
    CountedAccountTabs tabs(before);
    AccountEditor editor(tabs);
    DetectAccounts(editor);
    context.Out << (Accounts.Count() == before ? DetectNoNewAccountsText : DetectNewAccountsText) << "\n";
    return ExitOk;
}

} // namespace

int AccountsCommand(CliContext& context) {
    if (context.Arguments.empty())
        throw UsageError("accounts list|add|edit|delete|enable|disable|detect ...");
    const std::string action = context.Arguments[0];
    std::vector<std::string> rest(context.Arguments.begin() + 1, context.Arguments.end());
    LoadStoredAccounts();
    if (action == "list") {
        Options options(rest, {}, {});
        if (!options.Positional().empty())
            throw UsageError("accounts list takes no arguments");
        return List(context);
    }
    if (action == "delete")
        return Delete(context, Options(rest, {}, {"yes"}));
    if (action == "detect")
        return Detect(context, Options(rest, {}, {}));
    if (action == "enable" || action == "disable")
        return SetEnabled(context, Options(rest, {}, {}), action == "enable");
    if (action == "add" || action == "edit") {
        Options options(rest, FieldOptions, FieldFlags);
        return action == "add" ? Add(context, options) : Edit(context, options);
    }
    throw UsageError("unknown accounts command \"" + action + "\"");
}
