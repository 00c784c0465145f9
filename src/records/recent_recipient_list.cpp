#include "records/recent_recipient_list.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <stdexcept>

RecentRecipientList RecentRecipients;

namespace {

std::string LoopListPath(const std::string& folder) {
    return IncludeTrailingDelimiter(folder) + "looplist.dat";
}

} // namespace

void RecentRecipientList::Insert(const std::string& address) {
    if (HoldsLineBreak(address))
        return;
    m_addresses.insert(m_addresses.begin(), address);
}

int RecentRecipientList::CountOf(const std::string& address) const {
    return static_cast<int>(std::count_if(m_addresses.begin(), m_addresses.end(),
                                          [&](const std::string& entry) { return SameText(entry, address); }));
}

void RecentRecipientList::TrimTo(int count) {
    if (count >= 0 && static_cast<size_t>(count) < m_addresses.size())
        m_addresses.resize(static_cast<size_t>(count));
}

void RecentRecipientList::LoadFromFile(const std::string& folder) {
    std::string path = LoopListPath(folder);
    std::string content;
    if (!ReadFileIfExists(path, content)) {
        Clear();
        return;
    }
    m_addresses = SplitLines(content);
}

void RecentRecipientList::SaveToFile(const std::string& folder) const {
    ReplaceFileAtomically(LoopListPath(folder), JoinLines(m_addresses));
}
