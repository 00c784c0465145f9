#pragma once

#include "mail/pop3_session.h"

class TAccountItem;

// The POP3 session settings of an account: its server, port, login,
// password and security, and the Timeout setting.
Pop3Settings Pop3SettingsFor(const TAccountItem& account);
