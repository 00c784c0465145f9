#pragma once

#include "platform/registry_hive.h"

#include <string_view>

// Reads registry text into the keys below root: REGEDIT4, "Windows Registry
// Editor Version 5.00" (also as UTF-16LE with a byte-order mark) and Wine's
// "WINE REGISTRY Version 2", whose keys are named relative to rootName.
// False when the first line names none of these formats; a line that cannot
// be read is skipped, as Wine's own loader does. Work stays bounded on any
// input; only running out of memory raises.
bool ParseRegistryText(std::string_view text, std::string_view rootName, RegistryKey& root);
