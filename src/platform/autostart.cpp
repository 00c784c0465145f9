#include "platform/autostart.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"

#include <cstdlib>

namespace {

std::string ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/')
        return xdg;
    return IncludeTrailingDelimiter(HomeFolder()) + ".config";
}

// Desktop-entry Exec quoting: inside double quotes, '"', '`', '$' and '\' are escaped.
std::string QuoteExecArgument(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::string StartAtLogonEntryPath() {
    return IncludeTrailingDelimiter(ConfigHome()) + "autostart/quorvane.desktop";
}

void RegisterStartAtLogon(const std::string& programFolder) {
    std::string config = ConfigHome();
    EnsureFolder(config, 0700);
    EnsureFolder(IncludeTrailingDelimiter(config) + "autostart", 0700);
    std::string program = IncludeTrailingDelimiter(programFolder) + "vantrel";
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=Quorvane\n"
                        "Comment=Challenge-response spam protection for POP3 mailboxes\n"
                        "Exec=" +
                        QuoteExecArgument(program) +
                        "\n"
                        "Terminal=false\n"
                        "X-GNOME-Autostart-enabled=true\n";
    ReplaceFileAtomically(StartAtLogonEntryPath(), entry);
}
