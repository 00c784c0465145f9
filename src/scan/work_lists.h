#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// The work lists of one account scan, filled by the classification and
// worked off by the follow-up steps.

// One recipient of a challenge or post-response: the answer address, the
// sender's display name (or the address when the message had none) and a
// subject (the quarantined message's, or the answer's as received).
struct AutoReplyEntry {
    std::string Address;
    std::string Name;
    std::string Subject;
};

// ChallengeList and PostResponseList: entries kept sorted by address without
// regard to ASCII case; an address already present is not added again.
class AutoReplyList {
public:
    // False (and nothing changed) when the address is already listed.
    bool Add(const std::string& address, const std::string& name, const std::string& subject);
    bool Contains(const std::string& address) const;

    int Count() const { return static_cast<int>(m_entries.size()); }
    std::size_t size() const { return m_entries.size(); }
    bool Empty() const { return m_entries.empty(); }
    // operator[] and Delete throw std::out_of_range outside the list.
    const AutoReplyEntry& operator[](int index) const { return m_entries.at(static_cast<std::size_t>(index)); }
    void Delete(int index);
    void Clear() { m_entries.clear(); }

private:
    std::vector<AutoReplyEntry> m_entries;
};

// Quarantine entry ids as decimal text, sorted, duplicates ignored: the
// scan's ReleaseList and the id lists of the quarantine actions.
using ReleaseIdSet = std::set<std::string>;

// Everything one account scan collects; emptied when the scan ends.
struct AccountWorkLists {
    // POP3 numbers of the quarantined messages and the answers, in order.
    std::vector<std::int32_t> DeleteList;
    AutoReplyList ChallengeList;
    AutoReplyList PostResponseList;
    ReleaseIdSet ReleaseList;
    // Quarantine files written in this scan: flushed to disk before the QUIT
    // that lets the server delete their messages.
    std::vector<std::string> SavedFiles;

    void Clear();
};
