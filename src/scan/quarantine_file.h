#pragma once

#include <string>

// The path of a quarantine entry's message file: the account folder, the
// delimiter and the entry's file name. The file name comes from the index
// file, so a name that could reach outside the folder ("", ".", "..", or one
// holding "/" or a NUL byte) gives "" instead, and callers treat the
// entry's file as missing.
std::string QuarantineFilePath(const std::string& accountFolder, const std::string& fileName);

class MailMessage;

// Reads only the header block of the quarantine file at path into header
// (raw lines, fields parsed): enough to compare a stored message's
// Message-ID or Reply-To without reading its body. False when the file
// cannot be read; header is then left empty.
bool ReadStoredHeader(const std::string& path, MailMessage& header);
