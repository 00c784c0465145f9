#include "records/alias_list.h"

#include "records/text_helpers.h"

#include <algorithm>
#include <stdexcept>

namespace {

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    return LowerAscii(a) < LowerAscii(b);
}

} // namespace

bool AliasList::Add(const std::string& text) {
    if (HoldsLineBreak(text))
        return false;
    auto at = LowerBound(text);
    if (at != m_strings.end() && SameText(*at, text))
        return false;
    m_strings.insert(at, text);
    return true;
}

bool AliasList::Contains(const std::string& text) const {
    auto at = LowerBound(text);
    return at != m_strings.end() && SameText(*at, text);
}

void AliasList::Delete(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("alias index out of range");
    m_strings.erase(m_strings.begin() + index);
}

void AliasList::Assign(const std::vector<std::string>& strings) {
    m_strings.clear();
    for (const std::string& text : strings)
        Add(text);
}

std::string AliasList::Text() const {
    return JoinLines(m_strings);
}

void AliasList::SetText(const std::string& text) {
    Assign(SplitLines(text));
}

std::vector<std::string>::const_iterator AliasList::LowerBound(const std::string& text) const {
    return std::lower_bound(m_strings.begin(), m_strings.end(), text, LessIgnoringCase);
}
