#pragma once

#include <string>

// Replaces every %NAME% whose variable is set by its value; unknown names
// and a lone "%" stay as written. The result holds at most 254 characters.
std::string ExpandEnvironment(const std::string& text);
