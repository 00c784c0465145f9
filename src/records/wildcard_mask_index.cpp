#include "records/wildcard_mask_index.h"

#include "records/wildcard.h"

#include <algorithm>

namespace {

std::string LiteralTail(const std::string& mask) {
    std::size_t last = mask.find_last_of("*?");
    return last == std::string::npos ? mask : mask.substr(last + 1);
}

} // namespace

bool IsWildcardMask(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

void WildcardMaskIndex::Add(const std::string& mask) {
    std::string tail = LiteralTail(mask);
    m_byTail[tail.size()][tail].push_back(mask);
}

void WildcardMaskIndex::Remove(const std::string& mask) {
    std::string tail = LiteralTail(mask);
    auto byLength = m_byTail.find(tail.size());
    if (byLength == m_byTail.end())
        return;
    auto group = byLength->second.find(tail);
    if (group == byLength->second.end())
        return;
    std::vector<std::string>& masks = group->second;
    auto found = std::find(masks.begin(), masks.end(), mask);
    if (found == masks.end())
        return;
    masks.erase(found);
    if (masks.empty())
        byLength->second.erase(group);
    if (byLength->second.empty())
        m_byTail.erase(byLength);
}

bool WildcardMaskIndex::Matches(const std::string& text) const {
    for (const auto& [length, groups] : m_byTail) {
        if (length > text.size())
            break;
        auto group = groups.find(text.substr(text.size() - length));
        if (group == groups.end())
            continue;
        for (const std::string& mask : group->second)
            if (MatchWildcard(text, mask))
                return true;
    }
    return false;
}
