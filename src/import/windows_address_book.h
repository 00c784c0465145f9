#pragma once

#include "import/wab_library.h"

#include <memory>
#include <string>
#include <vector>

class RegistryHive;

// Reader of the Windows Address Book. Use: UseDefaultAddressBook (or set
// the file name), Load, then ReadPropertiesOf for a contact of
// Contacts(). Raises std::runtime_error when the library is missing or the
// address book fails.
class WindowsAddressBookReader {
public:
    // Reads through the process's loaded library and HKEY_CURRENT_USER.
    WindowsAddressBookReader();
    // library may be null (no library: Load fails).
    WindowsAddressBookReader(WabLibrary* library, const RegistryHive& currentUser);
    ~WindowsAddressBookReader();
    WindowsAddressBookReader(const WindowsAddressBookReader&) = delete;
    WindowsAddressBookReader& operator=(const WindowsAddressBookReader&) = delete;

    // The WAB file to open; empty lets the library choose its default file.
    const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }
    // Display names of the mail users found by Load, in table order.
    const std::vector<std::string>& Contacts() const { return m_contacts; }
    // Properties of the contact read last: "NAME=value" lines.
    const std::vector<std::string>& Properties() const { return m_properties; }

    // FileName becomes "Wab File Name" of HKEY_CURRENT_USER
    // "\Software\Microsoft\Windows\WAB\WAB4", empty when missing. Never fails.
    void UseDefaultAddressBook();

    // Opens the address book of FileName() and lists the mail users of its
    // personal address book (distribution lists and other rows are skipped).
    void Load();

    // Reads the properties of the first contact whose display name equals
    // name without regard to case; Properties() stays empty when none does.
    void ReadPropertiesOf(const std::string& name);
    // Reads the properties of the contact at that position of Contacts(),
    // by its own entry identifier, so that contacts sharing a display name
    // are each read.
    void ReadContactProperties(size_t index);

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
