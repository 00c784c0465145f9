#include "import/uEudoraSettings.h"

#include "import/imported_account.h"
#include "platform/paths.h"
#include "platform/wine_paths.h"
#include "records/account_editor.h"
#include "records/uObjects.h"

#include <algorithm>
#include <exception>

namespace {

constexpr int LastPage = 3;

// The local folder a shown path names, ending in "/"; "" when it names none.
std::string LocalFolder(const std::string& shown) {
    std::string folder = IsWindowsDrivePath(shown) ? MapWindowsPath(shown) : shown;
    return folder.empty() ? folder : IncludeTrailingDelimiter(folder);
}

} // namespace

TEudoraWizardForm::TEudoraWizardForm(AccountEditor& editor, const RegistryHive& currentUser,
                                     const RegistryHive& localMachine)
    : m_editor(editor), m_currentUser(currentUser), m_localMachine(localMachine) {}

void TEudoraWizardForm::btnNextClick() {
    if (!NextEnabled || ModalResult != TModalResult::None)
        return;
    switch (Page) {
    case 0:
        Page = 1;
        BackEnabled = true;
        ledtEudoraIniPath = FindEudoraFolder(EudoraSettingsFile, m_currentUser, m_localMachine);
        if (ledtEudoraIniPath.empty())
            ledtEudoraIniPath = EudoraDefaultIniFolder;
        break;
    case 1:
        if (ReadPersonalities())
            Page = 2;
        break;
    case 2:
        ImportPersonalities();
        break;
    default:
        ModalResult = TModalResult::Ok;
        break;
    }
}

void TEudoraWizardForm::btnBackClick() {
    if (!BackEnabled || ModalResult != TModalResult::None || Page == 0)
        return;
    --Page;
    if (Page == 0)
        BackEnabled = false;
}

void TEudoraWizardForm::btnCancelClick() {
    if (CancelEnabled && ModalResult == TModalResult::None)
        ModalResult = TModalResult::Cancel;
}

void TEudoraWizardForm::FolderChosen(const std::string& folder) {
    if (!folder.empty())
        ledtEudoraIniPath = IncludeTrailingDelimiter(folder);
}

bool TEudoraWizardForm::ReadPersonalities() {
    std::string folder = LocalFolder(ledtEudoraIniPath);
    if (folder.empty() || !FileExists(folder + EudoraSettingsFile))
        return false;
    lvAccounts.clear();
    Personalities.clear();
    std::vector<TEudoraPersonality> personalities;
    if (!ReadEudoraPersonalities(folder, personalities))
        return false;
    for (const TEudoraPersonality& personality : personalities)
        lvAccounts.push_back({personality.Name, personality.PopServer, personality.LoginName, true});
    Personalities = std::move(personalities);
    return true;
}

void TEudoraWizardForm::ImportPersonalities() {
    Page = LastPage;
    BackEnabled = NextEnabled = CancelEnabled = false;
    const int n = static_cast<int>(
        std::count_if(lvAccounts.begin(), lvAccounts.end(), [](const TAccountRow& row) { return row.Checked; }));
    PBar = {0, n, 0, 1, true};
    lblProgressDescr = EudoraProgressText;
    lblSuccessDescrVisible = lblFinishDescrVisible = false;
    lblCountImported = "0/0";
    NextCaption = "Next";
    int imported = 0;
    for (size_t i = 0; i < lvAccounts.size() && i < Personalities.size(); ++i) {
        if (!lvAccounts[i].Checked)
            continue;
        try {
            const TEudoraPersonality& personality = Personalities[i];
            if (!ProgramHasAccount(personality.ReturnAddress, personality.PopServer, personality.LoginName)) {
                if (ImportPersonality(personality))
                    ++imported;
                lblCountImported = std::to_string(imported) + "/" + std::to_string(n);
            }
        } catch (const std::exception&) {
            // This personality is skipped; the others still come.
        }
        PBar.Position = std::min(PBar.Position + PBar.Step, PBar.Max);
    }
    NextEnabled = true;
    lblProgressDescr = EudoraFinishedText;
    NextCaption = "Finish";
    lblSuccessDescrVisible = lblFinishDescrVisible = true;
}

bool TEudoraWizardForm::ImportPersonality(const TEudoraPersonality& personality) {
    // Unsaved edits of the account on display are dropped, but a new
    // account still waiting for "OK" is stored first: dropping only its
    // flag would leave an unsaved record among the accounts.
    if (!m_editor.NewAccountPending)
        m_editor.EditorModified = false;
    m_editor.AddAccount();
    AccountEditorFields& fields = m_editor.Fields;
    fields.DisplayName = personality.RealName;
    fields.Server = personality.PopServer;
    fields.Port = "110";
    fields.SMTPServer = personality.SMTPServer;
    fields.SMTPPort = "25";
    fields.EmailAddress = personality.ReturnAddress;
    fields.Login = personality.LoginName;
    fields.Password.clear();
    m_editor.FieldChanged();
    if (personality.SmtpAuthAllowed) {
        fields.SMTPAuth = true;
        m_editor.FieldChanged();
        fields.SMTPSameAsIncoming = true;
        m_editor.FieldChanged();
        fields.SMTPLogin.clear();
        fields.SMTPPassword.clear();
    }
    return CommitImportedAccount(m_editor);
}
