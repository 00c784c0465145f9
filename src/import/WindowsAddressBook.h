#pragma once

#include "import/wab_library.h"

#include <memory>
#include <string>
#include <vector>

class RegistryHive;

// Reader of the Windows Address Book. Use: setToDefaultAddressBook (or set
// the file name), loadFile, then getPropertiesOf for a contact of
// contacts(). Raises std::runtime_error when the library is missing or the
// address book fails.
class TWinAddressBook {
public:
    // Reads through the process's loaded library and HKEY_CURRENT_USER.
    TWinAddressBook();
    // library may be null (no library: loadFile fails).
    TWinAddressBook(WabLibrary* library, const RegistryHive& currentUser);
    ~TWinAddressBook();
    TWinAddressBook(const TWinAddressBook&) = delete;
    TWinAddressBook& operator=(const TWinAddressBook&) = delete;

    // The WAB file to open; empty lets the library choose its default file.
    const std::string& fileName() const { return m_fileName; }
    void setFileName(std::string fileName) { m_fileName = std::move(fileName); }
    // Display names of the mail users found by loadFile, in table order.
    const std::vector<std::string>& contacts() const { return m_contacts; }
    // Properties of the contact read last: "NAME=value" lines.
    const std::vector<std::string>& properties() const { return m_properties; }

    // fileName becomes "Wab File Name" of HKEY_CURRENT_USER
    // "\Software\Microsoft\Windows\WAB\WAB4", empty when missing. Never fails.
    void setToDefaultAddressBook();

    // Opens the address book of fileName and lists the mail users of its
    // personal address book (distribution lists and other rows are skipped).
    void loadFile();

    // Reads the properties of the first contact whose display name equals
    // name without regard to case; properties stays empty when none does.
    void getPropertiesOf(const std::string& name);
    // Reads the properties of the contact at that position of contacts(),
    // by its own entry identifier, so that contacts sharing a display name
    // are each read.
    void getPropertiesOfContact(size_t index);

private:
    void ReadProperties(const std::string& entryId);

    WabLibrary* m_library;
    const RegistryHive& m_currentUser;
    std::string m_fileName;
    std::vector<std::string> m_contacts;
    std::vector<std::string> m_entryIds; // one per entry of m_contacts
    std::vector<std::string> m_properties;
    std::unique_ptr<WabAddressBook> m_addressBook;
};
