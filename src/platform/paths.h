#pragma once

#include <string>

// Path and folder helpers over the POSIX file system. "/" is the delimiter.

// Appends "/" unless the path already ends with it ("" becomes "/").
std::string IncludeTrailingDelimiter(const std::string& path);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// True when anything at all has this name: a file, folder, link (even a
// broken one) or device.
bool NameExists(const std::string& path);

// Creates one folder with the given mode when it does not exist yet.
// Throws std::runtime_error with the system's text when it cannot be created.
void EnsureFolder(const std::string& path, unsigned mode = 0700);

// The folder of the running program, with no trailing delimiter.
std::string ProgramFolder();

// The user's home folder ($HOME, else the password database).
std::string HomeFolder();

// Reads a whole file; returns false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

// Reads a whole file that may be missing: false when there is none; throws
// std::runtime_error ("Cannot open file PATH: reason") when it exists but
// cannot be read.
bool ReadFileIfExists(const std::string& path, std::string& content);

// Removes a file; a missing file is not an error. Throws on other failures.
void DeleteFileIfExists(const std::string& path);
