#pragma once

#include "platform/date_time.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Quarantine categories, as stored in the index.
constexpr int32_t CategoryChallenged = 0;
constexpr int32_t CategoryAutomated = 1;
constexpr int32_t CategoryVirus = 2;
constexpr int32_t CategorySpam = 3;

// The display name of a category ("Challenged Mail", ...); "" for an unknown one.
const char* CategoryName(int category);

// One quarantined message: an entry of an account's quarantine index.
struct QuarantineEntry {
    // Assigned when the entry is made, unique for the life of the process;
    // never stored.
    int Id = 0;
    std::string SenderAddress;
    std::string SenderName;
    std::string Recipients;
    std::string Subject;
    // The message file inside the account folder: a GUID text and ".dat".
    std::string FileName;
    // Local date-time of the message; 0 when it had no valid date.
    SerialDateTime Date = 0;
    int32_t Category = CategoryChallenged;
};

// The ordered quarantine index of one account. Entries are appended at the
// end and keep their addresses until deleted.
class QuarantineIndex {
public:
    // Appends a new entry with a new id and returns it.
    QuarantineEntry& Add(const std::string& senderAddress, const std::string& senderName, int32_t category,
                         const std::string& fileName, SerialDateTime date, const std::string& subject,
                         const std::string& recipients);

    int Count() const { return static_cast<int>(m_items.size()); }
    // Item and Delete throw std::out_of_range for an index outside the collection.
    QuarantineEntry& Item(int index);
    const QuarantineEntry& Item(int index) const;
    void Delete(int index);

    // The entry with that id, or nullptr.
    QuarantineEntry* FindById(int id);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<QuarantineEntry>> m_items;
};

// Set when an index load converted an older "account.dat"; the shell shows
// its notice once at the end of start-up. False at process start.
extern bool UpgradeNotice;

// Writes the collection to "account2.dat" in the account folder, atomically:
// an interrupted or failed save leaves the previous file whole, and an
// unchanged index is not rewritten. Never throws: any failure gives false.
bool SaveIndexFile(const QuarantineIndex& items, const std::string& accountFolder);

// Reads the collection from the account folder: the older "account.dat" when
// it exists (then converted: saved as "account2.dat", the old file deleted and
// UpgradeNotice set), else "account2.dat"; with neither the collection is left
// unchanged. A damaged file loads the complete records before the damage and
// nothing after it. Entries get fresh ids. Never throws: false when a file
// exists but cannot be read.
bool LoadIndexFile(QuarantineIndex& items, const std::string& accountFolder);
