#pragma once

class AccountEditor;
class RegistryHive;

// The account detection of the first run and of "Detect Accounts": the
// Outlook, Outlook Express and Eudora import wizards, each run unseen from
// page 0 by pressing "Next" four times. Every candidate is compared with the
// program's accounts as they are at that moment and every imported account
// is stored at once, so an account both Outlook and Outlook Express know is
// created once, from Outlook, and a second detection creates nothing new.
// Passwords are never detected. Never throws for what it finds in the
// registry or in "Eudora.ini".

// Over the given HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE hives (the latter
// only helps to find Eudora's folder).
void DetectAccounts(AccountEditor& editor, const RegistryHive& currentUser, const RegistryHive& localMachine);
// Over the Wine prefix's hives (CurrentUserHive, LocalMachineHive).
void DetectAccounts(AccountEditor& editor);

// What "Detect Accounts" tells the user afterwards, titled "Notice".
inline constexpr char DetectNoticeTitle[] = "Notice";
inline constexpr char DetectNoNewAccountsText[] = "Quorvane could not detect any new email accounts.";
inline constexpr char DetectNewAccountsText[] =
    "Quorvane has detected new email account(s).  For security considerations, Quorvane does not detect your "
    "email account password.  You must enter your email account password now, please click OK to continue.";
