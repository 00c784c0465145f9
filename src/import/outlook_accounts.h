#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RegistryHive;

// The mail accounts Outlook and Outlook Express keep in the current user's
// registry. Passwords are never read.

// How the client fetches the account's mail; the registry's numbers.
enum class MailProtocol : uint8_t { Pop3 = 0, Imap = 1, HttpMail = 2 };

// One account as read from a client.
struct OutlookAccount {
    MailProtocol Protocol = MailProtocol::Pop3; // HttpMail: Hotmail
    std::string Login;
    std::string Server; // for HTTPmail the server's URL
    std::string SMTPServer;
    std::string EmailAddress;
    uint16_t Port = 110;
    uint16_t SMTPPort = 25;
    bool IsDefault = false;  // the client's default mail account
    bool IsExisting = false; // copy of an account the program already has
    std::string DisplayName;
    bool SMTPAuth = false;
    std::string SMTPLogin;
    std::string SMTPPassword; // only copies of program accounts carry one
    std::string ReplyAddress;
};

// The accounts of one import run. The readers append what they find in the
// HKEY_CURRENT_USER hive given to them; an account equal to one already held
// (FindDuplicate) or without user name or server is left out. A reader
// returns true when it got through the client's settings (also when they
// held no account or the client is not installed below its client key) and
// false when it had to stop early; what it appended stays. Text is stored as
// UTF-8. Never throw on bad registry data.
class OutlookAccountReader {
public:
    OutlookAccountReader();

    // Whether the system belongs to the Windows NT family: it chooses the
    // path of the Outlook mail profile. Wine reports the NT platform.
    bool WindowsNT;
    std::vector<OutlookAccount> Items;

    // Outlook's Internet-mail-only accounts ("OMI Account Manager").
    bool ReadOmiAccounts(const RegistryHive& currentUser);
    // The accounts of Outlook's mail profile named Outlook.
    bool ReadOutlookProfileAccounts(const RegistryHive& currentUser);
    // Outlook Express's accounts ("Internet Account Manager").
    bool ReadOutlookExpressAccounts(const RegistryHive& currentUser);

    // Index of the first item whose EmailAddress, Server and Login equal the
    // item's, without regard to ASCII letter case; -1 when none does.
    int FindDuplicate(const OutlookAccount& item) const;
};
