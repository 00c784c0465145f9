#include "mail/mail_address.h"

#include <cstring>

namespace {

// RFC 2822 atext, plus the space that separates the words of a phrase.
bool IsPhraseCharacter(unsigned char c) {
    if (c >= 'a' && c <= 'z') {
        return true;
    }
    if (c >= 'A' && c <= 'Z') {
        return true;
    }
    if (c >= '0' && c <= '9') {
        return true;
    }
    return c != 0 && std::strchr("!#$%&'*+-/=?^_`{|}~ ", c) != nullptr;
}

bool NeedsQuotes(const std::string& name) {
    for (unsigned char c : name) {
        if (!IsPhraseCharacter(c)) {
            return true;
        }
    }
    return false;
}

std::string QuotedName(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string MailAddress::DisplayText() const {
    if (Name.empty()) {
        return Address;
    }
    if (Address.empty()) {
        return "<>";
    }
    std::string text = NeedsQuotes(Name) ? QuotedName(Name) : Name;
    return text + " <" + Address + ">";
}

std::string AddressListText(const MailAddressList& list) {
    std::string text;
    for (const MailAddress& entry : list) {
        if (!text.empty()) {
            text += ", ";
        }
        text += entry.DisplayText();
    }
    return text;
}
