#pragma once

#include "records/wildcard_mask_index.h"

#include <string>
#include <unordered_set>
#include <vector>

// An ordered list of sender addresses and wildcard masks with its own file.
// Every entry is non-empty, lower-cased (ASCII letters only), unique without
// regard to case and never trimmed; all ways of filling the list go through
// Add. The order is insertion order; the list is never sorted.
class SenderList {
public:
    // fileName is the bare name of the list's file, without folder.
    explicit SenderList(std::string fileName);

    const std::string& FileName() const { return m_fileName; }

    // Appends the lower-cased s and returns its index; returns -1 and changes
    // nothing when s is empty, already on the list or holds a CR or LF (the
    // file would read it back as several entries).
    int Add(const std::string& s);
    void AddStrings(const std::vector<std::string>& strings);
    // Clears the list, then adds every string.
    void Assign(const std::vector<std::string>& strings);

    // True when an entry equals s without regard to case; masks are not
    // interpreted. Only used to keep entries unique.
    bool Contains(const std::string& s) const;
    // True when some entry, taken as a wildcard mask, matches the address.
    bool Matches(const std::string& address) const;

    // Replaces the contents with the lines of the list's file in folder; a
    // missing file empties the list. Throws std::runtime_error when the file
    // exists but cannot be read; the list then keeps its contents.
    void LoadFromFile(const std::string& folder);
    // Writes the list's file in folder atomically, one entry per CR LF line,
    // or deletes it when the list is empty. Throws std::runtime_error when the
    // file cannot be written or deleted.
    void SaveToFile(const std::string& folder) const;

    int Count() const { return static_cast<int>(m_strings.size()); }
    const std::string& operator[](int index) const { return m_strings.at(static_cast<size_t>(index)); }
    const std::vector<std::string>& Strings() const { return m_strings; }
    // Throws std::out_of_range for an index outside the list.
    void Delete(int index);
    void Clear();

private:
    std::string PathIn(const std::string& folder) const;

    std::string m_fileName;
    std::vector<std::string> m_strings;
    // The same entries for Contains, so that filling a long list (an address
    // book synchronisation) stays linear, and for the exact part of Matches.
    std::unordered_set<std::string> m_index;
    // The entries with wildcards, so that Matches tries only those that can
    // match: a scan asks for every header.
    WildcardMaskIndex m_masks;
};
