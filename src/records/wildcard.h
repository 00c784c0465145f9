#pragma once

#include <string>

// Matches text against a wildcard pattern, anchored at both ends: '*' stands
// for any run of bytes (the empty one included), '?' for exactly one byte,
// and every other pattern byte for itself, ASCII letters compared without
// regard to case. There is no escape character. Never throws.
// Runs in time proportional to text length times pattern length.
bool MatchWildcard(const std::string& text, const std::string& pattern);
