// The message model in decoded mode, as the preview and the release read
// mail: attachments are written only into the private part folder and are
// gone again with the message; the header block never holds an empty line.
#include "mail/mail_message.h"
#include "mail/part_files.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string folder = PartFileFolder() + "/";
    {
        MailMessage message;
        message.ReadFromText(text);
        CheckHeaderLines(message.HeaderLines);
        for (const MessagePart& part : message.Parts) {
            if (part.StoredPathName.empty())
                continue;
            std::string_view name(part.StoredPathName);
            FUZZ_CHECK(name.starts_with(folder));
            FUZZ_CHECK(name.substr(folder.size()).find('/') == std::string_view::npos);
        }
        // Composing the decoded message again must not fail on what was read.
        std::string composed;
        message.WriteTo(composed);
        MailMessage recomposed;
        recomposed.ReadFromText(composed);
    }
    FUZZ_CHECK(ListFolder(folder).empty());
    return 0;
}
