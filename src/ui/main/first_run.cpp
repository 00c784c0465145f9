#include "ui/main/first_run.h"

#include "import/address_book_sync.h"
#include "platform/message_box.h"
#include "records/sender_lists.h"
#include "ui/help/help.h"
#include "ui/main/main_window.h"
#include "ui/pages/settings_page.h"
#include "ui/settings/account_editor_page.h"
#include "ui/shell/busy_cursor.h"
#include "ui/shell/tray_icon.h"
#include "ui/welcome/welcome_dialog.h"

#include <QTimer>

#include <exception>

FirstRunSetup::FirstRunSetup(MainWindow& window) : QObject(&window), m_window(window) {}

void FirstRunSetup::ShowWelcomeSoon() {
    if (m_pending && !m_welcomeOpen)
        QTimer::singleShot(0, this, &FirstRunSetup::ShowWelcome);
}

void FirstRunSetup::ShowWelcome() {
    if (!m_pending || m_welcomeOpen || !m_window.isVisible())
        return;
    m_welcomeOpen = true;
    m_window.Tray()->SetReactive(false);
    RunWelcome([this] { RunSetup(); }, &m_window);
    m_window.Tray()->SetReactive(true);
    m_welcomeOpen = false;
}

void FirstRunSetup::RunSetup() {
    BusyCursorSwitch busy;
    busy.Set(true);
    try {
        SyncAddressBooks(true);
    } catch (const std::exception& error) {
        ShowMessageBox(error.what(), "Error", MsgButtons::Ok, MsgIcon::Error);
    }
    m_window.ShowSettingsPage();
    m_window.Settings().SelectTab(SettingsPage::Tab::EmailAccounts);
    AccountEditorPage& editor = m_window.Settings().AccountEditor();
    bool found = editor.DetectForFirstRun();
    busy.Set(false);
    if (!found) {
        ShowMessageBox("Unfortunately Quorvane was unable to detect your email account settings.  This may be because "
                       "you are using a different email client than Microsoft Outlook Express, Microsoft Outlook, or "
                       "Eudora.  You must now manually configure your email account settings, please click OK to "
                       "continue.",
                       "", MsgButtons::Ok, MsgIcon::Information);
        editor.AddAccount();
        return;
    }
    ShowMessageBox("Quorvane has sucessfully detected your email account settings.  For security considerations, "
                   "Quorvane does not detect your email account password.  You must now enter your password, please "
                   "click OK to continue.",
                   "", MsgButtons::Ok, MsgIcon::Information);
    editor.ShowAccount(1);
    editor.AskForPassword();
}

void FirstRunSetup::Complete() {
    if (ApprovedSenders.Count() == 0)
        ShowMessageBox("Your approved list is empty.  This may be because you have an empty address book, or you are "
                       "using a different email client than Microsoft Outlook Express, Microsoft Outlook, or "
                       "Eudora.\r\n\r\nIf this is the case, you can manually setup your approved list by exporting "
                       "your address book to a text file, and then importing it into your approved list.  Or you can "
                       "manually enter in email addresses into your approved list.\r\n\r\nPlease click OK to "
                       "continue.",
                       "Notice", MsgButtons::Ok, MsgIcon::Warning);
    ShowMessageBox("Congratulations, setup has completed and Quorvane is now ready to protect you from spam.\r\n\r\n"
                   "Please click OK to finish, and to view the Getting Started Guide.",
                   "Setup Complete", MsgButtons::Ok, MsgIcon::Information);
    OpenHelpTopicQuietly(GettingStartedTopic);
    m_pending = false;
    m_window.HideMainWindow();
    m_window.Tray()->ShowOpenEmailNotice();
}
