#pragma once

#include "records/ini_document.h"

#include <functional>

// The settings file "vantrel.ini" as a whole: read for its values, or
// changed in place with every line it does not touch kept.

// The settings file read for its values. A missing or unreadable file
// reads as empty, so that every value takes its default; raises only what
// SettingsFilePath raises.
IniDocument ReadSettingsFileOrEmpty();

// Loads the settings file, lets change edit it and replaces the file in one
// atomic write. Throws std::runtime_error with the system's text when the
// file cannot be read or written; the file then stays as it was.
void ChangeSettingsFile(const std::function<void(IniDocument&)>& change);
