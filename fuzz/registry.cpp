// The registry text reader (regedit and Wine files) and the hive it fills:
// every key it makes is found again by its path in any letter case, and
// every value reads in every form without failing.
#include "platform/registry_hive.h"
#include "records/text_helpers.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>

namespace {

void ReadEveryForm(const RegistryKey& key) {
    for (const std::string& name : key.ValueNames()) {
        FUZZ_CHECK(key.Value(name) != nullptr);
        FUZZ_CHECK(key.Value(UpperAscii(name)) != nullptr);
        (void)key.ReadString(name);
        (void)key.ReadInteger(name);
        (void)key.ReadMultiString(name);
        if (auto binary = key.ReadBinary(name, 16))
            FUZZ_CHECK(binary->size() <= 16);
    }
}

void Walk(const RegistryKey& root, const RegistryKey& key, const std::string& path, int depth) {
    FUZZ_CHECK(depth <= 512);
    ReadEveryForm(key);
    for (const std::string& name : key.SubKeyNames()) {
        FUZZ_CHECK(!name.empty() && name.find('\\') == std::string::npos);
        const RegistryKey* child = key.OpenKey(name);
        FUZZ_CHECK(child != nullptr);
        std::string childPath = path.empty() ? name : path + "\\" + name;
        FUZZ_CHECK(root.OpenKey(UpperAscii(childPath)) == child);
        Walk(root, *child, childPath, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    RegistryHive hive = RegistryHive::FromText(text, "HKEY_CURRENT_USER");
    Walk(hive.Root(), hive.Root(), "", 0);
    return 0;
}
