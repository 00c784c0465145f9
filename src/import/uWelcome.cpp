#include "import/uWelcome.h"

#include "import/uEudoraSettings.h"
#include "import/uOutlook.h"
#include "platform/registry_hive.h"

namespace {

// Page 0 to 1, 2, 3 (the import) and the close.
constexpr int NextPresses = 4;

void RunOutlookWizard(AccountEditor& editor, const RegistryHive& currentUser, TOutlookWizardForm::TInfo client) {
    TOutlookWizardForm wizard(editor, currentUser);
    wizard.Page = 0;
    wizard.Accounts = TOutlookWizardForm::TAccountsChoice::AllExisting;
    wizard.Info = client;
    for (int i = 0; i < NextPresses; ++i)
        wizard.btnNextClick();
}

} // namespace

void DetectAccounts(AccountEditor& editor, const RegistryHive& currentUser, const RegistryHive& localMachine) {
    RunOutlookWizard(editor, currentUser, TOutlookWizardForm::TInfo::Outlook);
    RunOutlookWizard(editor, currentUser, TOutlookWizardForm::TInfo::OutlookExpress);
    TEudoraWizardForm eudora(editor, currentUser, localMachine);
    eudora.Page = 0;
    for (int i = 0; i < NextPresses; ++i)
        eudora.btnNextClick();
}

void DetectAccounts(AccountEditor& editor) {
    DetectAccounts(editor, CurrentUserHive(), LocalMachineHive());
}
