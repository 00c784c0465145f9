#include "records/sender_list_import.h"

#include "records/email_syntax.h"
#include "records/text_helpers.h"

#include <utility>

namespace {

std::string TrimSpaces(const std::string& line) {
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

} // namespace

std::vector<std::string> ImportableListEntries(const std::string& content) {
    std::vector<std::string> entries;
    for (const std::string& line : SplitLines(content)) {
        std::string entry = TrimSpaces(line);
        if (entry.empty() || entry[0] == '#' || entry[0] == ';' || !IsValidEmail(entry))
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
}
