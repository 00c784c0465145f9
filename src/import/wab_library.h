#pragma once

#include "import/mapi_properties.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class RegistryHive;

// The part of the Windows Address Book library the address-book reader
// calls. Every call may throw std::exception when the address book fails; a
// returned object is never null. Buffers the library allocates are copied
// into these values and freed by the backend.

using WabRow = std::vector<MapiPropertyValue>;

class WabContentsTable {
public:
    virtual ~WabContentsTable() = default;
    virtual void SetColumns(const std::vector<uint32_t>& tags) = 0;
    // SeekRow to the beginning.
    virtual void SeekToBeginning() = 0;
    // QueryRows: up to count rows; none when the table is at its end.
    virtual std::vector<WabRow> QueryRows(int count) = 0;
};

class WabContainer {
public:
    virtual ~WabContainer() = default;
    virtual std::unique_ptr<WabContentsTable> GetContentsTable(uint32_t flags) = 0;
};

class WabMailUser {
public:
    virtual ~WabMailUser() = default;
    // GetProps without a tag list: every property, in the address book's order.
    virtual std::vector<MapiPropertyValue> GetProps() = 0;
};

class WabAddressBook {
public:
    virtual ~WabAddressBook() = default;
    // The entry identifier of the personal address book.
    virtual std::string GetPAB() = 0;
    // OpenEntry of a container, and of a mail user, by entry identifier.
    virtual std::unique_ptr<WabContainer> OpenContainer(const std::string& entryId) = 0;
    virtual std::unique_ptr<WabMailUser> OpenMailUser(const std::string& entryId) = 0;
};

// The parameter block of "WABOpen".
struct WabParameters {
    uint32_t Size = 32;
    uintptr_t OwnerWindow = 0;
    std::string FileName; // empty: the library's default file
    uint32_t Flags = 0;
};

class WabLibrary {
public:
    virtual ~WabLibrary() = default;
    // "WABOpen": the address book of the file the parameters name.
    virtual std::unique_ptr<WabAddressBook> Open(const WabParameters& parameters) = 0;
};

// The library file named by the default value of HKEY_LOCAL_MACHINE
// "Software\Microsoft\WAB\DLLPath"; empty when missing or longer than 260
// bytes.
std::string WabLibraryPath(const RegistryHive& localMachine);

// Loads the library named by WabLibraryPath(LocalMachineHive()) and keeps it
// until UnloadWabLibrary. A library without "WABOpen" and "WABOpenEx" is
// unloaded again. On this platform the built-in loader loads nothing: the
// library is a Windows program file.
void LoadWabLibrary();
void UnloadWabLibrary();
// The loaded library, or null; loads it at the first call when
// LoadWabLibrary has not run yet.
WabLibrary* LoadedWabLibrary();

// Installs the loader LoadWabLibrary uses (tests, another platform's
// backend); it gets the library path and returns null when it cannot load
// it. An empty function restores the built-in loader.
using WabLibraryLoader = std::function<std::unique_ptr<WabLibrary>(const std::string& path)>;
void SetWabLibraryLoader(WabLibraryLoader loader);
