#include "import/eudora_nicknames.h"

#include "import/eudora_location.h"
#include "platform/paths.h"
#include "records/text_helpers.h"

#include <optional>

namespace {

std::string DropLeadingSpaces(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string FirstWord(const std::string& line) {
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    size_t end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void AppendItems(const std::string& text, char separator, std::vector<std::string>& items) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

struct AliasParts {
    std::string Name;
    std::string Addresses;
};

// An "alias" line: the nickname's name (plain or in double quotes) after the
// first space, then the comma-separated addresses.
AliasParts SplitAlias(const std::string& line) {
    size_t space = line.find(' ');
    std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (rest.empty() || rest[0] == ' ')
        return {{}, DropLeadingSpaces(rest)};
    if (rest[0] == '"') {
        size_t close = rest.find('"', 1);
        if (close == std::string::npos)
            return {rest.substr(1), {}};
        std::string after = rest.substr(close + 1);
        std::erase(after, '"');
        return {rest.substr(1, close - 1), DropLeadingSpaces(after)};
    }
    size_t nameEnd = rest.find(' ');
    if (nameEnd == std::string::npos)
        return {{}, rest};
    return {rest.substr(0, nameEnd), DropLeadingSpaces(rest.substr(nameEnd + 1))};
}

void Finish(std::optional<EudoraNickname>& current, std::vector<EudoraNickname>& nicknames) {
    if (current && !current->Addresses.empty())
        nicknames.push_back(std::move(*current));
    current.reset();
}

} // namespace

bool ReadEudoraNicknames(const std::string& folder, std::vector<EudoraNickname>& nicknames) {
    nicknames.clear();
    std::string path = folder + EudoraNicknameFile;
    std::string content;
    if (!FileExists(path) || !ReadWholeFile(path, content))
        return false;
    std::vector<EudoraNickname> result;
    std::optional<EudoraNickname> current;
    for (const auto& line : SplitLines(content)) {
        std::string word = FirstWord(line);
        if (word == "alias") {
            Finish(current, result);
            AliasParts alias = SplitAlias(line);
            current.emplace();
            current->Name = alias.Name;
            AppendItems(alias.Addresses, ',', current->Addresses);
        } else if (word == "note") {
            if (!current)
                return false;
            const std::string marker = "<otheremail:";
            size_t start = line.find(marker);
            if (start == std::string::npos)
                continue;
            start += marker.size();
            size_t end = line.find('>', start);
            if (end != std::string::npos)
                AppendItems(line.substr(start, end - start), '\x03', current->Addresses);
        }
    }
    Finish(current, result);
    nicknames = std::move(result);
    return true;
}
