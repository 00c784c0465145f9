#pragma once

#include <string>
#include <vector>

// One mailbox of an address field: a display name (may be empty) and an
// address (may be empty).
struct MailAddress {
    std::string Name;
    std::string Address;

    // The address alone when there is no display name; "<>" for a name
    // without an address; otherwise the name, a space and the address in
    // angle brackets. A name holding characters outside the atom characters
    // and space is quoted, its backslashes and double quotes escaped.
    std::string DisplayText() const;

    bool IsEmpty() const { return Name.empty() && Address.empty(); }
    bool operator==(const MailAddress&) const = default;
};

using MailAddressList = std::vector<MailAddress>;

// The display texts of the entries joined with ", ".
std::string AddressListText(const MailAddressList& list);
