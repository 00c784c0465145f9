#pragma once

#include "platform/mail_transport_error.h"

#include <functional>
#include <string>

// The text of the MailTransportError the action raises, or "(no error)".
inline std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const MailTransportError& error) {
        return error.what();
    }
    return "(no error)";
}
