#include "mail/mail_priority.h"

#include "records/text_helpers.h"

#include <charconv>
#include <climits>

int PriorityFromHeaderValue(const std::string& value) {
    std::string lower = LowerAscii(Trim(value));
    if (lower.find("urgent") != std::string::npos) {
        return 1;
    }
    if (lower.find("non-priority") != std::string::npos) {
        return 3;
    }
    std::string word = TextBefore(lower, " ");
    int number = 3;
    auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
    // The one number that cannot be lowered by one counts as no number.
    if (error != std::errc() || end != word.data() + word.size() || number == INT_MIN) {
        number = 3;
    }
    return number - 1;
}
