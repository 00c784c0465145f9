#pragma once

#include <map>
#include <string>

// The values of the update page's META tags, by name: a line holding the
// exact text "META NAME" is a tag line; its name starts 11 characters after
// "META NAME" and ends before the next double quotation mark; its value
// starts 9 characters after "CONTENT=" (found in any letter case) and ends
// before the next double quotation mark, within 255 characters. Other lines
// are ignored; a later line wins.
std::map<std::string, std::string> ReadUpdatePageTags(const std::string& page);

// Whether the page's dotted version is newer than the program's, part by
// part from the left while the program's version has parts; a part that is
// not a number counts as 0 (so 1.1 is newer than 1.1.0, and 1.1.1.5 is not
// newer than 1.1.1).
bool IsNewerVersion(const std::string& program, const std::string& page);
