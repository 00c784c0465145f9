#include "cli/command_line.h"

#include "cli/commands.h"
#include "cli/terminal_text.h"
#include "platform/data_folder.h"

#include <iostream>
#include <unistd.h>

namespace {

const char* const HelpText =
    R"(usage: quorvane [--data-dir DIR] COMMAND ...

Quorvane protects POP3 mailboxes with challenge and response.

Options:
  --data-dir DIR    use DIR as the data folder (else $QUORVANE_DATA_DIR,
                    else $XDG_DATA_HOME/Belvantis/Quorvane)
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
  --enabled | --disabled  --alias ADDRESS (repeatable)  --no-aliases
)";

struct GlobalOptions {
    std::string DataDir;
    bool Help = false;
    std::vector<std::string> Command;
};

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
        } else {
            break;
        }
    }
    options.Command.assign(arguments.begin() + static_cast<long>(i), arguments.end());
    return options;
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
