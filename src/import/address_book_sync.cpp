#include "import/address_book_sync.h"

#include "import/eudora_location.h"
#include "import/eudora_nicknames.h"
#include "import/outlook_automation.h"
#include "import/outlook_security_manager.h"
#include "import/windows_address_book.h"
#include "platform/event_pump.h"
#include "platform/paths.h"
#include "records/email_syntax.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "records/text_helpers.h"

#include <stdexcept>

namespace {

template <typename T> std::unique_ptr<T> Required(std::unique_ptr<T> object) {
    if (!object)
        throw std::runtime_error("Outlook returned no object.");
    return object;
}

// Adds the address when it is valid; true when it was not on the list yet.
bool Approve(const std::string& address) {
    return IsValidEmail(address) && ApprovedSenders.Add(address) >= 0;
}

// Steps 2 to 6 of the Outlook import: everything between creating the
// automation object and releasing it.
void ReadOutlookContacts(OutlookSecurityManager& manager) {
    auto application = Required(CreateAutomationObject("Outlook.Application"));
    manager.AttachApplication(*application);
    manager.SetSuppressWarnings(true);
    auto nameSpace = Required(application->GetNameSpace("MAPI"));
    auto folder = Required(nameSpace->GetDefaultFolder(OutlookContactsFolder));
    int count = Required(folder->Items())->Count();
    for (int i = 1; i <= count; ++i) {
        auto contact = Required(Required(folder->Items())->Item(i));
        // The first valid new address wins; the others are not read.
        if (Approve(contact->Email1Address()) || Approve(contact->Email2Address()) || Approve(contact->Email3Address()))
            Pump();
    }
}

// "NNdbase.txt" items are typed by people, often with a space after each
// comma; the space is no part of the address.
std::string TrimSpaces(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

int SyncAddressBooks(bool force) {
    int before = ApprovedSenders.Count();
    std::string client = LowerAscii(ProgramSettings.EmailClient);
    if (force || client.find("outlook.exe") != std::string::npos)
        ImportOutlookContacts();
    if (force || client.find("msimn.exe") != std::string::npos)
        ImportWabContacts();
    if (force || client.find("eudora.exe") != std::string::npos)
        ImportEudoraNicknames();
    int added = ApprovedSenders.Count() - before;
    SaveLists();
    return added;
}

void ImportOutlookContacts() {
    OutlookSecurityManager manager;
    try {
        ReadOutlookContacts(manager);
    } catch (...) {
        // Outlook or its security manager missing, or Outlook failing part-way:
        // what was added stays.
    }
    try {
        manager.SetSuppressWarnings(false);
    } catch (...) {
        // Nothing was switched on, or the component is gone; either way the
        // other sources must still run.
    }
}

void ImportWabContacts() {
    try {
        WindowsAddressBookReader book;
        book.UseDefaultAddressBook();
        book.Load();
        for (size_t i = 0; i < book.Contacts().size(); ++i) {
            // By position, not by display name: two contacts may share a name.
            book.ReadContactProperties(i);
            std::string address = ExtractWabEmail(JoinLines(book.Properties()));
            if (IsValidEmail(address))
                ApprovedSenders.Add(address);
            Pump();
        }
    } catch (...) {
        // No library, no address book, or a failure part-way: what was added stays.
    }
}

void ImportEudoraNicknames() {
    try {
        std::string folder = FindEudoraFolder(EudoraNicknameFile);
        if (folder.empty() || !FileExists(folder + EudoraNicknameFile))
            return;
        std::vector<EudoraNickname> nicknames;
        if (!ReadEudoraNicknames(folder, nicknames))
            return;
        for (const auto& nickname : nicknames) {
            for (const auto& item : nickname.Addresses) {
                std::string address = TrimSpaces(item);
                if (!IsValidEmail(address))
                    continue;
                ApprovedSenders.Add(address);
                Pump();
            }
        }
    } catch (...) {
        // A failure part-way: what was added stays.
    }
}

std::string ExtractWabEmail(const std::string& text) {
    // The property whose name is exactly EMAIL_ADDRESS: at the start of a
    // line, so that names merely containing it (CONTACT_EMAIL_ADDRESSES,
    // SENDER_EMAIL_ADDRESS) are passed over.
    const std::string name = "EMAIL_ADDRESS=";
    size_t position = 0;
    for (;;) {
        position = text.find(name, position);
        if (position == std::string::npos)
            return {};
        if (position == 0 || text[position - 1] == '\n')
            break;
        position += name.size();
    }
    std::string value = text.substr(position + name.size());
    return value.substr(0, value.find("\r\n"));
}
