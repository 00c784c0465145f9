#include "records/sender_list.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "records/text_helpers.h"

#include <stdexcept>
#include <utility>

SenderList::SenderList(std::string fileName) : m_fileName(std::move(fileName)) {}

int SenderList::Add(const std::string& s) {
    if (s.empty() || HoldsLineBreak(s) || Contains(s))
        return -1;
    std::string entry = LowerAscii(s);
    m_index.insert(entry);
    if (IsWildcardMask(entry))
        m_masks.Add(entry);
    m_strings.push_back(std::move(entry));
    return Count() - 1;
}

void SenderList::AddStrings(const std::vector<std::string>& strings) {
    for (const std::string& s : strings)
        Add(s);
}

void SenderList::Assign(const std::vector<std::string>& strings) {
    // A copy first: strings may be this list's own entries.
    std::vector<std::string> source = strings;
    Clear();
    AddStrings(source);
}

bool SenderList::Contains(const std::string& s) const {
    return m_index.count(LowerAscii(s)) != 0;
}

bool SenderList::Matches(const std::string& address) const {
    // An entry equal to the text matches it whatever it holds: every byte of
    // a pattern, '*' and '?' too, matches itself.
    std::string text = LowerAscii(address);
    return m_index.count(text) != 0 || m_masks.Matches(text);
}

std::string SenderList::PathIn(const std::string& folder) const {
    return IncludeTrailingDelimiter(folder) + m_fileName;
}

void SenderList::LoadFromFile(const std::string& folder) {
    std::string path = PathIn(folder);
    std::string content;
    if (!ReadFileIfExists(path, content)) {
        Clear();
        return;
    }
    SenderList loaded(m_fileName);
    loaded.AddStrings(SplitLines(content));
    m_strings = std::move(loaded.m_strings);
    m_index = std::move(loaded.m_index);
    m_masks = std::move(loaded.m_masks);
}

void SenderList::SaveToFile(const std::string& folder) const {
    std::string path = PathIn(folder);
    if (m_strings.empty())
        DeleteFileIfExists(path);
    else
        ReplaceFileAtomically(path, JoinLines(m_strings));
}

void SenderList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    m_index.erase(m_strings[static_cast<size_t>(index)]);
    m_masks.Remove(m_strings[static_cast<size_t>(index)]);
    m_strings.erase(m_strings.begin() + index);
}

void SenderList::Clear() {
    m_strings.clear();
    m_index.clear();
    m_masks.Clear();
}
