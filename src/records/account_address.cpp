#include "records/account_address.h"

#include "records/account.h"
#include "records/email_syntax.h"

#include <algorithm>

std::string DomainOfHost(const std::string& host) {
    std::string domain = host;
    while (std::count(domain.begin(), domain.end(), '.') > 1)
        domain.erase(0, domain.find('.') + 1);
    return domain;
}

std::string EffectiveAddress(const Account& account) {
    if (IsValidEmail(account.EmailAddress))
        return account.EmailAddress;
    if (account.Login.find('@') != std::string::npos)
        return account.Login;
    std::string domain = DomainOfHost(account.Server);
    if (!domain.empty())
        return account.Login + "@" + domain;
    return account.EmailAddress;
}
