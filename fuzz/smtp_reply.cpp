// The SMTP reply reader over the input's lines: replies end where a line
// says so, codes stay three digits, and the announced AUTH mechanisms come
// out upper case and each once.
#include "mail/smtp_reply.h"
#include "mail/line_reader.h"
#include "support/fuzz_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

void CheckMechanisms(const SmtpReply& reply) {
    std::vector<std::string> mechanisms;
    AddAnnouncedMechanisms(reply, mechanisms);
    AddAnnouncedMechanisms(reply, mechanisms);
    std::vector<std::string> sorted = mechanisms;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end());
    for (const std::string& mechanism : mechanisms) {
        FUZZ_CHECK(!mechanism.empty());
        FUZZ_CHECK(std::none_of(mechanism.begin(), mechanism.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
        FUZZ_CHECK(mechanism.find_first_of(" =") == std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LineReader reader(std::string_view(reinterpret_cast<const char*>(data), size));
    SmtpReply reply;
    std::string_view view;
    while (reader.Next(view)) {
        std::string line(view);
        bool last = AddSmtpReplyLine(reply, line);
        FUZZ_CHECK(reply.Code >= 0 && reply.Code <= 999);
        FUZZ_CHECK(reply.Valid || reply.Code == 0);
        FUZZ_CHECK(!last || !reply.Valid || line.size() < 4 || line[3] != '-');
        if (last) {
            CheckMechanisms(reply);
            reply = SmtpReply();
        }
    }
    CheckMechanisms(reply);
    return 0;
}
