#include "cli/command_line.h"

#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "platform/data_folder.h"
#include "platform/data_folder_lock.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <unistd.h>

namespace {

const char* const HelpText =
    R"(usage: quorvane [--data-dir DIR] COMMAND ...

Quorvane protects POP3 mailboxes with challenge and response.

Options:
  --data-dir DIR    use DIR as the data folder (else $QUORVANE_DATA_DIR,
                    else $XDG_DATA_HOME/Belvantis/Quorvane)
  --wait SECONDS    how long a command that changes the data folder waits
                    for another Quorvane process using it (default 60);
                    scan --unattended does not wait but exits with status 75
  --help            show this help

Commands:
  settings                              show every setting and its value
  settings set KEY [VALUE]              change one setting (a password is read
                                        from standard input when VALUE is left out)
  lists show approved|blocked           show a sender list
  lists add approved|blocked ADDRESS... add addresses or masks such as *@example.com
  lists delete approved|blocked ADDRESS...
  lists import approved|blocked FILE    add the valid addresses of a text file
  lists sync                            add the addresses of the mail clients'
                                        address books to the approved list
  accounts list                         show the accounts
  accounts add OPTIONS                  add an account (the password is read from
                                        standard input or asked for)
  accounts edit N OPTIONS               change account N
  accounts delete N [--yes]             delete account N
  accounts enable|disable N             switch spam protection for account N
  accounts detect                       add the accounts of Outlook, Outlook Express and
                                        Eudora found in the Wine prefix ($WINEPREFIX, else
                                        ~/.wine); passwords are not detected
  update check [--yes]                  look for a newer version on the maker's update
                                        page ($QUORVANE_UPDATE_PAGE overrides it); when
                                        one is offered, download it (--yes: without
                                        asking) and print its path. Exit status 0 when
                                        downloaded, 1 otherwise
  demo [--keep]                         the whole cycle on a private mail service and a
                                        temporary data folder (removed unless --keep):
                                        scan, challenge, answer, release
  scan [--unattended]                   scan every enabled account; Ctrl+C asks to
                                        cancel. --unattended: as the background scan,
                                        no questions (the approve prompt approves when
                                        its countdown ends). Exit status 0 when every
                                        account was scanned, 1 when one failed or
                                        nothing could be scanned, 130 when cancelled
  quarantine list [--account N] [--category 0-3]
                                        the quarantined messages, newest first, with
                                        their ids and file names
  quarantine show ID                    the secure plain-text preview of a message
  quarantine approve ID... [--yes]      approve the senders and release all their
                                        messages shown with these to the inbox
  quarantine release ID... [--yes]      release only these messages to the inbox
  quarantine delete ID... [--yes]       delete messages for good
  quarantine purge                      delete messages older than AutoDelSpamDays
                                        (when AutoDelSpam is on) and entries whose
                                        file is gone
  (ID is the number quarantine list printed, or the message's file name)

Account options:
  --email ADDRESS  --display-name NAME  --reply-address ADDRESS
  --server HOST  --port N  --login USER  --password (ask for a new password)
  --smtp-server HOST  --smtp-port N  --smtp-auth | --no-smtp-auth
  --smtp-same-as-incoming | --smtp-login USER  --smtp-password (ask for it)
  --pop3-security none|tls|starttls  --smtp-security none|tls|starttls
                   (tls with the plain default port moves it to 995 / 465)
  --enabled | --disabled  --alias ADDRESS (repeatable)  --no-aliases
)";

constexpr int DefaultWaitSeconds = 60;
// EX_TEMPFAIL of sysexits.h: a timer tries again later.
constexpr int ExitTryAgainLater = 75;

struct GlobalOptions {
    std::string DataDir;
    int WaitSeconds = DefaultWaitSeconds;
    bool Help = false;
    std::vector<std::string> Command;
};

int ParseWaitSeconds(const std::string& text) {
    int seconds = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || seconds < 0)
        throw UsageError("--wait needs a number of seconds");
    return seconds;
}

// An empty folder would mean no override and so the real data folder.
std::string DataDirValue(const std::string& folder) {
    if (folder.empty())
        throw UsageError("--data-dir needs a folder, not an empty text");
    return folder;
}

GlobalOptions ParseGlobalOptions(const std::vector<std::string>& arguments) {
    GlobalOptions options;
    size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word == "--help" || word == "-h") {
            options.Help = true;
        } else if (word == "--data-dir") {
            if (i + 1 >= arguments.size())
                throw UsageError("--data-dir needs a folder");
            options.DataDir = DataDirValue(arguments[++i]);
        } else if (word.rfind("--data-dir=", 0) == 0) {
            options.DataDir = DataDirValue(word.substr(11));
        } else if (word == "--wait") {
            if (i + 1 >= arguments.size())
                throw UsageError("--wait needs a number of seconds");
            options.WaitSeconds = ParseWaitSeconds(arguments[++i]);
        } else if (word.rfind("--wait=", 0) == 0) {
            options.WaitSeconds = ParseWaitSeconds(word.substr(7));
        } else {
            break;
        }
    }
    options.Command.assign(arguments.begin() + static_cast<long>(i), arguments.end());
    return options;
}

// Commands that only show what is stored need no lock; every other one
// loads state it saves again.
bool ChangesDataFolder(const std::vector<std::string>& command) {
    const std::string& group = command[0];
    std::string action = command.size() > 1 ? command[1] : std::string();
    if (group == "scan" || group == "update")
        return true;
    if (group == "settings")
        return action == "set";
    if (group == "lists" || group == "accounts" || group == "quarantine")
        return action != "show" && action != "list" && !action.empty();
    return false;
}

bool IsUnattendedScan(const std::vector<std::string>& command) {
    return command[0] == "scan" && std::find(command.begin(), command.end(), "--unattended") != command.end();
}

// Takes the data folder's lock for a command that changes it. False when an
// unattended scan finds the folder in use.
bool LockDataFolder(DataFolderLock& lock, const GlobalOptions& options, std::ostream& err) {
    std::string folder = DataFolder();
    if (IsUnattendedScan(options.Command))
        return lock.TryAcquire(folder);
    // The desktop program holds the folder for as long as it runs: waiting
    // for it would only end in the same refusal a minute later.
    if (!lock.TryAcquire(folder) && DataFolderLock::HolderDescription(folder) == DesktopProgramHolder)
        throw std::runtime_error("The Quorvane desktop program is running and keeps " + folder +
                                 " open. Do this in its window (open it from the Quorvane tray icon), or choose "
                                 "Exit in the tray icon's menu and run the command again.");
    bool locked = lock.Acquire(folder, options.WaitSeconds, [&] {
        err << "Waiting for another Quorvane process using " << TerminalSafe(folder) << "..." << std::endl;
    });
    if (!locked)
        throw std::runtime_error("Another Quorvane process is still using " + folder + "; try again later.");
    return true;
}

int Dispatch(CliContext& context, const std::string& group) {
    if (group == "lists")
        return ListsCommand(context);
    if (group == "settings")
        return SettingsCommand(context);
    if (group == "accounts")
        return AccountsCommand(context);
    if (group == "quarantine")
        return QuarantineCommand(context);
    if (group == "scan")
        return ScanCommand(context);
    if (group == "demo")
        return DemoCommand(context);
    if (group == "update")
        return UpdateCommand(context);
    throw UsageError("unknown command \"" + group + "\"");
}

} // namespace

int RunCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err) {
    try {
        GlobalOptions options = ParseGlobalOptions(arguments);
        if (options.Help) {
            out << HelpText;
            return ExitOk;
        }
        if (options.Command.empty())
            throw UsageError("a command is needed");
        SetDataFolderOverride(options.DataDir);
        DataFolderLock lock;
        if (ChangesDataFolder(options.Command) && !LockDataFolder(lock, options, err)) {
            err << "quorvane: another Quorvane process is using " << TerminalSafe(DataFolder())
                << "; the scan is left for later.\n";
            return ExitTryAgainLater;
        }
        CliContext context{{options.Command.begin() + 1, options.Command.end()}, in, out, err};
        context.InteractiveInput = &in == &std::cin && ::isatty(STDIN_FILENO);
        return Dispatch(context, options.Command[0]);
    } catch (const UsageError& error) {
        err << "quorvane: " << TerminalSafe(error.what()) << "\n(see quorvane --help)\n";
        return ExitUsage;
    } catch (const std::exception& error) {
        err << "quorvane: " << TerminalSafe(error.what()) << "\n";
        return ExitFailed;
    }
}

int RunCommandLine(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCommand(arguments, std::cin, std::cout, std::cerr);
}
