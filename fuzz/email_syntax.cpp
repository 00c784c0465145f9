// The address syntax check that guards the sender lists and the account
// editor: an accepted address has an '@' with text on both sides and no
// line break, stays accepted in any letter case, and can always be added
// to a sender list.
#include "records/email_syntax.h"
#include "records/sender_list.h"
#include "records/text_helpers.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (!IsValidEmail(text))
        return 0;
    size_t at = text.rfind('@');
    FUZZ_CHECK(at != std::string::npos && at > 0 && at + 1 < text.size());
    FUZZ_CHECK(text.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(IsValidEmail(UpperAscii(text)) && IsValidEmail(LowerAscii(text)));
    SenderList list("whitelist.dat");
    FUZZ_CHECK(list.Add(text) == 0);
    FUZZ_CHECK(list.Matches(text));
    return 0;
}
