// The quarantine index of an account folder, in the current layout or the
// older one (chosen by the input's first byte): what loads saves and loads
// again unchanged, the older file is converted and removed, and no entry's
// file name leads out of the account folder.
#include "records/quarantine_index.h"
#include "scan/quarantine_file.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

bool SameItem(const QuarantineEntry& a, const QuarantineEntry& b) {
    return a.SenderAddress == b.SenderAddress && a.SenderName == b.SenderName && a.Recipients == b.Recipients &&
           a.Subject == b.Subject && a.FileName == b.FileName && a.Category == b.Category &&
           std::memcmp(&a.Date, &b.Date, sizeof a.Date) == 0;
}

void CheckSame(const QuarantineIndex& expected, const QuarantineIndex& actual) {
    FUZZ_CHECK(actual.Count() == expected.Count());
    for (int i = 0; i < expected.Count(); ++i)
        FUZZ_CHECK(SameItem(expected.Item(i), actual.Item(i)));
}

void CheckFileNames(const QuarantineIndex& items, const std::string& folder) {
    for (int i = 0; i < items.Count(); ++i) {
        const std::string& name = items.Item(i).FileName;
        std::string path = QuarantineFilePath(folder, name);
        if (path.empty())
            continue;
        FUZZ_CHECK(path == folder + "/" + name);
        FUZZ_CHECK(name != "." && name != ".." && name.find('/') == std::string::npos);
        FUZZ_CHECK(std::strlen(path.c_str()) == path.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string& folder = ScratchFolder();
    EmptyFolder(folder);
    bool oldLayout = data[0] & 1;
    WriteBytes(folder + (oldLayout ? "/account.dat" : "/account2.dat"),
               std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

    QuarantineIndex loaded;
    FUZZ_CHECK(LoadIndexFile(loaded, folder));
    for (int i = 0; i < loaded.Count(); ++i) {
        double date = loaded.Item(i).Date;
        FUZZ_CHECK(std::isfinite(date));
        if (oldLayout)
            FUZZ_CHECK(loaded.Item(i).Category == CategoryChallenged || loaded.Item(i).Category == CategoryAutomated);
    }
    CheckFileNames(loaded, folder);
    if (oldLayout)
        FUZZ_CHECK(ListFolder(folder) == "account2.dat\n");

    FUZZ_CHECK(SaveIndexFile(loaded, folder));
    QuarantineIndex reloaded;
    FUZZ_CHECK(LoadIndexFile(reloaded, folder));
    CheckSame(loaded, reloaded);
    return 0;
}
