#include "cli/commands.h"

#include "cli/stored_state.h"
#include "cli/terminal_text.h"
#include "import/address_book_sync.h"
#include "platform/data_folder.h"
#include "platform/paths.h"
#include "records/email_syntax.h"
#include "records/sender_list_import.h"
#include "records/sender_lists.h"
#include "records/text_helpers.h"

#include <ostream>

namespace {

SenderList& ListNamed(const std::string& name) {
    if (name == "approved")
        return ApprovedSenders;
    if (name == "blocked")
        return BlockedSenders;
    throw UsageError("the list is \"approved\" or \"blocked\", not \"" + name + "\"");
}

const char* ListTitle(const SenderList& list) {
    return &list == &ApprovedSenders ? "approved" : "blocked";
}

// Stores both lists and reports how many addresses the change moved.
int SaveAndReport(CliContext& context, size_t count, const char* done, const SenderList& list) {
    SaveLists();
    context.Out << count << " address(es) " << done << " the " << ListTitle(list) << " list\n";
    return ExitOk;
}

int Show(CliContext& context, SenderList& list) {
    for (const auto& entry : list.Strings())
        context.Out << TerminalSafe(entry) << "\n";
    return ExitOk;
}

int Add(CliContext& context, SenderList& list, const std::vector<std::string>& addresses) {
    if (addresses.empty())
        throw UsageError("lists add needs at least one address");
    for (const auto& address : addresses) {
        if (!IsValidEmail(address)) {
            context.Err << "\"" << TerminalSafe(address) << "\" is not a valid email address, please try again\n";
            return ExitFailed;
        }
    }
    int added = 0;
    for (const auto& address : addresses)
        added += list.Add(address) >= 0 ? 1 : 0;
    return SaveAndReport(context, added, "added to", list);
}

int Delete(CliContext& context, SenderList& list, const std::vector<std::string>& addresses) {
    if (addresses.empty())
        throw UsageError("lists delete needs at least one address");
    for (const auto& address : addresses) {
        if (!list.Contains(address)) {
            context.Err << "\"" << TerminalSafe(address) << "\" is not on the " << ListTitle(list) << " list\n";
            return ExitFailed;
        }
    }
    for (const auto& address : addresses) {
        for (int i = list.Count() - 1; i >= 0; --i)
            if (SameText(list[i], address))
                list.Delete(i);
    }
    return SaveAndReport(context, addresses.size(), "deleted from", list);
}

int Import(CliContext& context, SenderList& list, const std::vector<std::string>& files) {
    if (files.size() != 1)
        throw UsageError("lists import needs exactly one file");
    std::string content;
    if (!FileExists(files[0]) || !ReadWholeFile(files[0], content)) {
        context.Err << "Unable to import file.\n";
        return ExitFailed;
    }
    int added = 0;
    for (const auto& address : ImportableListEntries(content))
        added += list.Add(address) >= 0 ? 1 : 0;
    return SaveAndReport(context, added, "imported into", list);
}

// Fills the approved list from every address book this desktop offers.
int Sync(CliContext& context) {
    LoadStoredSettings();
    LoadLists();
    int added = SyncAddressBooks(true);
    context.Out << added << " approved sender(s) added from the address books\n";
    return ExitOk;
}

} // namespace

int ListsCommand(CliContext& context) {
    const auto& args = context.Arguments;
    if (args.size() == 1 && args[0] == "sync")
        return Sync(context);
    if (args.size() < 2)
        throw UsageError("lists show|add|delete|import approved|blocked ... or lists sync");
    const std::string& action = args[0];
    SenderList& list = ListNamed(args[1]);
    std::vector<std::string> rest(args.begin() + 2, args.end());
    LoadLists();
    if (action == "show" && rest.empty())
        return Show(context, list);
    if (action == "add")
        return Add(context, list, rest);
    if (action == "delete")
        return Delete(context, list, rest);
    if (action == "import")
        return Import(context, list, rest);
    throw UsageError("unknown lists command \"" + action + "\"");
}
