// Eudora's nickname file and settings file, as the address book import and
// the account detection read them: reading never fails on any bytes, reads
// the same twice, and yields no address or name with a line break.
#include "import/eudora_location.h"
#include "import/eudora_nicknames.h"
#include "import/eudora_personalities.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <cstddef>
#include <cstdint>

namespace {

bool OneLine(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string content(reinterpret_cast<const char*>(data), size);
    std::string folder = ScratchFolder() + "/";
    EmptyFolder(folder);
    WriteBytes(folder + EudoraNicknameFile, content);
    WriteBytes(folder + EudoraSettingsFile, content);

    std::vector<EudoraNickname> nicknames;
    bool read = ReadEudoraNicknames(folder, nicknames);
    for (const EudoraNickname& nickname : nicknames) {
        FUZZ_CHECK(OneLine(nickname.Name));
        for (const std::string& address : nickname.Addresses)
            FUZZ_CHECK(!address.empty() && OneLine(address));
    }
    std::vector<EudoraNickname> again;
    FUZZ_CHECK(ReadEudoraNicknames(folder, again) == read);
    FUZZ_CHECK(again.size() == nicknames.size());

    std::vector<EudoraPersonality> personalities;
    if (ReadEudoraPersonalities(folder, personalities)) {
        for (const EudoraPersonality& personality : personalities) {
            FUZZ_CHECK(OneLine(personality.PopServer) && OneLine(personality.LoginName));
            FUZZ_CHECK(personality.ReturnAddress.size() <= 255 * 4);
        }
    }
    return 0;
}
