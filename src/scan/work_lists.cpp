#include "scan/work_lists.h"

#include "records/text_helpers.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool AddressBefore(const AutoReplyEntry& entry, const std::string& loweredAddress) {
    return LowerAscii(entry.Address) < loweredAddress;
}

} // namespace

bool AutoReplyList::Add(const std::string& address, const std::string& name, const std::string& subject) {
    std::string lowered = LowerAscii(address);
    auto place = std::lower_bound(m_entries.begin(), m_entries.end(), lowered, AddressBefore);
    if (place != m_entries.end() && LowerAscii(place->Address) == lowered)
        return false;
    m_entries.insert(place, AutoReplyEntry{address, name, subject});
    return true;
}

bool AutoReplyList::Contains(const std::string& address) const {
    std::string lowered = LowerAscii(address);
    auto place = std::lower_bound(m_entries.begin(), m_entries.end(), lowered, AddressBefore);
    return place != m_entries.end() && LowerAscii(place->Address) == lowered;
}

void AutoReplyList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    m_entries.erase(m_entries.begin() + index);
}

void AccountWorkLists::Clear() {
    DeleteList.clear();
    ChallengeList.Clear();
    PostResponseList.Clear();
    ReleaseList.clear();
    SavedFiles.clear();
}
