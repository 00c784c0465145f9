#include "records/account_store.h"

#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/ini_document.h"
#include "records/password_scramble.h"
#include "records/program_settings.h"
#include "records/settings_file.h"
#include "records/text_helpers.h"

#include <stdexcept>

namespace {

const char AliasFileName[] = "aliases.dat";

std::string SectionName(int n) {
    return "Account" + std::to_string(n);
}

std::string AliasFilePath(const Account& account) {
    return IncludeTrailingDelimiter(AccountFolderOfId(account.ID)) + AliasFileName;
}

// Sorted and de-duplicated, then trimmed as one text, so that empty lines
// (which sort first) and white space at either end vanish.
void LoadAliases(Account& account) {
    account.Aliases.Clear();
    account.AliasesUnreadable = false;
    try {
        std::string path = AliasFilePath(account);
        std::string content;
        if (!ReadFileIfExists(path, content)) {
            // Something other than a file under that name is not ours to replace.
            account.AliasesUnreadable = NameExists(path);
            return;
        }
        // Trimming can bring to either end an entry that itself starts or
        // ends with white space, which the next load would trim again: trim
        // until the list loads back exactly as it is saved.
        std::string text = content;
        for (;;) {
            account.Aliases.SetText(text);
            std::string again = Trim(account.Aliases.Text());
            if (again == text)
                break;
            text = std::move(again);
        }
    } catch (const std::exception&) {
        account.Aliases.Clear();
        account.AliasesUnreadable = true;
    }
}

void SaveAliases(const Account& account) {
    std::string path = AliasFilePath(account);
    if (account.AliasesUnreadable)
        throw std::runtime_error("Cannot read file " + path + ", so it was not replaced.");
    ReplaceFileAtomically(path, account.Aliases.Text());
}

// Files of accounts without encryption keep their bytes: the key appears
// only once it has been set.
void WriteSecurity(IniDocument& ini, const std::string& section, const char* key, ConnectionSecurity security) {
    if (security != ConnectionSecurity::None || ini.ValueExists(section, key))
        ini.WriteInteger(section, key, static_cast<int>(security));
}

ConnectionSecurity ReadSecurity(const IniDocument& ini, const std::string& section, const char* key) {
    int value = ini.ReadInteger(section, key, 0);
    return value == 1 || value == 2 ? static_cast<ConnectionSecurity>(value) : ConnectionSecurity::None;
}

void WriteAccountSection(IniDocument& ini, int n, const Account& account) {
    std::string section = SectionName(n);
    ini.WriteString(section, "EmailAddress", account.EmailAddress);
    ini.WriteString(section, "DisplayName", account.DisplayName);
    ini.WriteString(section, "ReplyAddress", account.ReplyAddress);
    ini.WriteString(section, "Server", account.Server);
    ini.WriteInteger(section, "Port", account.Port);
    ini.WriteString(section, "Login", account.Login);
    ini.WriteString(section, "Password", ScramblePassword(account.Password));
    ini.WriteString(section, "SMTPServer", account.SMTPServer);
    ini.WriteInteger(section, "SMTPPort", account.SMTPPort);
    ini.WriteBool(section, "SMTPAuth", account.SMTPAuth);
    if (account.SMTPSameAsIncoming) {
        ini.WriteString(section, "SMTPLogin", "");
        ini.WriteString(section, "SMTPPassword", ScramblePassword(""));
    } else {
        ini.WriteString(section, "SMTPLogin", account.SMTPLogin);
        ini.WriteString(section, "SMTPPassword", ScramblePassword(account.SMTPPassword));
    }
    ini.WriteBool(section, "Enabled", account.Enabled);
    ini.WriteString(section, "ID", account.ID);
    WriteSecurity(ini, section, "POP3Security", account.POP3Security);
    WriteSecurity(ini, section, "SMTPSecurity", account.SMTPSecurity);
}

} // namespace

void LoadAccount(int n) {
    Account& account = Accounts.Item(n - 1);
    IniDocument ini = ReadSettingsFileOrEmpty();
    std::string section = SectionName(n);
    account.ID = ini.ReadString(section, "ID", "");
    account.EmailAddress = ini.ReadString(section, "EmailAddress", "");
    account.ReplyAddress = ini.ReadString(section, "ReplyAddress", "");
    account.DisplayName = ini.ReadString(section, "DisplayName", "");
    account.Server = ini.ReadString(section, "Server", "");
    account.Port = ini.ReadInteger(section, "Port", 110);
    account.Login = ini.ReadString(section, "Login", "");
    account.Password = UnscramblePassword(ini.ReadString(section, "Password", ""));
    account.SMTPServer = ini.ReadString(section, "SMTPServer", "");
    account.SMTPPort = ini.ReadInteger(section, "SMTPPort", 25);
    account.SMTPAuth = ini.ReadBool(section, "SMTPAuth", false);
    account.SMTPLogin = ini.ReadString(section, "SMTPLogin", "");
    account.SMTPPassword = UnscramblePassword(ini.ReadString(section, "SMTPPassword", ""));
    account.SMTPSameAsIncoming = account.SMTPAuth && account.SMTPLogin.empty();
    account.Enabled = ini.ReadBool(section, "Enabled", true);
    account.POP3Security = ReadSecurity(ini, section, "POP3Security");
    account.SMTPSecurity = ReadSecurity(ini, section, "SMTPSecurity");
    LoadAliases(account);
}

void SaveAccount(int n) {
    const Account& account = Accounts.Item(n - 1);
    ChangeSettingsFile([&](IniDocument& ini) {
        WriteAccountSection(ini, n, account);
        ini.WriteInteger(SettingsSection, "NumAccounts", Accounts.Count());
    });
    SaveAliases(account);
}

bool RemoveAccount(int n) {
    if (Accounts.Count() == 1) {
        ShowMessageBox("Cannot delete account.  There must be at least 1 account configured.", "Notice", MsgButtons::Ok,
                       MsgIcon::Warning);
        return false;
    }
    const Account& removed = Accounts.Item(n - 1);
    if (ShowMessageBox("Are you sure you want to delete the account \"" + removed.EmailAddress + "\" ?", "Confirm",
                       MsgButtons::YesNo, MsgIcon::Warning) != MsgResult::Yes)
        return false;

    // All remaining sections move in one replacement: saving them one by one
    // would leave a duplicated or lost account if the process died between.
    ChangeSettingsFile([n](IniDocument& ini) {
        int section = 0;
        for (int i = 0; i < Accounts.Count(); ++i)
            if (i != n - 1)
                WriteAccountSection(ini, ++section, Accounts.Item(i));
        ini.WriteInteger(SettingsSection, "NumAccounts", section);
    });

    Accounts.Delete(n - 1);
    // An unreadable file keeps what it holds: these aliases did not change.
    for (int i = 0; i < Accounts.Count(); ++i)
        if (!Accounts.Item(i).AliasesUnreadable)
            SaveAliases(Accounts.Item(i));
    return true;
}
