#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

std::string IncludeTrailingDelimiter(const std::string& path) {
    if (!path.empty() && path.back() == '/')
        return path;
    return path + "/";
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool NameExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void EnsureFolder(const std::string& path, unsigned mode) {
    if (FolderExists(path))
        return;
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        throw std::runtime_error("Cannot create folder " + path + ": " + std::strerror(errno));
}

std::string ProgramFolder() {
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return ".";
    std::string path(buffer, static_cast<size_t>(length));
    auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "/";
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad())
        return false;
    content = buffer.str();
    return true;
}

bool ReadFileIfExists(const std::string& path, std::string& content) {
    if (!FileExists(path))
        return false;
    errno = 0;
    if (!ReadWholeFile(path, content)) {
        std::string reason = errno != 0 ? std::string(": ") + std::strerror(errno) : std::string();
        throw std::runtime_error("Cannot open file " + path + reason);
    }
    return true;
}

void DeleteFileIfExists(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw std::runtime_error("Cannot delete file " + path + ": " + std::strerror(errno));
}
