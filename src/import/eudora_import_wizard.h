#pragma once

#include "import/eudora_personalities.h"
#include "import/import_wizard_state.h"

#include <string>
#include <vector>

class AccountEditor;
class RegistryHive;

// The Eudora account-import wizard's logic, apart from any window: pages
// 0 (Welcome), 1 (EudoraIniPath: where "Eudora.ini" is), 2 (Account: the
// personalities, each checked or not) and 3 (Finish: the import). Program
// accounts are created through the account editor exactly as a user would:
// "Add Account", fill the fields, "OK"; each one is stored at once.
// Passwords are never imported.
class EudoraImportWizard {
public:
    // One row of AccountRows.
    struct PersonalityRow {
        std::string Name;
        std::string PopServer;
        std::string Login;
        bool Checked = true;
    };

    // The hives are those FindEudoraFolder searches.
    EudoraImportWizard(AccountEditor& editor, const RegistryHive& currentUser, const RegistryHive& localMachine);

    int Page = 0;
    bool BackEnabled = false;
    bool NextEnabled = true;
    bool CancelEnabled = true;
    std::string NextCaption = "Next >";
    // The folder of "Eudora.ini", ending in a delimiter: a local folder or a
    // Windows path ("C:\"), which is looked up in the Wine prefix.
    std::string IniFolder;
    std::vector<PersonalityRow> AccountRows;
    // The personalities read on page 1, one per row of AccountRows.
    std::vector<EudoraPersonality> Personalities;
    WizardProgress Progress;
    std::string ProgressText;
    std::string ImportedCountText;
    bool SuccessNoteVisible = false;
    bool FinishNoteVisible = false;
    // Set when the window is closed.
    WizardResult ModalResult = WizardResult::None;

    // "Next >": page 0 locates "Eudora.ini"; page 1 reads its personalities
    // and shows them, or stays when the file is missing or unreadable;
    // page 2 imports the checked ones; page 3 closes with the OK result.
    void Next();
    void Back();
    void Cancel();
    // The folder picked with "Browse...": shown with a trailing delimiter.
    void FolderChosen(const std::string& folder);

private:
    bool ReadPersonalities();
    void ImportPersonalities();
    // Adds one account; true when it was stored.
    bool ImportPersonality(const EudoraPersonality& personality);

    AccountEditor& m_editor;
    const RegistryHive& m_currentUser;
    const RegistryHive& m_localMachine;
};

inline constexpr char EudoraDefaultIniFolder[] = "C:\\";
inline constexpr char EudoraProgressText[] = "Processing accounts, please wait...";
inline constexpr char EudoraFinishedText[] = "Finished!";
inline constexpr char EudoraSuccessText[] = "The accounts have been imported successfully.  Please remember to "
                                            "enter the password for each account you have just imported.";
inline constexpr char EudoraFinishText[] = "Press Finish to close this wizard.";
inline constexpr char EudoraBrowseTitle[] = "Please, specify path to folder with Eudora config file. (Eudora.ini)";
