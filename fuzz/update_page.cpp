// The update page reader and the version comparison: tag names and values
// never hold a quote or run past the value window, and no version is newer
// than itself.
#include "update/update_page.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string page(reinterpret_cast<const char*>(data), size);
    for (const auto& [name, value] : ReadUpdatePageTags(page)) {
        FUZZ_CHECK(name.find_first_of("\"\n") == std::string::npos);
        FUZZ_CHECK(value.find_first_of("\"\n") == std::string::npos);
        FUZZ_CHECK(value.size() <= 255);
    }
    std::string version = page.substr(0, page.find('\n'));
    std::string other = page.substr(version.size() < page.size() ? version.size() + 1 : page.size());
    FUZZ_CHECK(!IsNewerVersion(version, version));
    (void)IsNewerVersion(version, other);
    return 0;
}
