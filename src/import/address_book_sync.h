#pragma once

#include <string>

// Address-book import: copies the e-mail addresses of Outlook's contacts
// folder, the Windows Address Book and Eudora's nicknames into the approved
// senders (ApprovedSenders). It only adds: no entry is removed, and an address
// already on the list in any letter case is not added again. Every address
// goes through IsValidEmail and ApprovedSenders.Add. Sources let pending window
// messages run (Pump) while they work.

// Reads the sources that force selects (all three), or else those the mail
// client's command line (ProgramSettings.EmailClient, any letter case) names:
// "outlook.exe" Outlook's contacts, "msimn.exe" the Windows Address Book,
// "eudora.exe" Eudora's nicknames. Then, in every case, SaveLists. Returns
// how many approved senders were added. A source that is missing or fails
// adds nothing more and says nothing; only an error of SaveLists (a list
// file that cannot be written) is thrown, as std::runtime_error.
int SyncAddressBooks(bool force);

// The three sources. None of them throws.
void ImportOutlookContacts();
void ImportWabContacts();
void ImportEudoraNicknames();

// The value of the "EMAIL_ADDRESS" property in the properties text of one
// contact ("NAME=value" lines ended by CR LF), or "" when it has none.
std::string ExtractWabEmail(const std::string& text);
