#pragma once

// Stand-ins for the components the address-book import talks to: Outlook's
// automation object, the Outlook Security Manager and the Windows Address
// Book library. Each records its calls, in order, into one shared log.

#include "import/outlook_automation.h"
#include "import/outlook_security_manager.h"
#include "import/wab_library.h"

#include <array>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using CallLog = std::vector<std::string>;

// ---------------------------------------------------------------- Outlook

struct OutlookScript {
    CallLog* Log = nullptr;
    std::vector<std::array<std::string, 3>> Contacts; // Email1..3Address
    int FailAtItem = 0;                               // Item(i) throws for this i
    void Record(const std::string& call) const { Log->push_back(call); }
};

class FakeContact : public OutlookContactItem {
public:
    FakeContact(const OutlookScript& script, int index) : m_script(script), m_index(index) {}
    std::string Email1Address() override { return Read(1); }
    std::string Email2Address() override { return Read(2); }
    std::string Email3Address() override { return Read(3); }

private:
    std::string Read(int n) {
        m_script.Record("Item(" + std::to_string(m_index) + ").Email" + std::to_string(n) + "Address");
        return m_script.Contacts[static_cast<size_t>(m_index - 1)][static_cast<size_t>(n - 1)];
    }
    const OutlookScript& m_script;
    int m_index;
};

class FakeItems : public OutlookItems {
public:
    explicit FakeItems(const OutlookScript& script) : m_script(script) {}
    int Count() override {
        m_script.Record("Count");
        return static_cast<int>(m_script.Contacts.size());
    }
    std::unique_ptr<OutlookContactItem> Item(int index) override {
        m_script.Record("Item(" + std::to_string(index) + ")");
        if (index == m_script.FailAtItem)
            throw std::runtime_error("The operation failed.");
        return std::make_unique<FakeContact>(m_script, index);
    }

private:
    const OutlookScript& m_script;
};

class FakeFolder : public OutlookFolder {
public:
    explicit FakeFolder(const OutlookScript& script) : m_script(script) {}
    std::unique_ptr<OutlookItems> Items() override {
        m_script.Record("Items");
        return std::make_unique<FakeItems>(m_script);
    }

private:
    const OutlookScript& m_script;
};

class FakeNameSpace : public OutlookNameSpace {
public:
    explicit FakeNameSpace(const OutlookScript& script) : m_script(script) {}
    std::unique_ptr<OutlookFolder> GetDefaultFolder(int folderType) override {
        m_script.Record("GetDefaultFolder(" + std::to_string(folderType) + ")");
        if (folderType != OutlookContactsFolder)
            throw std::runtime_error("not the contacts folder");
        return std::make_unique<FakeFolder>(m_script);
    }

private:
    const OutlookScript& m_script;
};

class FakeOutlook : public OutlookApplication {
public:
    explicit FakeOutlook(const OutlookScript& script) : m_script(script) {}
    ~FakeOutlook() override { m_script.Record("Release Outlook.Application"); }
    std::unique_ptr<OutlookNameSpace> GetNameSpace(const std::string& type) override {
        m_script.Record("GetNameSpace(" + type + ")");
        if (type != "MAPI")
            throw std::runtime_error("unknown name space");
        return std::make_unique<FakeNameSpace>(m_script);
    }

private:
    const OutlookScript& m_script;
};

// Makes CreateAutomationObject create a FakeOutlook for "Outlook.Application".
inline void InstallOutlook(const OutlookScript& script) {
    SetAutomationObjectFactory([&script](const std::string& id) -> std::unique_ptr<OutlookApplication> {
        script.Record("Create " + id);
        if (id != "Outlook.Application")
            return nullptr;
        return std::make_unique<FakeOutlook>(script);
    });
}

// ---------------------------------------------------------------- Security manager

struct SecurityScript {
    CallLog* Log = nullptr;
    bool Available = true;              // the class can be created
    bool AvailableAfterRegister = true; // ... after "secman.dll" was registered
    bool RegisterThrows = false;
    int State = 0; // what the first method reports
    void Record(const std::string& call) const { Log->push_back(call); }
};

class FakeSecurityComponent : public SecurityManagerComponent {
public:
    explicit FakeSecurityComponent(const SecurityScript& script) : m_script(script) {}
    ~FakeSecurityComponent() override { m_script.Record("Release manager"); }
    int ReadState(int kind) override {
        m_script.Record("ReadState(" + std::to_string(kind) + ")");
        return m_script.State;
    }
    void WriteSuppression(int kind, bool on) override {
        m_script.Record("WriteSuppression(" + std::to_string(kind) + "," + (on ? "on" : "off") + ")");
    }
    void ConnectTo(OutlookApplication&) override { m_script.Record("ConnectTo"); }

private:
    const SecurityScript& m_script;
};

class FakeSecurityHost : public SecurityManagerHost {
public:
    explicit FakeSecurityHost(SecurityScript& script) : m_script(script) {}
    std::unique_ptr<SecurityManagerComponent> CreateComponent() override {
        m_script.Record("CreateComponent");
        if (!m_script.Available)
            return nullptr;
        return std::make_unique<FakeSecurityComponent>(m_script);
    }
    void RegisterServerLibrary() override {
        m_script.Record("RegisterServerLibrary");
        if (m_script.RegisterThrows)
            throw std::runtime_error("secman.dll not found");
        m_script.Available = m_script.AvailableAfterRegister;
    }

private:
    SecurityScript& m_script;
};

// ---------------------------------------------------------------- Windows Address Book

inline MapiPropertyValue TextProperty(uint32_t tag, std::string text) {
    MapiPropertyValue value;
    value.Tag = tag;
    value.Bytes = std::move(text);
    return value;
}

inline MapiPropertyValue LongProperty(uint32_t tag, int32_t number) {
    MapiPropertyValue value;
    value.Tag = tag;
    value.Long = number;
    return value;
}

struct WabEntry {
    std::string DisplayName;
    int32_t ObjectType = MAPI_MAILUSER;
    std::string EntryId;
    std::vector<MapiPropertyValue> Properties; // what GetProps returns
};

struct WabScript {
    CallLog* Log = nullptr;
    std::vector<WabEntry> Entries; // the rows of the personal address book, in order
    std::vector<uint32_t> Columns; // set by SetColumns
    WabParameters Opened;          // what WABOpen got
    int FailAtRow = -1;            // QueryRows throws when this row is next
    std::string FailEntryId;       // OpenEntry of this contact throws
    void Record(const std::string& call) const { Log->push_back(call); }
};

class FakeContentsTable : public WabContentsTable {
public:
    explicit FakeContentsTable(WabScript& script) : m_script(script) {}
    void SetColumns(const std::vector<uint32_t>& tags) override {
        m_script.Record("SetColumns");
        m_script.Columns = tags;
    }
    void SeekToBeginning() override {
        m_script.Record("SeekRow");
        m_next = 0;
    }
    std::vector<WabRow> QueryRows(int count) override {
        m_script.Record("QueryRows(" + std::to_string(count) + ")");
        if (m_next == m_script.FailAtRow)
            throw std::runtime_error("MAPI_E_CALL_FAILED");
        if (m_next >= static_cast<int>(m_script.Entries.size()))
            return {};
        const WabEntry& entry = m_script.Entries[static_cast<size_t>(m_next++)];
        MapiPropertyValue error;
        error.Tag = (PR_PERSONAL_HOME_PAGE & 0xFFFF0000u) | PT_ERROR;
        MapiPropertyValue id;
        id.Tag = PR_ENTRYID;
        id.Bytes = entry.EntryId;
        return {WabRow{TextProperty(PR_DISPLAY_NAME, entry.DisplayName), TextProperty(PR_EMAIL_ADDRESS, ""), error, id,
                       LongProperty(PR_OBJECT_TYPE, entry.ObjectType)}};
    }

private:
    WabScript& m_script;
    int m_next = 0;
};

class FakeContainer : public WabContainer {
public:
    explicit FakeContainer(WabScript& script) : m_script(script) {}
    std::unique_ptr<WabContentsTable> GetContentsTable(uint32_t flags) override {
        m_script.Record("GetContentsTable(" + std::to_string(flags) + ")");
        return std::make_unique<FakeContentsTable>(m_script);
    }

private:
    WabScript& m_script;
};

class FakeMailUser : public WabMailUser {
public:
    explicit FakeMailUser(const WabEntry& entry) : m_entry(entry) {}
    std::vector<MapiPropertyValue> GetProps() override { return m_entry.Properties; }

private:
    const WabEntry& m_entry;
};

class FakeAddressBook : public WabAddressBook {
public:
    explicit FakeAddressBook(WabScript& script) : m_script(script) {}
    std::string GetPAB() override {
        m_script.Record("GetPAB");
        return "PAB";
    }
    std::unique_ptr<WabContainer> OpenContainer(const std::string& entryId) override {
        m_script.Record("OpenEntry(" + entryId + ")");
        if (entryId != "PAB")
            throw std::runtime_error("MAPI_E_NOT_FOUND");
        return std::make_unique<FakeContainer>(m_script);
    }
    std::unique_ptr<WabMailUser> OpenMailUser(const std::string& entryId) override {
        m_script.Record("OpenEntry(" + entryId + ")");
        if (entryId == m_script.FailEntryId)
            throw std::runtime_error("MAPI_E_CORRUPT_DATA");
        for (const auto& entry : m_script.Entries)
            if (entry.EntryId == entryId)
                return std::make_unique<FakeMailUser>(entry);
        throw std::runtime_error("MAPI_E_NOT_FOUND");
    }

private:
    WabScript& m_script;
};

class FakeWabLibrary : public WabLibrary {
public:
    explicit FakeWabLibrary(WabScript& script) : m_script(script) {}
    std::unique_ptr<WabAddressBook> Open(const WabParameters& parameters) override {
        m_script.Record("WABOpen");
        m_script.Opened = parameters;
        return std::make_unique<FakeAddressBook>(m_script);
    }

private:
    WabScript& m_script;
};

// A contact with the usual properties of a WAB mail user.
inline WabEntry Contact(const std::string& name, const std::string& address, const std::string& entryId) {
    WabEntry entry;
    entry.DisplayName = name;
    entry.EntryId = entryId;
    entry.Properties = {TextProperty(PR_DISPLAY_NAME, name), TextProperty(0x3002001E, "SMTP"),
                        TextProperty(PR_EMAIL_ADDRESS, address), LongProperty(PR_OBJECT_TYPE, MAPI_MAILUSER)};
    return entry;
}

// ---------------------------------------------------------------- environment

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_had = true;
            m_old = old;
        }
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (m_had)
            ::setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name, m_old;
    bool m_had = false;
};
