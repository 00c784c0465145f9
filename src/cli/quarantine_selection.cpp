#include "cli/quarantine_selection.h"

#include "challenge/quarantine_view.h"
#include "cli/cli_context.h"
#include "cli/options.h"
#include "cli/stored_state.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace {

struct Found {
    int AccountIndex = -1;
    const QuarantineEntry* Item = nullptr;
};

// "{GUID}.dat", "{GUID}" and "GUID" all name the file "{GUID}.dat".
std::string CanonicalFileName(std::string name) {
    name = UpperAscii(name);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".DAT") == 0)
        name.erase(name.size() - 4);
    if (name.size() >= 2 && name.front() == '{' && name.back() == '}')
        name = name.substr(1, name.size() - 2);
    return name;
}

Found FindByName(const std::string& name) {
    std::optional<int> id = ParseInteger(name);
    std::string fileName = CanonicalFileName(name);
    for (int a = 0; a < Accounts.Count(); ++a) {
        const QuarantineIndex& items = Accounts.Item(a).Quarantine;
        for (int i = 0; i < items.Count(); ++i) {
            const QuarantineEntry& item = items.Item(i);
            if ((id && item.Id == *id) || (!id && CanonicalFileName(item.FileName) == fileName))
                return {a, &item};
        }
    }
    throw UsageError("no quarantined message \"" + name + "\" (see quorvane quarantine list)");
}

} // namespace

void LoadQuarantine() {
    LoadStoredAccounts();
    for (int a = 0; a < Accounts.Count(); ++a) {
        Account& account = Accounts.Item(a);
        if (!LoadIndex(account))
            throw std::runtime_error("The quarantine index of " + account.EmailAddress + " cannot be read.");
    }
}

std::vector<QuarantineSelection> SelectQuarantined(const std::vector<std::string>& names) {
    std::vector<QuarantineSelection> selections;
    std::set<int> seen;
    for (const std::string& name : names) {
        Found found = FindByName(name);
        if (!seen.insert(found.Item->Id).second)
            continue;
        auto group = std::find_if(selections.begin(), selections.end(), [&](const QuarantineSelection& s) {
            return s.AccountIndex == found.AccountIndex && s.Category == found.Item->Category;
        });
        if (group == selections.end())
            group = selections.insert(selections.end(), {found.AccountIndex, found.Item->Category, {}});
        group->Ids.push_back(found.Item->Id);
    }
    return selections;
}

void ShowSelection(QuarantineView& view, const QuarantineSelection& selection) {
    view.SetCurrentAccount(selection.AccountIndex);
    view.SetCurrentCategory(selection.Category);
    const std::vector<QuarantineRow>& rows = view.Rows();
    for (size_t row = 0; row < rows.size(); ++row) {
        if (std::find(selection.Ids.begin(), selection.Ids.end(), rows[row].Id) != selection.Ids.end())
            view.Select(static_cast<int>(row));
    }
}
