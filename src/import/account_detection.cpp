#include "import/account_detection.h"

#include "import/eudora_import_wizard.h"
#include "import/outlook_import_wizard.h"
#include "platform/registry_hive.h"

namespace {

// Page 0 to 1, 2, 3 (the import) and the close.
constexpr int NextPresses = 4;

void RunOutlookWizard(AccountEditor& editor, const RegistryHive& currentUser, OutlookImportWizard::Source client) {
    OutlookImportWizard wizard(editor, currentUser);
    wizard.Page = 0;
    wizard.Accounts = OutlookImportWizard::AccountSelection::AllExisting;
    wizard.Info = client;
    for (int i = 0; i < NextPresses; ++i)
        wizard.Next();
}

} // namespace

void DetectAccounts(AccountEditor& editor, const RegistryHive& currentUser, const RegistryHive& localMachine) {
    RunOutlookWizard(editor, currentUser, OutlookImportWizard::Source::Outlook);
    RunOutlookWizard(editor, currentUser, OutlookImportWizard::Source::OutlookExpress);
    EudoraImportWizard eudora(editor, currentUser, localMachine);
    eudora.Page = 0;
    for (int i = 0; i < NextPresses; ++i)
        eudora.Next();
}

void DetectAccounts(AccountEditor& editor) {
    DetectAccounts(editor, CurrentUserHive(), LocalMachineHive());
}
