#pragma once

#include <string>
#include <vector>

// HasSwitch: whether one of the program's arguments, upper-cased and cut
// before its first ":", is "/" or "-" followed by the upper-cased name
// ("/email", "-EMAIL" and "/Email:x" all name "email").
bool HasSwitch(const std::vector<std::string>& arguments, const std::string& name);
