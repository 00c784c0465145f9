#pragma once

#include <string>
#include <vector>

// Recent recipients of challenges and post-responses, newest first,
// duplicates allowed, compared without regard to ASCII case. Kept in
// "looplist.dat" in the data folder, one address per CR LF line.
class RecentRecipientList {
public:
    // Puts the address at the head of the list. An address with a line
    // break is not kept: the file could not give it back as one entry.
    void Insert(const std::string& address);
    // How many entries equal the address without regard to case.
    int CountOf(const std::string& address) const;
    // Keeps only the first count entries (the newest ones).
    void TrimTo(int count);

    int Count() const { return static_cast<int>(m_addresses.size()); }
    const std::string& operator[](int index) const { return m_addresses.at(static_cast<size_t>(index)); }
    void Clear() { m_addresses.clear(); }

    // Replaces the contents with the lines of "looplist.dat" in folder; a
    // missing file empties the list. Throws std::runtime_error when the file
    // exists but cannot be read; the list then keeps its contents.
    void LoadFromFile(const std::string& folder);
    // Writes "looplist.dat" in folder atomically. Throws std::runtime_error
    // when it cannot be written.
    void SaveToFile(const std::string& folder) const;

private:
    std::vector<std::string> m_addresses;
};

// The process-wide loop list.
extern RecentRecipientList RecentRecipients;
