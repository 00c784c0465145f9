#pragma once

#include <string>
#include <string_view>

// Temporary files for the decoded content of attachment parts. They live in
// one folder private to the user (mode 0700), made with mkdtemp under
// $TMPDIR (else /tmp) on first use and removed at exit when it is empty.
// File names are the program's own; nothing from a message is used as a path.

// The folder's path. Raises MailTransportError when it cannot be created.
std::string PartFileFolder();

// Writes content to a new file (mode 0600) in that folder and returns its
// path. Raises MailTransportError when the file cannot be written.
std::string WritePartFile(std::string_view content);
