#include "platform/registry_hive.h"

#include "platform/paths.h"
#include "platform/registry_text.h"
#include "platform/wine_paths.h"

#include <cctype>

namespace {

// The registry allows no deeper key paths; it also keeps the recursive
// destruction of a hostile file's tree shallow.
constexpr size_t MaxKeyDepth = 512;

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

std::vector<std::string_view> SplitKeyPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

struct ProcessHives {
    std::unique_ptr<RegistryHive> CurrentUser;
    std::unique_ptr<RegistryHive> LocalMachine;
};

ProcessHives& Hives() {
    static ProcessHives hives;
    return hives;
}

} // namespace

// ---------------------------------------------------------------- RegistryKey

RegistryKey::RegistryKey(std::string name) : m_name(std::move(name)) {}

RegistryKey::~RegistryKey() = default;

RegistryKey* RegistryKey::FindSubKey(std::string_view name) const {
    auto found = m_subKeyIndex.find(FoldName(name));
    return found == m_subKeyIndex.end() ? nullptr : m_subKeys[found->second].get();
}

const RegistryKey* RegistryKey::OpenKey(std::string_view path) const {
    const RegistryKey* key = this;
    for (auto part : SplitKeyPath(path)) {
        key = key->FindSubKey(part);
        if (!key)
            return nullptr;
    }
    return key;
}

std::vector<std::string> RegistryKey::SubKeyNames() const {
    std::vector<std::string> names;
    names.reserve(m_subKeys.size());
    for (const auto& key : m_subKeys)
        if (key)
            names.push_back(key->m_name);
    return names;
}

std::vector<std::string> RegistryKey::ValueNames() const {
    std::vector<std::string> names;
    names.reserve(m_values.size());
    for (const auto& entry : m_values)
        if (entry)
            names.push_back(entry->first);
    return names;
}

const RegistryValue* RegistryKey::Value(std::string_view name) const {
    auto found = m_valueIndex.find(FoldName(name));
    return found == m_valueIndex.end() ? nullptr : &m_values[found->second]->second;
}

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
    const RegistryValue* value = Value(name);
    if (!value || (value->Type != RegSz && value->Type != RegExpandSz))
        return std::nullopt;
    return value->Data;
}

std::optional<uint32_t> RegistryKey::ReadInteger(std::string_view name) const {
    const RegistryValue* value = Value(name);
    if (!value || value->Type != RegDword || value->Data.size() != 4)
        return std::nullopt;
    uint32_t number = 0;
    for (int i = 3; i >= 0; --i)
        number = (number << 8) | static_cast<unsigned char>(value->Data[static_cast<size_t>(i)]);
    return number;
}

std::optional<std::string> RegistryKey::ReadBinary(std::string_view name, size_t maxSize) const {
    const RegistryValue* value = Value(name);
    if (!value || value->Type == RegSz || value->Type == RegExpandSz || value->Type == RegDword ||
        value->Data.size() > maxSize)
        return std::nullopt;
    return value->Data;
}

std::optional<std::vector<std::string>> RegistryKey::ReadMultiString(std::string_view name) const {
    const RegistryValue* value = Value(name);
    if (!value || value->Type != RegMultiSz)
        return std::nullopt;
    std::vector<std::string> items;
    size_t start = 0;
    while (start < value->Data.size()) {
        size_t end = value->Data.find('\0', start);
        if (end == std::string::npos)
            end = value->Data.size();
        items.push_back(value->Data.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

RegistryKey* RegistryKey::CreateKey(std::string_view path) {
    auto parts = SplitKeyPath(path);
    if (parts.size() > MaxKeyDepth)
        return nullptr;
    RegistryKey* key = this;
    for (auto part : parts) {
        RegistryKey* next = key->FindSubKey(part);
        if (!next) {
            key->m_subKeys.push_back(std::make_unique<RegistryKey>(std::string(part)));
            next = key->m_subKeys.back().get();
            key->m_subKeyIndex.emplace(FoldName(part), key->m_subKeys.size() - 1);
        }
        key = next;
    }
    return key;
}

void RegistryKey::SetValue(std::string_view name, RegistryValue value) {
    std::string folded = FoldName(name);
    auto found = m_valueIndex.find(folded);
    if (found != m_valueIndex.end()) {
        m_values[found->second]->second = std::move(value);
        return;
    }
    m_values.emplace_back(std::in_place, std::string(name), std::move(value));
    m_valueIndex.emplace(std::move(folded), m_values.size() - 1);
}

void RegistryKey::DeleteValue(std::string_view name) {
    auto found = m_valueIndex.find(FoldName(name));
    if (found == m_valueIndex.end())
        return;
    m_values[found->second].reset();
    m_valueIndex.erase(found);
    CompactValues();
}

void RegistryKey::DeleteKey(std::string_view path) {
    auto parts = SplitKeyPath(path);
    if (parts.empty())
        return;
    RegistryKey* parent = this;
    for (size_t i = 0; i + 1 < parts.size() && parent; ++i)
        parent = parent->FindSubKey(parts[i]);
    if (!parent)
        return;
    auto found = parent->m_subKeyIndex.find(FoldName(parts.back()));
    if (found == parent->m_subKeyIndex.end())
        return;
    parent->m_subKeys[found->second].reset();
    parent->m_subKeyIndex.erase(found);
    parent->CompactSubKeys();
}

void RegistryKey::CompactSubKeys() {
    if (m_subKeyIndex.size() * 2 >= m_subKeys.size())
        return;
    std::erase(m_subKeys, nullptr);
    m_subKeyIndex.clear();
    for (size_t i = 0; i < m_subKeys.size(); ++i)
        m_subKeyIndex.emplace(FoldName(m_subKeys[i]->m_name), i);
}

void RegistryKey::CompactValues() {
    if (m_valueIndex.size() * 2 >= m_values.size())
        return;
    std::erase(m_values, std::nullopt);
    m_valueIndex.clear();
    for (size_t i = 0; i < m_values.size(); ++i)
        m_valueIndex.emplace(FoldName(m_values[i]->first), i);
}

// ---------------------------------------------------------------- RegistryHive

RegistryHive::RegistryHive() : m_root(std::make_unique<RegistryKey>()) {}

RegistryHive RegistryHive::FromText(std::string_view text, std::string_view rootName) {
    RegistryHive hive;
    try {
        ParseRegistryText(text, rootName, *hive.m_root);
    } catch (const std::exception&) {
        // Out of memory on an absurd file: what could not be read is not there.
        return RegistryHive();
    }
    return hive;
}

RegistryHive RegistryHive::FromFile(const std::string& path, std::string_view rootName) {
    std::string content;
    if (!FileExists(path) || !ReadWholeFile(path, content))
        return RegistryHive();
    return FromText(content, rootName);
}

const RegistryHive& CurrentUserHive() {
    auto& hives = Hives();
    if (!hives.CurrentUser)
        hives.CurrentUser = std::make_unique<RegistryHive>(
            RegistryHive::FromFile(WinePrefixFolder() + "/user.reg", "HKEY_CURRENT_USER"));
    return *hives.CurrentUser;
}

const RegistryHive& LocalMachineHive() {
    auto& hives = Hives();
    if (!hives.LocalMachine)
        hives.LocalMachine = std::make_unique<RegistryHive>(
            RegistryHive::FromFile(WinePrefixFolder() + "/system.reg", "HKEY_LOCAL_MACHINE"));
    return *hives.LocalMachine;
}

void ReloadRegistryHives() {
    Hives().CurrentUser.reset();
    Hives().LocalMachine.reset();
}
