#include "import/eudora_import_wizard.h"

#include "import/eudora_location.h"
#include "import/imported_account.h"
#include "platform/paths.h"
#include "platform/wine_paths.h"
#include "records/account_editor.h"

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

EudoraImportWizard::EudoraImportWizard(AccountEditor& editor, const RegistryHive& currentUser,
                                       const RegistryHive& localMachine)
    : m_editor(editor), m_currentUser(currentUser), m_localMachine(localMachine) {}

void EudoraImportWizard::Next() {
    if (!NextEnabled || ModalResult != WizardResult::None)
        return;
    switch (Page) {
    case 0:
        Page = 1;
        BackEnabled = true;
        IniFolder = FindEudoraFolder(EudoraSettingsFile, m_currentUser, m_localMachine);
        if (IniFolder.empty())
            IniFolder = EudoraDefaultIniFolder;
        break;
    case 1:
        if (ReadPersonalities())
            Page = 2;
        break;
    case 2:
        ImportPersonalities();
        break;
    default:
        ModalResult = WizardResult::Ok;
        break;
    }
}

void EudoraImportWizard::Back() {
    if (!BackEnabled || ModalResult != WizardResult::None || Page == 0)
        return;
    --Page;
    if (Page == 0)
        BackEnabled = false;
}

void EudoraImportWizard::Cancel() {
    if (CancelEnabled && ModalResult == WizardResult::None)
        ModalResult = WizardResult::Cancel;
}

void EudoraImportWizard::FolderChosen(const std::string& folder) {
    if (!folder.empty())
        IniFolder = IncludeTrailingDelimiter(folder);
}

bool EudoraImportWizard::ReadPersonalities() {
    std::string folder = LocalFolder(IniFolder);
    if (folder.empty() || !FileExists(folder + EudoraSettingsFile))
        return false;
    AccountRows.clear();
    Personalities.clear();
    std::vector<EudoraPersonality> personalities;
    if (!ReadEudoraPersonalities(folder, personalities))
        return false;
    for (const EudoraPersonality& personality : personalities)
        AccountRows.push_back({personality.Name, personality.PopServer, personality.LoginName, true});
    Personalities = std::move(personalities);
    return true;
}

void EudoraImportWizard::ImportPersonalities() {
    Page = LastPage;
    BackEnabled = NextEnabled = CancelEnabled = false;
    const int n = static_cast<int>(
        std::count_if(AccountRows.begin(), AccountRows.end(), [](const PersonalityRow& row) { return row.Checked; }));
    Progress = {0, n, 0, 1};
    ProgressText = EudoraProgressText;
    SuccessNoteVisible = FinishNoteVisible = false;
    ImportedCountText = "0/0";
    NextCaption = "Next";
    int imported = 0;
    for (size_t i = 0; i < AccountRows.size() && i < Personalities.size(); ++i) {
        if (!AccountRows[i].Checked)
            continue;
        try {
            const EudoraPersonality& personality = Personalities[i];
            if (!ProgramHasAccount(personality.ReturnAddress, personality.PopServer, personality.LoginName)) {
                if (ImportPersonality(personality))
                    ++imported;
                ImportedCountText = std::to_string(imported) + "/" + std::to_string(n);
            }
        } catch (const std::exception&) {
            // This personality is skipped; the others still come.
        }
        Progress.Position = std::min(Progress.Position + Progress.Step, Progress.Max);
    }
    NextEnabled = true;
    ProgressText = EudoraFinishedText;
    NextCaption = "Finish";
    SuccessNoteVisible = FinishNoteVisible = true;
}

bool EudoraImportWizard::ImportPersonality(const EudoraPersonality& personality) {
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
