#pragma once

#include <string>
#include <vector>

// A sorted list of texts compared without regard to ASCII case, holding no
// two equal entries: the first one added is kept.
class AliasList {
public:
    // Inserts the text at its sorted place; false (and nothing added) when an
    // equal entry exists or the text holds a CR or LF ("aliases.dat" holds
    // one alias per line).
    bool Add(const std::string& text);
    bool Contains(const std::string& text) const;
    int Count() const { return static_cast<int>(m_strings.size()); }
    // operator[] and Delete throw std::out_of_range outside the list.
    const std::string& operator[](int index) const { return m_strings.at(static_cast<size_t>(index)); }
    void Delete(int index);
    void Clear() { m_strings.clear(); }
    const std::vector<std::string>& Strings() const { return m_strings; }
    // Clears the list, then adds every text.
    void Assign(const std::vector<std::string>& strings);
    // Every entry followed by CR LF.
    std::string Text() const;
    // Clears the list, then adds every line (lines end at CR LF, LF or CR).
    void SetText(const std::string& text);

private:
    std::vector<std::string>::const_iterator LowerBound(const std::string& text) const;

    std::vector<std::string> m_strings;
};
