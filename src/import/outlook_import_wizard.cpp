#include "import/outlook_import_wizard.h"

#include "import/imported_account.h"
#include "platform/event_pump.h"
#include "records/account.h"
#include "records/account_editor.h"

#include <algorithm>
#include <exception>

OutlookImportWizard::OutlookImportWizard(AccountEditor& editor, const RegistryHive& currentUser)
    : m_editor(editor), m_currentUser(currentUser) {}

void OutlookImportWizard::Next() {
    if (!NextEnabled || ModalResult != WizardResult::None)
        return;
    if (Page == OutlookWizardLastPage) {
        ModalResult = WizardResult::Ok;
        return;
    }
    ++Page;
    if (Page == 2)
        BackEnabled = true;
    if (Page == OutlookWizardLastPage) {
        NextEnabled = BackEnabled = CancelEnabled = false;
        ImportAccounts();
        ProgressText = OutlookWizardFinishedText;
        NextCaption = "Finish";
        NextEnabled = true;
        SuccessNoteVisible = true;
    }
}

void OutlookImportWizard::Back() {
    if (!BackEnabled || ModalResult != WizardResult::None || Page == 0)
        return;
    --Page;
    if (Page == 0)
        BackEnabled = false;
}

void OutlookImportWizard::Cancel() {
    if (CancelEnabled && ModalResult == WizardResult::None)
        ModalResult = WizardResult::Cancel;
}

void OutlookImportWizard::ImportAccounts() {
    try {
        OutlookAccountReader found;
        for (int i = 0; i < ::Accounts.Count(); ++i) {
            const Account& account = ::Accounts.Item(i);
            OutlookAccount item;
            item.IsExisting = true;
            item.Login = account.Login;
            item.Server = account.Server;
            item.Port = static_cast<uint16_t>(account.Port);
            item.SMTPServer = account.SMTPServer;
            item.EmailAddress = account.EmailAddress;
            item.SMTPPort = static_cast<uint16_t>(account.SMTPPort);
            item.ReplyAddress = account.ReplyAddress;
            item.DisplayName = account.DisplayName;
            item.SMTPLogin = account.SMTPLogin;
            item.SMTPPassword = account.SMTPPassword;
            found.Items.push_back(item);
        }
        if (Info == Source::Outlook) {
            found.ReadOmiAccounts(m_currentUser);
            found.ReadOutlookProfileAccounts(m_currentUser);
        } else {
            found.ReadOutlookExpressAccounts(m_currentUser);
        }
        bool onlyDefault = Accounts == AccountSelection::OnlyDefault;
        std::erase_if(found.Items, [onlyDefault](const OutlookAccount& item) {
            return item.IsExisting || (onlyDefault && !item.IsDefault);
        });
        Progress.Min = 0;
        Progress.Position = 0;
        Progress.Step = 1;
        ImportedCountText = "0";
        int count = 0;
        for (const OutlookAccount& item : found.Items) {
            if (!ImportAccount(item))
                continue;
            Progress.Position = std::min(Progress.Position + Progress.Step, Progress.Max);
            ImportedCountText = std::to_string(++count);
            Pump();
        }
        Progress.Position = Progress.Max;
    } catch (const std::exception&) {
        // The import ends quietly; the detection tells the user what came of it.
    }
}

bool OutlookImportWizard::ImportAccount(const OutlookAccount& item) {
    if (::Accounts.Count() == 0)
        m_editor.EditorModified = false;
    m_editor.AddAccount();
    AccountEditorFields& fields = m_editor.Fields;
    fields.Server = item.Server;
    fields.SMTPServer = item.SMTPServer;
    fields.Port = std::to_string(item.Port);
    fields.SMTPPort = std::to_string(item.SMTPPort);
    fields.EmailAddress = item.EmailAddress;
    fields.Login = item.Login;
    fields.Password.clear();
    fields.DisplayName = item.DisplayName;
    fields.ReplyAddress = item.ReplyAddress;
    m_editor.FieldChanged();
    if (item.SMTPAuth) {
        fields.SMTPAuth = true;
        m_editor.FieldChanged();
        fields.SMTPLogin = item.SMTPLogin;
        fields.SMTPPassword.clear();
        fields.SMTPSameAsIncoming = fields.SMTPLogin.empty();
        m_editor.FieldChanged();
    }
    return CommitImportedAccount(m_editor);
}
