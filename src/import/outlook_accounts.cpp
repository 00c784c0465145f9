#include "import/outlook_accounts.h"

#include "platform/registry_hive.h"
#include "platform/windows_text.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <cstdio>
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
        item.Protocol = MailProtocol::Pop3;
    } else if (key.ValueExists("IMAP User Name")) {
        item.Login = StringValue(key, "IMAP User Name");
        item.Server = StringValue(key, "IMAP Server");
        if (!outlookExpress)
            item.Port = ImapPort;
        ReadPort(key, "IMAP Port", item.Port);
        item.Protocol = MailProtocol::Imap;
    } else if (outlookExpress && key.ValueExists("HTTPMail User Name")) {
        item.Login = StringValue(key, "HTTPMail User Name");
        item.Server = StringValue(key, "HTTPMail Server");
        if (item.Server.find(HotmailMark) == std::string::npos)
            throw AccountSkipped{};
        item.Protocol = MailProtocol::HttpMail;
    }
    if (item.Protocol != MailProtocol::HttpMail)
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
        item.Protocol = MailProtocol::Pop3;
    } else if (key.ValueExists("IMAP User")) {
        item.Login = ProfileText(key, "IMAP User");
        item.Server = ProfileText(key, "IMAP Server");
        item.Port = ImapPort;
        ReadPort(key, "IMAP Port", item.Port);
        item.Protocol = MailProtocol::Imap;
    } else if (key.ValueExists("HTTP User")) {
        item.Login = ProfileText(key, "HTTP User");
        item.Server = ProfileText(key, "HTTP Server URL");
        if (item.Server.find(HotmailMark) == std::string::npos)
            throw AccountSkipped{};
        item.Protocol = MailProtocol::HttpMail;
    }
    if (item.Protocol != MailProtocol::HttpMail) {
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
