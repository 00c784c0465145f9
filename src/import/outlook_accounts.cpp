#include "import/outlook_accounts.h"

#include "import/imported_account.h"
#include "platform/event_pump.h"
#include "platform/registry_hive.h"
#include "platform/windows_text.h"
#include "records/account_editor.h"
#include "records/accounts.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <functional>

namespace {

const char* const OutlookKey = "Software\\Microsoft\\Office\\Outlook";
const char* const OmiManager = "OMI Account Manager";
const char* const OutlookExpressKey = "Software\\Microsoft";
const char* const InternetManager = "Internet Account Manager";
const char* const NoDefault = "NO_DEFAULT";
const char* const ProfileKeyNT = "\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
                                 "Subsystem\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676";
const char* const ProfileKey9x =
    "\\Software\\Microsoft\\Windows Messaging Subsystem\\Profiles\\Outlook\\9375CFF0413111d3B88A00104B2A6676";
const char* const ProfileDefaultValue = "{ED475418-B0D6-11D2-8C3B-00104B2A6676}";
const char* const HotmailMark = "hotmail/httpmail.asp";
constexpr size_t ProfileValueLimit = 260;
constexpr size_t AccountKeyNameLength = 8;
constexpr uint16_t ImapPort = 143;

// Thrown while one account is read: that account is skipped.
struct AccountSkipped {};

size_t CharacterCount(const std::string& text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// ---------------------------------------------------------------- registry strings and numbers

// A string value; missing reads as empty, another type skips the account.
std::string StringValue(const RegistryKey& key, const char* name) {
    if (!key.ValueExists(name))
        return {};
    auto text = key.ReadString(name);
    if (!text)
        throw AccountSkipped{};
    return *text;
}

// A number that is present; another type skips the account.
uint32_t NumberValue(const RegistryKey& key, const char* name) {
    auto number = key.ReadInteger(name);
    if (!number)
        throw AccountSkipped{};
    return *number;
}

// A missing port, or one that is no 32-bit number or no port number at all,
// leaves the port as it is.
void ReadPort(const RegistryKey& key, const char* name, uint16_t& port) {
    auto number = key.ReadInteger(name);
    if (number && *number <= 0xFFFF)
        port = static_cast<uint16_t>(*number);
}

// The outgoing settings of the Internet account managers.
void ReadOutgoing(const RegistryKey& key, OutlookAccount& item) {
    item.SMTPServer = StringValue(key, "SMTP Server");
    item.EmailAddress = StringValue(key, "SMTP Email Address");
    item.DisplayName = StringValue(key, "SMTP Display Name");
    ReadPort(key, "SMTP Port", item.SMTPPort);
    if (key.ValueExists("SMTP Reply To Email Address"))
        item.ReplyAddress = StringValue(key, "SMTP Reply To Email Address");
    if (key.ValueExists("SMTP Use Sicily") && NumberValue(key, "SMTP Use Sicily") != 0) {
        item.SMTPAuth = true;
        if (key.ValueExists("SMTP User Name"))
            item.SMTPLogin = StringValue(key, "SMTP User Name");
    }
}

// Values of "OMI Account Manager" and "Internet Account Manager" accounts;
// they differ in the IMAP port default and in HTTPMail.
void ReadManagerAccount(const RegistryKey& key, OutlookAccount& item, bool outlookExpress) {
    if (key.ValueExists("POP3 User Name")) {
        item.Login = StringValue(key, "POP3 User Name");
        item.Server = StringValue(key, "POP3 Server");
        ReadPort(key, "POP3 Port", item.Port);
        item.AccountType = 0;
    } else if (key.ValueExists("IMAP User Name")) {
        item.Login = StringValue(key, "IMAP User Name");
        item.Server = StringValue(key, "IMAP Server");
        if (!outlookExpress)
            item.Port = ImapPort;
        ReadPort(key, "IMAP Port", item.Port);
        item.AccountType = 1;
    } else if (outlookExpress && key.ValueExists("HTTPMail User Name")) {
        item.Login = StringValue(key, "HTTPMail User Name");
        item.Server = StringValue(key, "HTTPMail Server");
        if (item.Server.find(HotmailMark) == std::string::npos)
            throw AccountSkipped{};
        item.AccountType = 2;
    }
    if (item.AccountType != 2)
        ReadOutgoing(key, item);
}

// ---------------------------------------------------------------- profile values

// A text of the mail profile: UTF-16 in a binary value of at most 260
// bytes, ending at its first NUL character. Missing or too long skips the
// account. A value stored as a string is taken as it is.
std::string ProfileText(const RegistryKey& key, const char* name) {
    const RegistryValue* value = key.Value(name);
    if (!value)
        throw AccountSkipped{};
    if (auto text = key.ReadString(name))
        return *text;
    if (value->Data.size() > ProfileValueLimit)
        throw AccountSkipped{};
    std::string_view bytes = value->Data;
    size_t end = 0;
    while (end + 1 < bytes.size() && (bytes[end] != '\0' || bytes[end + 1] != '\0'))
        end += 2;
    return NarrowFromUtf16Bytes(bytes.substr(0, end));
}

void ReadProfileAccount(const RegistryKey& key, OutlookAccount& item) {
    if (key.ValueExists("POP3 User")) {
        item.Login = ProfileText(key, "POP3 User");
        item.Server = ProfileText(key, "POP3 Server");
        ReadPort(key, "POP3 Port", item.Port);
        item.AccountType = 0;
    } else if (key.ValueExists("IMAP User")) {
        item.Login = ProfileText(key, "IMAP User");
        item.Server = ProfileText(key, "IMAP Server");
        item.Port = ImapPort;
        ReadPort(key, "IMAP Port", item.Port);
        item.AccountType = 1;
    } else if (key.ValueExists("HTTP User")) {
        item.Login = ProfileText(key, "HTTP User");
        item.Server = ProfileText(key, "HTTP Server URL");
        if (item.Server.find(HotmailMark) == std::string::npos)
            throw AccountSkipped{};
        item.AccountType = 2;
    }
    if (item.AccountType != 2) {
        item.SMTPServer = ProfileText(key, "SMTP Server");
        ReadPort(key, "SMTP Port", item.SMTPPort);
    }
    item.EmailAddress = ProfileText(key, "Email");
    item.DisplayName = ProfileText(key, "Display Name");
    if (key.ValueExists("Reply Email"))
        item.ReplyAddress = ProfileText(key, "Reply Email");
    if (key.ValueExists("SMTP Use Auth")) {
        item.SMTPAuth = NumberValue(key, "SMTP Use Auth") != 0;
        if (key.ValueExists("SMTP User"))
            item.SMTPLogin = ProfileText(key, "SMTP User");
    }
}

// The profile's default account: the first 32-bit little-endian number of
// the value as 8 upper-case hexadecimal digits; none with fewer bytes.
std::string ProfileDefaultId(const std::string& bytes) {
    if (bytes.size() < 4)
        return {};
    uint32_t id = 0;
    for (int i = 3; i >= 0; --i)
        id = (id << 8) | static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
    char text[9];
    std::snprintf(text, sizeof text, "%08X", id);
    return text;
}

std::string DefaultAccountId(const RegistryKey& manager) {
    auto id = manager.ReadString("Default Mail Account");
    return id ? *id : NoDefault;
}

} // namespace

// ---------------------------------------------------------------- OutlookAccountReader

namespace {

using AccountReader = std::function<void(const RegistryKey&, OutlookAccount&)>;

// The steps every reader shares once it knows the accounts key, the path
// the accounts are opened by and the default account's id.
void ReadAccountKeys(OutlookAccountReader& accounts, const RegistryHive& hive, const RegistryKey& accountsKey,
                     const std::string& accountPath, const std::string& defaultId, const AccountReader& read) {
    for (const std::string& name : accountsKey.SubKeyNames()) {
        if (CharacterCount(name) != AccountKeyNameLength)
            continue;
        OutlookAccount item;
        const RegistryKey* key = hive.OpenKey(accountPath + "\\" + name);
        if (!key)
            continue;
        try {
            read(*key, item);
        } catch (const AccountSkipped&) {
            continue;
        }
        if (!item.Login.empty() && !item.Server.empty() && accounts.FindDuplicate(item) < 0) {
            item.IsDefault = name == defaultId;
            accounts.Items.push_back(item);
        }
    }
}

// The two Internet account managers: client key, manager subkey, accounts.
bool ReadManagerAccounts(OutlookAccountReader& accounts, const RegistryHive& hive, const std::string& clientPath,
                         const std::string& managerName, bool outlookExpress) {
    const RegistryKey* client = hive.OpenKey(clientPath);
    if (!client)
        return false;
    const RegistryKey* manager = client->OpenKey(managerName);
    if (!manager)
        return true;
    const RegistryKey* accountsKey = manager->OpenKey("Accounts");
    if (!accountsKey)
        return false;
    ReadAccountKeys(accounts, hive, *accountsKey, "\\" + clientPath + "\\" + managerName + "\\Accounts",
                    DefaultAccountId(*manager), [outlookExpress](const RegistryKey& key, OutlookAccount& item) {
                        ReadManagerAccount(key, item, outlookExpress);
                    });
    return true;
}

} // namespace

OutlookAccountReader::OutlookAccountReader() : WindowsNT(true) {}

bool OutlookAccountReader::ReadOmiAccounts(const RegistryHive& currentUser) {
    return ReadManagerAccounts(*this, currentUser, OutlookKey, OmiManager, false);
}

bool OutlookAccountReader::ReadOutlookExpressAccounts(const RegistryHive& currentUser) {
    return ReadManagerAccounts(*this, currentUser, OutlookExpressKey, InternetManager, true);
}

bool OutlookAccountReader::ReadOutlookProfileAccounts(const RegistryHive& currentUser) {
    const std::string path = WindowsNT ? ProfileKeyNT : ProfileKey9x;
    const RegistryKey* profile = currentUser.OpenKey(path);
    if (!profile)
        return false;
    const RegistryValue* defaultValue = profile->Value(ProfileDefaultValue);
    if (!defaultValue)
        return false;
    ReadAccountKeys(*this, currentUser, *profile, path, ProfileDefaultId(defaultValue->Data), ReadProfileAccount);
    return true;
}

int OutlookAccountReader::FindDuplicate(const OutlookAccount& item) const {
    for (size_t i = 0; i < Items.size(); ++i)
        if (SameText(Items[i].EmailAddress, item.EmailAddress) && SameText(Items[i].Server, item.Server) &&
            SameText(Items[i].Login, item.Login))
            return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------- OutlookImportWizard

OutlookImportWizard::OutlookImportWizard(AccountEditor& editor, const RegistryHive& currentUser)
    : m_editor(editor), m_currentUser(currentUser) {}

void OutlookImportWizard::Next() {
    if (!NextEnabled || ModalResult != WizardResult::None)
        return;
    if (Page == OutlookWizardLastPage) {
        ModalResult = WizardResult::Ok;
        return;
    }
    ++Page;
    if (Page == 2)
        BackEnabled = true;
    if (Page == OutlookWizardLastPage) {
        NextEnabled = BackEnabled = CancelEnabled = false;
        ImportAccounts();
        ProgressText = OutlookWizardFinishedText;
        NextCaption = "Finish";
        NextEnabled = true;
        SuccessNoteVisible = true;
    }
}

void OutlookImportWizard::Back() {
    if (!BackEnabled || ModalResult != WizardResult::None || Page == 0)
        return;
    --Page;
    if (Page == 0)
        BackEnabled = false;
}

void OutlookImportWizard::Cancel() {
    if (CancelEnabled && ModalResult == WizardResult::None)
        ModalResult = WizardResult::Cancel;
}

void OutlookImportWizard::ImportAccounts() {
    try {
        OutlookAccountReader found;
        for (int i = 0; i < ::Accounts.Count(); ++i) {
            const Account& account = ::Accounts.Item(i);
            OutlookAccount item;
            item.IsExisting = true;
            item.Login = account.Login;
            item.Server = account.Server;
            item.Port = static_cast<uint16_t>(account.Port);
            item.SMTPServer = account.SMTPServer;
            item.EmailAddress = account.EmailAddress;
            item.SMTPPort = static_cast<uint16_t>(account.SMTPPort);
            item.ReplyAddress = account.ReplyAddress;
            item.DisplayName = account.DisplayName;
            item.SMTPLogin = account.SMTPLogin;
            item.SMTPPassword = account.SMTPPassword;
            found.Items.push_back(item);
        }
        if (Info == Source::Outlook) {
            found.ReadOmiAccounts(m_currentUser);
            found.ReadOutlookProfileAccounts(m_currentUser);
        } else {
            found.ReadOutlookExpressAccounts(m_currentUser);
        }
        bool onlyDefault = Accounts == AccountSelection::OnlyDefault;
        std::erase_if(found.Items, [onlyDefault](const OutlookAccount& item) {
            return item.IsExisting || (onlyDefault && !item.IsDefault);
        });
        Progress.Min = 0;
        Progress.Position = 0;
        Progress.Step = 1;
        ImportedCountText = "0";
        int count = 0;
        for (const OutlookAccount& item : found.Items) {
            if (!ImportAccount(item))
                continue;
            Progress.Position = std::min(Progress.Position + Progress.Step, Progress.Max);
            ImportedCountText = std::to_string(++count);
            Pump();
        }
        Progress.Position = Progress.Max;
    } catch (const std::exception&) {
        // The import ends quietly; the detection tells the user what came of it.
    }
}

bool OutlookImportWizard::ImportAccount(const OutlookAccount& item) {
    if (::Accounts.Count() == 0)
        m_editor.EditorModified = false;
    m_editor.AddAccount();
    AccountEditorFields& fields = m_editor.Fields;
    fields.Server = item.Server;
    fields.SMTPServer = item.SMTPServer;
    fields.Port = std::to_string(item.Port);
    fields.SMTPPort = std::to_string(item.SMTPPort);
    fields.EmailAddress = item.EmailAddress;
    fields.Login = item.Login;
    fields.Password.clear();
    fields.DisplayName = item.DisplayName;
    fields.ReplyAddress = item.ReplyAddress;
    m_editor.FieldChanged();
    if (item.SMTPAuth) {
        fields.SMTPAuth = true;
        m_editor.FieldChanged();
        fields.SMTPLogin = item.SMTPLogin;
        fields.SMTPPassword.clear();
        fields.SMTPSameAsIncoming = fields.SMTPLogin.empty();
        m_editor.FieldChanged();
    }
    return CommitImportedAccount(m_editor);
}
