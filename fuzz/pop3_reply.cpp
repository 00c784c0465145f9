// The POP3 status and multi-line parsers, line by line over the input:
// every status line is classified by its indicator alone, a STAT count is a
// number or a transport error, and dot-stuffing undoes exactly.
#include "mail/pop3_reply.h"
#include "mail/line_reader.h"
#include "platform/mail_transport_error.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LineReader reader(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string_view view;
    while (reader.Next(view)) {
        std::string line(view);
        Pop3Reply reply = ParsePop3Reply(line);
        bool positive = line.starts_with("+OK");
        FUZZ_CHECK(reply.Positive == positive);
        FUZZ_CHECK(reply.Valid == (positive || line.starts_with("-ERR")));
        FUZZ_CHECK(reply.Text.size() <= line.size());
        try {
            FUZZ_CHECK(ParseStatCount(reply.Text) >= 0);
        } catch (const MailTransportError&) {
        }
        std::string stuffed = line.starts_with('.') ? "." + line : line;
        FUZZ_CHECK(!IsMultiLineEnd(stuffed));
        FUZZ_CHECK(UnstuffLine(stuffed) == line);
    }
    return 0;
}
