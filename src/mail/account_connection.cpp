#include "mail/account_connection.h"

#include "records/program_settings.h"
#include "records/uObjects.h"

Pop3Settings Pop3SettingsFor(const TAccountItem& account) {
    Pop3Settings settings;
    settings.Host = account.Server;
    settings.Port = account.Port;
    settings.User = account.Login;
    settings.Password = account.Password;
    settings.TimeoutMs = TimeoutMilliseconds(ProgramSettings);
    settings.Security = account.POP3Security;
    return settings;
}
