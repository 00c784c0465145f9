#include "records/quarantine_index.h"

#include "platform/atomic_file.h"
#include "platform/date_time.h"
#include "platform/paths.h"

#include <bit>
#include <limits>
#include <stdexcept>

bool UpgradeNotice = false;

namespace {

const char* const NewIndexName = "account2.dat";
const char* const OldIndexName = "account.dat";

// Shared by every collection, so an id never comes back while the process runs.
int NextItemId() {
    static int lastId = 0;
    return ++lastId;
}

void CheckIndex(int index, size_t count) {
    if (index < 0 || static_cast<size_t>(index) >= count)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

void PutUInt(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void PutInt32(std::string& out, int32_t value) {
    PutUInt(out, static_cast<uint32_t>(value), 4);
}

void PutText(std::string& out, const std::string& text) {
    if (text.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
        throw std::length_error("text too long for the quarantine index");
    PutInt32(out, static_cast<int32_t>(text.size()));
    out += text;
}

std::string EncodeIndex(const QuarantineIndex& items) {
    std::string out;
    PutInt32(out, items.Count());
    for (int i = 0; i < items.Count(); ++i) {
        const QuarantineEntry& item = items.Item(i);
        PutText(out, item.SenderAddress);
        PutText(out, item.SenderName);
        PutText(out, item.Recipients);
        PutText(out, item.Subject);
        PutText(out, item.FileName);
        PutUInt(out, std::bit_cast<uint64_t>(item.Date), 8);
        PutInt32(out, item.Category);
    }
    return out;
}

// Reads little-endian fields from the bytes of an index file; every read
// answers false, consuming nothing, once the bytes run out.
class IndexReader {
public:
    explicit IndexReader(const std::string& bytes) : m_bytes(bytes) {}

    bool ReadUInt(uint64_t& value, size_t size) {
        if (m_bytes.size() - m_position < size)
            return false;
        value = 0;
        for (size_t i = 0; i < size; ++i)
            value |= static_cast<uint64_t>(static_cast<unsigned char>(m_bytes[m_position + i])) << (8 * i);
        m_position += size;
        return true;
    }

    bool ReadInt32(int32_t& value) {
        uint64_t raw = 0;
        if (!ReadUInt(raw, 4))
            return false;
        value = static_cast<int32_t>(static_cast<uint32_t>(raw));
        return true;
    }

    bool ReadText(std::string& text) {
        int32_t length = 0;
        if (!ReadInt32(length) || length < 0 || m_bytes.size() - m_position < static_cast<size_t>(length))
            return false;
        text.assign(m_bytes, m_position, static_cast<size_t>(length));
        m_position += static_cast<size_t>(length);
        return true;
    }

    bool ReadDate(SerialDateTime& date) {
        uint64_t raw = 0;
        if (!ReadUInt(raw, 8))
            return false;
        date = std::bit_cast<double>(raw);
        // A hand-edited or damaged date is no date, as for a message without one.
        if (!IsValidDateTime(date))
            date = 0;
        return true;
    }

private:
    const std::string& m_bytes;
    size_t m_position = 0;
};

// The older layout ends each record with a flag byte instead of the category.
bool ReadCategory(IndexReader& reader, bool oldLayout, int32_t& category) {
    if (!oldLayout)
        return reader.ReadInt32(category);
    uint64_t flag = 0;
    if (!reader.ReadUInt(flag, 1))
        return false;
    category = flag != 0 ? CategoryChallenged : CategoryAutomated;
    return true;
}

bool ReadRecord(IndexReader& reader, bool oldLayout, QuarantineEntry& item) {
    return reader.ReadText(item.SenderAddress) && reader.ReadText(item.SenderName) &&
           reader.ReadText(item.Recipients) && reader.ReadText(item.Subject) && reader.ReadText(item.FileName) &&
           reader.ReadDate(item.Date) && ReadCategory(reader, oldLayout, item.Category);
}

// Replaces the collection with the records of bytes; a record cut short is
// dropped and ends the reading.
void DecodeIndex(const std::string& bytes, bool oldLayout, QuarantineIndex& items) {
    items.Clear();
    IndexReader reader(bytes);
    int32_t count = 0;
    if (!reader.ReadInt32(count))
        return;
    for (int32_t i = 0; i < count; ++i) {
        QuarantineEntry record;
        if (!ReadRecord(reader, oldLayout, record))
            return;
        items.Add(record.SenderAddress, record.SenderName, record.Category, record.FileName, record.Date,
                  record.Subject, record.Recipients);
    }
}

// The new file goes down before the old one goes away (SaveIndexFile removes
// it): a failure in between leaves "account.dat", which the next load
// converts again, and nothing is lost.
void ConvertOldIndex(const QuarantineIndex& items, const std::string& accountFolder) {
    if (SaveIndexFile(items, accountFolder))
        UpgradeNotice = true;
}

} // namespace

const char* CategoryName(int category) {
    switch (category) {
    case CategoryChallenged:
        return "Challenged Mail";
    case CategoryAutomated:
        return "Possible Automated Mail";
    case CategoryVirus:
        return "Possible Viruses/Worms";
    case CategorySpam:
        return "Obvious Spam";
    default:
        return "";
    }
}

QuarantineEntry& QuarantineIndex::Add(const std::string& senderAddress, const std::string& senderName, int32_t category,
                                      const std::string& fileName, SerialDateTime date, const std::string& subject,
                                      const std::string& recipients) {
    auto item = std::make_unique<QuarantineEntry>();
    item->Id = NextItemId();
    item->SenderAddress = senderAddress;
    item->SenderName = senderName;
    item->Recipients = recipients;
    item->Subject = subject;
    item->FileName = fileName;
    item->Date = date;
    item->Category = category;
    m_items.push_back(std::move(item));
    return *m_items.back();
}

QuarantineEntry& QuarantineIndex::Item(int index) {
    CheckIndex(index, m_items.size());
    return *m_items[static_cast<size_t>(index)];
}

const QuarantineEntry& QuarantineIndex::Item(int index) const {
    CheckIndex(index, m_items.size());
    return *m_items[static_cast<size_t>(index)];
}

void QuarantineIndex::Delete(int index) {
    CheckIndex(index, m_items.size());
    m_items.erase(m_items.begin() + index);
}

QuarantineEntry* QuarantineIndex::FindById(int id) {
    for (auto& item : m_items)
        if (item->Id == id)
            return item.get();
    return nullptr;
}

bool SaveIndexFile(const QuarantineIndex& items, const std::string& accountFolder) {
    try {
        ReplaceFileAtomically(IncludeTrailingDelimiter(accountFolder) + NewIndexName, EncodeIndex(items));
    } catch (...) {
        return false;
    }
    // An older index left by a conversion that failed would win over this
    // one at the next load and lose every entry added since.
    try {
        DeleteFileIfExists(IncludeTrailingDelimiter(accountFolder) + OldIndexName);
    } catch (const std::exception&) {
        // Tried again at the next save.
    }
    return true;
}

bool LoadIndexFile(QuarantineIndex& items, const std::string& accountFolder) {
    std::string folder = IncludeTrailingDelimiter(accountFolder);
    std::string oldPath = folder + OldIndexName;
    bool oldLayout = FileExists(oldPath);
    std::string path = oldLayout ? oldPath : folder + NewIndexName;
    if (!oldLayout && !FileExists(path))
        return true;
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return false;
    DecodeIndex(bytes, oldLayout, items);
    if (oldLayout)
        ConvertOldIndex(items, accountFolder);
    return true;
}
