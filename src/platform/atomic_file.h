#pragma once

#include <string>

// Replaces the file at path with content: the bytes go to a temporary file
// beside it, which is flushed and renamed over the old one, so a crash or a
// full disk leaves either the old file or the new one, never a mixture.
// Content equal to what is already there is not written again.
// New files get mode 0600 (the data folder holds passwords).
// Throws std::runtime_error with the system's text when the file cannot be written.
void ReplaceFileAtomically(const std::string& path, const std::string& content);

// Force a file, or a folder's entries, to stable storage: the barrier taken
// before the POP3 server is told to delete what was saved. Throws
// std::runtime_error ("Cannot flush PATH to disk: reason") when the file or
// folder cannot be opened or the flush fails.
void SyncFile(const std::string& path);
void SyncFolder(const std::string& folder);

// For tests of a failing disk: replaces fsync(2); nullptr restores it.
void SetFsyncForTesting(int (*replacement)(int fd));
