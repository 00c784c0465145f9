#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// Wildcard masks ("*@example.com", "news?@*.example.org"), kept so that a text
// is tried only against the masks that can match it: a mask's literal tail
// after its last wildcard must end the text, so the masks are grouped by that
// tail and a text looks up each of its own tails, one per tail length in use.
// Masks and texts are compared as MatchWildcard does; callers lower-case both.
class WildcardMaskIndex {
public:
    void Add(const std::string& mask);
    // Removes one copy of the mask; nothing when it is not held.
    void Remove(const std::string& mask);
    void Clear() { m_byTail.clear(); }
    bool Matches(const std::string& text) const;

private:
    // Tail length, then tail, then the masks that end in it.
    std::map<std::size_t, std::unordered_map<std::string, std::vector<std::string>>> m_byTail;
};

// True when the text holds '*' or '?', so that it matches more than itself.
bool IsWildcardMask(const std::string& text);
