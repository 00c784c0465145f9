// The secure preview: any stored message gives its header rows and a text
// to show, and closing the preview leaves no file of it behind.
#include "challenge/preview_text.h"
#include "mail/mail_message.h"
#include "mail/part_files.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = ScratchFolder() + "/preview.eml";
    WriteBytes(path, std::string(reinterpret_cast<const char*>(data), size));
    {
        MailMessage message;
        LoadPreviewMessage(path, message);
        PreviewContent content = PreviewContentOf(message);
        FUZZ_CHECK(!content.Text.empty());
        FUZZ_CHECK(content.ShowCc == !content.Cc.empty());
        std::vector<PreviewRow> rows = PreviewHeaderRows(content);
        FUZZ_CHECK(rows.size() == (content.ShowCc ? 5u : 4u));
        DeletePreviewFiles(message);
    }
    FUZZ_CHECK(ListFolder(PartFileFolder()).empty());
    return 0;
}
