// The message model in raw mode, as the scan stores quarantined mail: what
// is read keeps its header block free of empty lines, and what is saved
// reads back line for line.
#include "mail/mail_message.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    message.ReadFromText(text);
    CheckHeaderLines(message.HeaderLines);

    std::string saved;
    message.WriteTo(saved);
    saved += ".\r\n";
    MailMessage reloaded;
    reloaded.RawRead = reloaded.RawWrite = true;
    reloaded.ReadFromText(saved);
    FUZZ_CHECK(reloaded.HeaderLines == message.HeaderLines);
    FUZZ_CHECK(reloaded.BodyLines == message.BodyLines);

    // The header alone, as the view reads a stored file's header block.
    MailMessage header;
    header.SetHeaderText(message.HeaderText());
    FUZZ_CHECK(header.HeaderLines == message.HeaderLines);
    return 0;
}
