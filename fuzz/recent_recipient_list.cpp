// The loop list of an account folder: what loads saves and loads again
// unchanged, also after the scan inserted a sender taken from the input,
// and counting ignores letter case.
#include "records/recent_recipient_list.h"
#include "mail/line_reader.h"
#include "records/text_helpers.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string content(reinterpret_cast<const char*>(data), size);
    const std::string& folder = ScratchFolder();
    EmptyFolder(folder);
    WriteBytes(folder + "/looplist.dat", content);

    RecentRecipientList list;
    list.LoadFromFile(folder);
    std::string_view firstLine;
    LineReader(content).Next(firstLine);
    std::string sender(firstLine);
    int before = list.CountOf(sender);
    list.Insert(UpperAscii(sender));
    bool kept = sender.find_first_of("\r\n") == std::string::npos;
    FUZZ_CHECK(list.CountOf(sender) == before + (kept ? 1 : 0));
    list.SaveToFile(folder);

    RecentRecipientList reloaded;
    reloaded.LoadFromFile(folder);
    FUZZ_CHECK(reloaded.Count() == list.Count());
    for (int i = 0; i < list.Count(); ++i)
        FUZZ_CHECK(reloaded[i] == list[i]);
    return 0;
}
