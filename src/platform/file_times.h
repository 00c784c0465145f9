#pragma once

#include <ctime>
#include <optional>
#include <string>

// When a file was created: the birth time where the file system records it,
// else its modification time. Empty when the file does not exist.
std::optional<std::time_t> FileCreationTime(const std::string& path);

// Sets the file's last-access and last-write times to when. (A birth time
// the file system recorded cannot be changed.) False when that fails.
bool SetFileTimes(const std::string& path, std::time_t when);
