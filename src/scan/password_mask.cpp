#include "scan/password_mask.h"

#include "records/account.h"
#include "records/base64.h"

namespace {

void Mask(std::string& text, const std::string& secret) {
    if (secret.empty())
        return;
    static const std::string hidden = "********";
    for (std::size_t at = text.find(secret); at != std::string::npos; at = text.find(secret, at + hidden.size()))
        text.replace(at, secret.size(), hidden);
}

} // namespace

std::string WithoutPasswords(std::string text, const Account& account) {
    for (const std::string* secret : {&account.Password, &account.SMTPPassword}) {
        Mask(text, *secret);
        if (!secret->empty())
            Mask(text, Base64Encode(*secret));
    }
    return text;
}
