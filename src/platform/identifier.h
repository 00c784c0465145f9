#pragma once

#include <string>

// A new random (version 4) GUID in registry form: "{", 8, 4, 4, 4 and 12
// upper-case hexadecimal digits joined by "-", "}" (38 characters).
std::string NewIdentifierText();
