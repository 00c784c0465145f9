#pragma once

#include <string>
#include <string_view>
#include <vector>

// Helpers over a block of header lines as received: "Name: value" lines and
// their continuation lines (lines that begin with a space or a tab).

bool IsContinuationLine(std::string_view line);

// True when line is a header line of the field name (any case); blanks
// between the name and the colon are tolerated.
bool IsHeaderNamed(std::string_view line, std::string_view name);

// Index of the first line of the field name, or -1.
int FindHeaderLine(const std::vector<std::string>& lines, std::string_view name);

// Number of lines the field starting at index takes (1 + its continuation lines).
size_t HeaderLineSpan(const std::vector<std::string>& lines, size_t index);

// The unfolded, trimmed value of the field starting at index: the text after
// the colon and the following space, each continuation line appended after a
// single space.
std::string UnfoldedHeaderValue(const std::vector<std::string>& lines, size_t index);

// The field name of a header line (the text before the colon, trimmed).
std::string HeaderFieldName(std::string_view line);

// Folds a header line longer than width at blanks: each piece but the first
// begins with the blank it was broken at. A word longer than width stays
// whole. Appends the pieces to lines.
void AppendFoldedHeaderLine(std::string_view line, std::vector<std::string>& lines, size_t width = 78);
