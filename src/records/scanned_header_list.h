#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The header summary of one message seen by the current account scan.
struct ScannedHeader {
    int32_t MessageNumber = 0;
    // The From display name, or the From display text when the name is empty.
    std::string FromName;
    std::string Recipients;
    std::string FromAddress;
    // The first Reply-To address; empty when there is none.
    std::string ReplyAddress;
    std::string Subject;
    std::string DateText;
    // 0..4; an unknown priority (255) is recorded as 2.
    uint8_t Priority = 0;
    bool HasAttachments = false;
    // The message stays on the server.
    bool Kept = false;
    // The date as floating-point text followed by the message id.
    std::string Key;
};

// The ordered header records of one account's current scan; never stored.
// Records keep their addresses until the collection is cleared.
class ScannedHeaderList {
public:
    // Appends a new empty record and returns it.
    ScannedHeader& Add();
    // The first record with that message number, or nullptr.
    ScannedHeader* FindByNumber(int messageNumber);
    int Count() const { return static_cast<int>(m_items.size()); }
    // Throws std::out_of_range for an index outside the collection.
    ScannedHeader& Item(int index);
    void Clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<ScannedHeader>> m_items;
};
