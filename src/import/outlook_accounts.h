#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AccountEditor;
class RegistryHive;

// The mail accounts Outlook and Outlook Express keep in the current user's
// registry, and the wizard that makes program accounts of those the program
// does not have yet. Passwords are never read: every imported account gets
// empty password fields.

// One account as read from a client.
struct OutlookAccount {
    uint8_t AccountType = 0; // 0 POP3, 1 IMAP4, 2 HTTPmail (Hotmail)
    std::string Login;
    std::string Server; // for HTTPmail the server's URL
    std::string SMTPServer;
    std::string EmailAddress;
    uint16_t Port = 110;
    uint16_t SMTPPort = 25;
    bool IsDefault = false;  // the client's default mail account
    bool IsExisting = false; // copy of an account the program already has
    std::string DisplayName;
    bool SMTPAuth = false;
    std::string SMTPLogin;
    std::string SMTPPassword; // only copies of program accounts carry one
    std::string ReplyAddress;
};

// The accounts of one import run. The readers append what they find in the
// HKEY_CURRENT_USER hive given to them; an account equal to one already held
// (FindDuplicate) or without user name or server is left out. A reader
// returns true when it got through the client's settings (also when they
// held no account or the client is not installed below its client key) and
// false when it had to stop early; what it appended stays. Text is stored as
// UTF-8. Never throw on bad registry data.
class OutlookAccountReader {
public:
    OutlookAccountReader();

    // Whether the system belongs to the Windows NT family: it chooses the
    // path of the Outlook mail profile. Wine reports the NT platform.
    bool WindowsNT;
    std::vector<OutlookAccount> Items;

    // Outlook's Internet-mail-only accounts ("OMI Account Manager").
    bool ReadOmiAccounts(const RegistryHive& currentUser);
    // The accounts of Outlook's mail profile named Outlook.
    bool ReadOutlookProfileAccounts(const RegistryHive& currentUser);
    // Outlook Express's accounts ("Internet Account Manager").
    bool ReadOutlookExpressAccounts(const RegistryHive& currentUser);

    // Index of the first item whose EmailAddress, Server and Login equal the
    // item's, without regard to ASCII letter case; -1 when none does.
    int FindDuplicate(const OutlookAccount& item) const;
};

// The import wizard's logic, apart from any window: pages 0 (Welcome),
// 1 (Outlook: the client choice Info), 2 (Account: the choice Accounts) and
// 3 (Finish). Program accounts are created through the account editor
// exactly as a user would: "Add Account", fill the fields, "OK"; each one is
// stored at once.
class OutlookImportWizard {
public:
    enum class Source { Outlook, OutlookExpress };
    enum class AccountSelection { OnlyDefault, AllExisting };
    enum class WizardResult { None, Ok, Cancel };

    struct WizardProgress {
        int Min = 0;
        int Max = 100;
        int Position = 0;
        int Step = 10;
    };

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
