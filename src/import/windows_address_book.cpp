#include "import/windows_address_book.h"

#include "platform/registry_hive.h"
#include "records/text_helpers.h"

#include <stdexcept>

namespace {

// Positions of the columns set on the contents table.
enum Column { DisplayNameColumn, EmailAddressColumn, HomePageColumn, EntryIdColumn, ObjectTypeColumn, ColumnCount };

const std::vector<uint32_t>& ContentsColumns() {
    static const std::vector<uint32_t> columns{PR_DISPLAY_NAME, PR_EMAIL_ADDRESS, PR_PERSONAL_HOME_PAGE, PR_ENTRYID,
                                               PR_OBJECT_TYPE};
    return columns;
}

template <typename T> std::unique_ptr<T> Required(std::unique_ptr<T> object, const char* what) {
    if (!object)
        throw std::runtime_error(std::string("The address book gave no ") + what + ".");
    return object;
}

bool IsMailUserRow(const WabRow& row) {
    if (row.size() < ColumnCount)
        return false;
    const auto& type = row[ObjectTypeColumn];
    return type.Tag == PR_OBJECT_TYPE && type.Long == MAPI_MAILUSER;
}

std::string TextColumn(const WabRow& row, Column column) {
    return PropertyType(row[column].Tag) == PT_STRING8 ? row[column].Bytes : std::string();
}

} // namespace

WindowsAddressBookReader::WindowsAddressBookReader()
    : WindowsAddressBookReader(LoadedWabLibrary(), CurrentUserHive()) {}

WindowsAddressBookReader::WindowsAddressBookReader(WabLibrary* library, const RegistryHive& currentUser)
    : m_library(library), m_currentUser(currentUser) {}

WindowsAddressBookReader::~WindowsAddressBookReader() = default;

void WindowsAddressBookReader::UseDefaultAddressBook() {
    m_fileName.clear();
    if (const RegistryKey* key = m_currentUser.OpenKey("\\Software\\Microsoft\\Windows\\WAB\\WAB4"))
        m_fileName = key->ReadString("Wab File Name").value_or("");
}

void WindowsAddressBookReader::Load() {
    if (!m_library)
        throw std::runtime_error("The Windows Address Book library is not loaded.");
    WabParameters parameters;
    parameters.FileName = m_fileName;
    m_addressBook = Required(m_library->Open(parameters), "address book");

    std::string pab = m_addressBook->GetPAB();
    auto container = Required(m_addressBook->OpenContainer(pab), "personal address book");
    auto table = Required(container->GetContentsTable(0), "contents table");
    table->SetColumns(ContentsColumns());
    table->SeekToBeginning();

    m_contacts.clear();
    m_entryIds.clear();
    for (;;) {
        std::vector<WabRow> rows = table->QueryRows(1);
        if (rows.empty())
            break;
        for (const auto& row : rows) {
            if (!IsMailUserRow(row))
                continue;
            m_entryIds.push_back(row[EntryIdColumn].Bytes);
            m_contacts.push_back(TextColumn(row, DisplayNameColumn));
        }
    }
}

void WindowsAddressBookReader::ReadPropertiesOf(const std::string& name) {
    m_properties.clear();
    for (size_t i = 0; i < m_contacts.size(); ++i) {
        if (SameText(m_contacts[i], name)) {
            ReadProperties(m_entryIds[i]);
            return;
        }
    }
}

void WindowsAddressBookReader::ReadContactProperties(size_t index) {
    m_properties.clear();
    if (index < m_entryIds.size())
        ReadProperties(m_entryIds[index]);
}

void WindowsAddressBookReader::ReadProperties(const std::string& entryId) {
    if (!m_addressBook)
        throw std::runtime_error("The address book is not open.");
    auto user = Required(m_addressBook->OpenMailUser(entryId), "contact");
    for (const auto& property : user->GetProps())
        m_properties.push_back(MapiPropertyName(property.Tag) + "=" + MapiPropertyValueText(property));
}
