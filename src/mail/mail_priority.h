#pragma once

#include <string>

// The priority of a message (0 highest, 1 high, 2 normal, 3 low, 4 lowest)
// from the value of its "Priority" header, or of "X-Priority" when that is
// absent: a value containing "urgent" gives 1, one containing "non-priority"
// gives 3; otherwise the first word read as a number n gives n - 1 (3 - 1
// when it is no number). Values outside 0..4 are returned unchanged.
int PriorityFromHeaderValue(const std::string& value);
