#pragma once

#include "platform/connection_security.h"
#include "records/alias_list.h"
#include "records/quarantine_index.h"
#include "records/scanned_header_list.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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
