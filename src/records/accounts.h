#pragma once

#include "platform/connection_security.h"

// The records of the program: accounts with their aliases and lists, and
// (through the headers below) the quarantine index, the header records of a
// scan, the sender lists and the loop list.

#include "records/email_syntax.h"
#include "records/loop_list.h"
#include "records/mail_items.h"
#include "records/quarantine_index.h"
#include "records/sender_list.h"
#include "records/sender_lists.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A sorted list of texts compared without regard to ASCII case, holding no
// two equal entries: the first one added is kept.
class AliasList {
public:
    // Inserts the text at its sorted place; false (and nothing added) when an
    // equal entry exists or the text holds a CR or LF ("aliases.dat" holds
    // one alias per line).
    bool Add(const std::string& text);
    bool Contains(const std::string& text) const;
    int Count() const { return static_cast<int>(m_strings.size()); }
    // operator[] and Delete throw std::out_of_range outside the list.
    const std::string& operator[](int index) const { return m_strings.at(static_cast<size_t>(index)); }
    void Delete(int index);
    void Clear() { m_strings.clear(); }
    const std::vector<std::string>& Strings() const { return m_strings; }
    // Clears the list, then adds every text.
    void Assign(const std::vector<std::string>& strings);
    // Every entry followed by CR LF.
    std::string Text() const;
    // Clears the list, then adds every line (lines end at CR LF, LF or CR).
    void SetText(const std::string& text);

private:
    std::vector<std::string>::const_iterator LowerBound(const std::string& text) const;

    std::vector<std::string> m_strings;
};

// One POP3 account. A new record has empty texts, ports 0, every flag false
// and empty lists; LoadAccount or the account editor fills it.
class Account {
public:
    std::string DisplayName;
    std::string Server;
    int32_t Port = 0; // -1 when the editor's field held no number
    std::string SMTPServer;
    int32_t SMTPPort = 0;
    bool SMTPAuth = false;
    std::string SMTPLogin;
    std::string SMTPPassword; // clear text; scrambled in the file
    // SMTP authentication uses Login and Password. Not stored as a key: saved
    // as an empty "SMTPLogin", recognised on load by SMTPAuth without one.
    bool SMTPSameAsIncoming = false;
    std::string Login;
    std::string Password; // clear text; scrambled in the file
    std::string EmailAddress;
    std::string ReplyAddress;
    bool Enabled = false;
    ScannedHeaderList ScannedHeaders;
    QuarantineIndex Quarantine;
    std::string ID; // names the account folder; never changes
    // "POP3Security" and "SMTPSecurity": written only once they are not None.
    ConnectionSecurity POP3Security = ConnectionSecurity::None;
    ConnectionSecurity SMTPSecurity = ConnectionSecurity::None;
    AliasList Aliases;
    // "aliases.dat" exists but could not be read: saving would replace the
    // aliases it holds with the empty list, so it is refused.
    bool AliasesUnreadable = false;
};

// The ordered accounts; position = account number - 1. Owns its records,
// which keep their addresses until deleted.
class AccountList {
public:
    // Appends a new record and returns it.
    Account& Add();
    int Count() const { return static_cast<int>(m_items.size()); }
    // Item, operator[] and Delete throw std::out_of_range outside the collection.
    Account& Item(int index);
    const Account& Item(int index) const;
    Account& operator[](int index) { return Item(index); }
    const Account& operator[](int index) const { return Item(index); }
    void Delete(int index);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<Account>> m_items;
};

// The process-wide account collection.
extern AccountList Accounts;

// Adds a new, empty record at the end of Accounts and returns it.
Account& AppendAccount();

// Fills record n (1-based) from section "Account" + n of the settings file
// (missing file, section or key: the defaults, port 110, SMTP port 25,
// enabled) and its aliases from "aliases.dat" (any failure there leaves the
// aliases empty and marks them unreadable, so that SaveAccount refuses to
// replace the file). Throws std::out_of_range when record n does not exist.
void LoadAccount(int n);

// Writes record n to section "Account" + n and "NumAccounts" in one atomic
// replacement of the settings file that keeps every other line, then replaces
// its "aliases.dat". Throws std::runtime_error with the system's text when a
// file cannot be read or written (the records keep their values), and
// std::out_of_range when record n does not exist.
void SaveAccount(int n);

// Asks, then removes record n: the remaining records are written to the
// sections Account1..AccountN-1 and "NumAccounts" in one atomic replacement
// (the last old section stays in the file, unread); account folders stay on
// disk. Refuses with a notice when only one account exists. True when the
// account was removed. Throws as SaveAccount does; on a failure the record
// stays in the collection.
bool RemoveAccount(int n);

// DataFolder() + "/Accounts/" + the ID of the record at index (0-based),
// created (mode 0700) with "Accounts" when missing; the "Accounts" folder
// itself for an empty ID. No trailing delimiter. Throws std::runtime_error
// when a folder cannot be created or the ID cannot name a folder (it holds
// "/" or is "." or ".."), std::out_of_range for a bad index.
std::string AccountFolder(int index);

// The account's own address: a valid EmailAddress; else a Login holding "@";
// else Login + "@" + DomainOfHost(Server) when that is not empty; else the
// EmailAddress as it is.
std::string EffectiveAddress(const Account& account);

// The host's last two labels ("pop.mail.example.com" gives "example.com");
// a host with one full stop or none unchanged.
std::string DomainOfHost(const std::string& host);

// The account's quarantine index saved to / loaded from its account folder.
// Never throw: false on any failure.
bool SaveIndex(Account& account);
bool LoadIndex(Account& account);
