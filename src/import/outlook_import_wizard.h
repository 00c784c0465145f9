#pragma once

#include "import/import_wizard_state.h"
#include "import/outlook_accounts.h"

#include <string>

class AccountEditor;
class RegistryHive;

// The import wizard's logic, apart from any window: pages 0 (Welcome),
// 1 (Outlook: the client choice Info), 2 (Account: the choice Accounts) and
// 3 (Finish). Program accounts are created through the account editor
// exactly as a user would: "Add Account", fill the fields, "OK"; each one is
// stored at once.
class OutlookImportWizard {
public:
    enum class Source { Outlook, OutlookExpress };
    enum class AccountSelection { OnlyDefault, AllExisting };
    OutlookImportWizard(AccountEditor& editor, const RegistryHive& currentUser);

    Source Info = Source::Outlook;
    AccountSelection Accounts = AccountSelection::AllExisting;

    // The page control and the state of the controls.
    int Page = 0;
    bool BackEnabled = false;
    bool NextEnabled = true;
    bool CancelEnabled = true;
    std::string NextCaption = "Next >";
    WizardProgress Progress;
    std::string ProgressText = "Importing accounts, please wait...";
    std::string ImportedCountText = "0";
    bool SuccessNoteVisible = false;
    // Set when the window is closed.
    WizardResult ModalResult = WizardResult::None;

    // "Next >": the next page; arriving at page 3 runs ImportAccounts. On
    // the last page it closes the window with the OK result.
    void Next();
    // "< Back": the previous page.
    void Back();
    // "Cancel": closes the window.
    void Cancel();

    // Gathers the accounts of the chosen client, leaves out those the
    // program has (and, with OnlyDefault, all but the default one) and
    // imports the rest. An unexpected failure ends it silently; the accounts
    // created so far stay.
    void ImportAccounts();
    // Creates one program account from the item; false when it could not be
    // stored.
    bool ImportAccount(const OutlookAccount& item);

private:
    AccountEditor& m_editor;
    const RegistryHive& m_currentUser;
};

inline constexpr int OutlookWizardLastPage = 3;
inline constexpr char OutlookWizardFinishedText[] = "Finished!";
inline constexpr char OutlookWizardSuccessText[] =
    "The accounts have been imported successfully.  Please remember to enter the necessary password for each "
    "account you have just imported.";
