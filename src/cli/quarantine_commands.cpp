#include "cli/commands.h"

#include "challenge/preview_text.h"
#include "challenge/quarantine_actions.h"
#include "challenge/quarantine_purge.h"
#include "challenge/quarantine_view.h"
#include "cli/options.h"
#include "cli/quarantine_selection.h"
#include "cli/terminal_prompts.h"
#include "cli/terminal_session.h"
#include "cli/terminal_text.h"
#include "mail/mail_message.h"
#include "platform/data_folder.h"
#include "platform/mail_transport_error.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/sender_lists.h"
#include "scan/quarantine_file.h"

#include <iomanip>
#include <ostream>

namespace {

int AccountOption(const Options& options) {
    auto text = options.Value("account");
    if (!text)
        return -1;
    auto number = ParseInteger(*text);
    if (!number || *number < 1 || *number > Accounts.Count())
        throw UsageError("there is no account " + *text + " (accounts are numbered 1 to " +
                         std::to_string(Accounts.Count()) + ")");
    return *number - 1;
}

int CategoryOption(const Options& options) {
    auto text = options.Value("category");
    if (!text)
        return -1;
    auto category = ParseInteger(*text);
    if (!category || *category < CategoryChallenged || *category > CategorySpam)
        throw UsageError("--category is 0 (Challenged Mail), 1 (Possible Automated Mail), 2 (Possible "
                         "Viruses/Worms) or 3 (Obvious Spam)");
    return *category;
}

void PrintRows(std::ostream& out, int accountIndex, const QuarantineView& view) {
    QuarantineIndex& items = Accounts.Item(accountIndex).Quarantine;
    for (const QuarantineRow& row : view.Rows()) {
        const QuarantineEntry* item = items.FindById(row.Id);
        out << std::left << std::setw(6) << row.Id << " " << std::setw(4) << accountIndex + 1 << " " << std::setw(23)
            << CategoryName(view.CurrentCategory()) << " " << TerminalColumn(row.DateText, 10) << " "
            << TerminalColumn(row.Caption, 30) << " " << TerminalColumn(row.Subject, 40) << " "
            << (item ? TerminalSafe(item->FileName) : std::string()) << "\n";
    }
}

int List(CliContext& context, const Options& options) {
    if (!options.Positional().empty())
        throw UsageError("quarantine list [--account N] [--category 0-3]");
    int onlyAccount = AccountOption(options);
    int onlyCategory = CategoryOption(options);
    context.Out << std::left << std::setw(6) << "ID"
                << " " << std::setw(4) << "ACCT"
                << " " << std::setw(23) << "CATEGORY"
                << " " << std::setw(10) << "DATE"
                << " " << std::setw(30) << "FROM"
                << " " << std::setw(40) << "SUBJECT"
                << " "
                << "FILE\n";
    QuarantineView view;
    for (int a = 0; a < Accounts.Count(); ++a) {
        if (onlyAccount >= 0 && a != onlyAccount)
            continue;
        view.SetCurrentAccount(a);
        for (int category = CategoryChallenged; category <= CategorySpam; ++category) {
            if (onlyCategory >= 0 && category != onlyCategory)
                continue;
            view.SetCurrentCategory(category);
            PrintRows(context.Out, a, view);
        }
    }
    return ExitOk;
}

void PrintPreview(std::ostream& out, const PreviewContent& content) {
    for (const PreviewRow& row : PreviewHeaderRows(content))
        out << std::left << std::setw(9) << row.Caption << TerminalSafe(row.Value) << "\n";
    if (content.ShowAttachmentNotice)
        out << "\n" << PreviewAttachmentNotice << "\n";
    out << "\n" << TerminalSafe(content.Text, true) << "\n\n" << PreviewStatusNotice << "\n";
}

int Show(CliContext& context, const Options& options) {
    if (options.Positional().size() != 1)
        throw UsageError("quarantine show ID");
    QuarantineSelection selection = SelectQuarantined(options.Positional()).front();
    const QuarantineEntry* item = Accounts.Item(selection.AccountIndex).Quarantine.FindById(selection.Ids.front());
    std::string path = QuarantineFilePath(AccountFolder(selection.AccountIndex), item->FileName);
    MailMessage message;
    try {
        if (path.empty())
            throw MailTransportError("Cannot load message from file " + item->FileName);
        LoadPreviewMessage(path, message);
    } catch (const MailTransportError& error) {
        DeletePreviewFiles(message);
        context.Err << TerminalSafeLines(PreviewErrorText(error.what())) << "\n";
        return ExitFailed;
    }
    PreviewContent content = PreviewContentOf(message);
    DeletePreviewFiles(message);
    PrintPreview(context.Out, content);
    return ExitOk;
}

int Delete(CliContext& context, const Options& options) {
    if (options.Positional().empty())
        throw UsageError("quarantine delete ID... [--yes]");
    std::vector<QuarantineSelection> selections = SelectQuarantined(options.Positional());
    TerminalMessageBoxes boxes(context.In, context.Err, options.Has("yes"));
    QuarantineView view;
    int before = 0, after = 0;
    for (const QuarantineSelection& selection : selections) {
        ShowSelection(view, selection);
        QuarantineIndex& items = Accounts.Item(selection.AccountIndex).Quarantine;
        before += items.Count();
        DeleteFromView(view, NoActionWindow());
        after += items.Count();
    }
    context.Out << "Deleted " << before - after << " message(s).\n";
    return ExitOk;
}

// The named messages still in the quarantine after an approve or release.
int NamedLeft(const std::vector<QuarantineSelection>& selections) {
    int left = 0;
    for (const QuarantineSelection& selection : selections) {
        QuarantineIndex& items = Accounts.Item(selection.AccountIndex).Quarantine;
        for (int id : selection.Ids)
            left += items.FindById(id) ? 1 : 0;
    }
    return left;
}

int TotalQuarantined() {
    int total = 0;
    for (int a = 0; a < Accounts.Count(); ++a)
        total += Accounts.Item(a).Quarantine.Count();
    return total;
}

// Approve or release: one action of the view over every account and category
// named, with one confirmation and one log. Done only when every named
// message left the quarantine and nothing failed on the way (approve also
// releases the senders' other messages, which do not make up for a named one).
int Release(CliContext& context, const Options& options, bool approve) {
    if (options.Positional().empty())
        throw UsageError(std::string("quarantine ") + (approve ? "approve" : "release") + " ID... [--yes]");
    std::vector<QuarantineSelection> selections = SelectQuarantined(options.Positional());
    LoadLists();
    int before = TotalQuarantined();
    bool ended = false;
    {
        TerminalSession session(context, false, options.Has("yes"));
        session.View().SetScanPageShowing(false);
        QuarantineView view;
        ended = ReleaseGroupsFromView(view, approve, NoActionWindow(), static_cast<int>(selections.size()),
                                      [&](int group) { ShowSelection(view, selections[static_cast<size_t>(group)]); });
    }
    context.Out << "Released " << before - TotalQuarantined() << " message(s) to the inbox.\n";
    if (int left = NamedLeft(selections); left > 0)
        context.Err << left << " of the named message(s) could not be released (see " << TerminalSafe(DataFolder())
                    << "/log.txt).\n";
    return ended && NamedLeft(selections) == 0 ? ExitOk : ExitFailed;
}

int Purge(CliContext& context) {
    for (int a = 0; a < Accounts.Count(); ++a) {
        int before = Accounts.Item(a).Quarantine.Count();
        PurgeOldQuarantine(a);
        context.Out << "Account " << a + 1 << ": " << before - Accounts.Item(a).Quarantine.Count()
                    << " message(s) removed, " << Accounts.Item(a).Quarantine.Count() << " kept.\n";
    }
    return ExitOk;
}

} // namespace

int QuarantineCommand(CliContext& context) {
    if (context.Arguments.empty())
        throw UsageError("quarantine list|show|approve|release|delete|purge ...");
    const std::string action = context.Arguments[0];
    std::vector<std::string> rest(context.Arguments.begin() + 1, context.Arguments.end());
    LoadQuarantine();
    if (action == "list")
        return List(context, Options(rest, {"account", "category"}, {}));
    if (action == "show")
        return Show(context, Options(rest, {}, {}));
    if (action == "delete")
        return Delete(context, Options(rest, {}, {"yes"}));
    if (action == "approve" || action == "release")
        return Release(context, Options(rest, {}, {"yes"}), action == "approve");
    if (action == "purge") {
        if (!rest.empty())
            throw UsageError("quarantine purge takes no arguments");
        return Purge(context);
    }
    throw UsageError("unknown quarantine command \"" + action + "\"");
}
