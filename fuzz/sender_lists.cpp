// The approved and blacklist files: entries load lower case and each once,
// every entry matches itself as an address, a text with a line break is
// never added, and what is saved loads again unchanged.
#include "mail/line_reader.h"
#include "records/sender_list.h"
#include "records/text_helpers.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <cstddef>
#include <cstdint>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string content(reinterpret_cast<const char*>(data), size);
    const std::string& folder = ScratchFolder();
    EmptyFolder(folder);
    WriteBytes(folder + "/whitelist.dat", content);

    SenderList list("whitelist.dat");
    list.LoadFromFile(folder);
    std::set<std::string> seen;
    for (const std::string& entry : list.Strings()) {
        FUZZ_CHECK(!entry.empty() && entry == LowerAscii(entry));
        FUZZ_CHECK(entry.find_first_of("\r\n") == std::string::npos);
        FUZZ_CHECK(seen.insert(entry).second);
        FUZZ_CHECK(list.Contains(UpperAscii(entry)));
        FUZZ_CHECK(list.Matches(UpperAscii(entry)));
    }

    // A hand-typed entry: the input's text up to its second line break.
    std::string typed = content.substr(0, content.find('\n', content.find('\n') + 1));
    int index = list.Add(typed);
    FUZZ_CHECK(index < 0 || typed.find_first_of("\r\n") == std::string::npos);
    list.SaveToFile(folder);

    SenderList reloaded("whitelist.dat");
    reloaded.LoadFromFile(folder);
    FUZZ_CHECK(reloaded.Strings() == list.Strings());
    return 0;
}
