#pragma once

#include <string>

// This machine's fully qualified domain name: the host name, or the
// canonical name the resolver gives for it, when that holds a dot and only
// letters, digits, hyphens and dots, and is no "localhost" name. Empty when
// the system has none. Looked up at the first call only.
std::string FullyQualifiedHostName();
