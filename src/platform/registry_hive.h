#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Windows registry data as other programs keep it under Wine: an in-memory
// tree of keys and values, read from registry text. Names of keys and values
// are compared without regard to ASCII letter case; subkeys and values keep
// the order in which they were first stored.

// Value types as the registry numbers them.
enum RegistryValueType : uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegMultiSz = 7,
};

// One value. String types (RegSz, RegExpandSz, RegMultiSz) hold narrow text
// (UTF-8) without a terminator, the items of a RegMultiSz joined by NUL
// characters; every other type holds its bytes as stored.
struct RegistryValue {
    uint32_t Type = RegNone;
    std::string Data;
};

class RegistryKey {
public:
    explicit RegistryKey(std::string name = {});
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    const std::string& Name() const { return m_name; }

    // The key below this one at a "\"-separated relative path (leading,
    // trailing and doubled "\" ignored; "" is this key), or null.
    const RegistryKey* OpenKey(std::string_view path) const;
    bool HasSubKey(std::string_view path) const { return OpenKey(path) != nullptr; }
    bool HasSubKeys() const { return !m_subKeyIndex.empty(); }
    // Names of the direct subkeys, in stored order.
    std::vector<std::string> SubKeyNames() const;
    // Names of the values, in stored order ("" is the default value).
    std::vector<std::string> ValueNames() const;

    // The value of that name ("" is the default value), or null.
    const RegistryValue* Value(std::string_view name) const;
    bool ValueExists(std::string_view name) const { return Value(name) != nullptr; }
    // A RegSz or RegExpandSz value; empty when missing or of another type.
    std::optional<std::string> ReadString(std::string_view name) const;
    // A RegDword value of exactly four bytes, little-endian.
    std::optional<uint32_t> ReadInteger(std::string_view name) const;
    // The bytes of a value that is neither a string nor a number, when it
    // holds at most maxSize bytes.
    std::optional<std::string> ReadBinary(std::string_view name, size_t maxSize) const;
    // The items of a RegMultiSz value.
    std::optional<std::vector<std::string>> ReadMultiString(std::string_view name) const;

    // Building (used by the loader and by tests). CreateKey returns null when
    // the path is deeper than the registry allows.
    RegistryKey* CreateKey(std::string_view path);
    void SetValue(std::string_view name, RegistryValue value);
    void DeleteValue(std::string_view name);
    void DeleteKey(std::string_view path);

private:
    RegistryKey* FindSubKey(std::string_view name) const;
    // Drops the deleted slots once they outnumber the live ones, so that a
    // deletion costs constant time on average however long the list.
    void CompactSubKeys();
    void CompactValues();

    std::string m_name;
    // In stored order; a deleted entry leaves an empty slot (null key, no
    // value) until the next compaction. The indexes name live slots only.
    std::vector<std::unique_ptr<RegistryKey>> m_subKeys;
    std::unordered_map<std::string, size_t> m_subKeyIndex;
    std::vector<std::optional<std::pair<std::string, RegistryValue>>> m_values;
    std::unordered_map<std::string, size_t> m_valueIndex;
};

// One root of the registry (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE).
class RegistryHive {
public:
    RegistryHive();

    // Parses registry text in one of three forms, told apart by its first
    // line: "REGEDIT4" (8-bit text), "Windows Registry Editor Version 5.00"
    // (usually UTF-16LE with a byte-order mark) and Wine's "WINE REGISTRY
    // Version 2" (user.reg, system.reg; key paths relative to the root).
    // In the regedit forms only keys under rootName ("HKEY_CURRENT_USER",
    // "HKEY_LOCAL_MACHINE" or their short forms) are taken. Text of any other
    // form is an empty hive; a line that cannot be read is skipped. Never
    // throws on bad input.
    static RegistryHive FromText(std::string_view text, std::string_view rootName);
    // The same from a file; a missing or unreadable file is an empty hive.
    static RegistryHive FromFile(const std::string& path, std::string_view rootName);

    const RegistryKey& Root() const { return *m_root; }
    RegistryKey& Root() { return *m_root; }
    // The key at an absolute path ("\Software\..." or "Software\..."), or null.
    const RegistryKey* OpenKey(std::string_view path) const { return m_root->OpenKey(path); }
    bool KeyExists(std::string_view path) const { return OpenKey(path) != nullptr; }

private:
    std::unique_ptr<RegistryKey> m_root;
};

// The process's HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE: user.reg and
// system.reg of the Wine prefix (WinePrefixFolder), read at the first call.
// A missing prefix or file is an empty hive.
const RegistryHive& CurrentUserHive();
const RegistryHive& LocalMachineHive();
// Forgets both, so that the next call reads the prefix again.
void ReloadRegistryHives();
