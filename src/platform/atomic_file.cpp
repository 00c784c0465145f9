#include "platform/atomic_file.h"

#include "platform/paths.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const std::string& path, int error) {
    throw std::runtime_error("Cannot write file " + path + ": " + std::strerror(error));
}

bool WriteAll(int fd, const std::string& content) {
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

} // namespace

void ReplaceFileAtomically(const std::string& path, const std::string& content) {
    std::string existing;
    if (ReadWholeFile(path, existing) && existing == content)
        return;

    std::string temporary = path + ".XXXXXX";
    int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        Fail(path, errno);
    ::fchmod(fd, 0600);
    if (!WriteAll(fd, content)) {
        int error = errno;
        ::close(fd);
        ::unlink(temporary.c_str());
        Fail(path, error);
    }
    if (::close(fd) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        Fail(path, error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        Fail(path, error);
    }
}

namespace {

int (*g_fsync)(int) = ::fsync;

void Sync(const std::string& path, int flags) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    int error = fd < 0 ? errno : 0;
    if (fd >= 0 && g_fsync(fd) != 0)
        error = errno;
    if (fd >= 0)
        ::close(fd);
    if (error != 0)
        throw std::runtime_error("Cannot flush " + path + " to disk: " + std::strerror(error));
}

} // namespace

void SyncFile(const std::string& path) {
    Sync(path, 0);
}

void SyncFolder(const std::string& folder) {
    Sync(folder, O_DIRECTORY);
}

void SetFsyncForTesting(int (*replacement)(int fd)) {
    g_fsync = replacement ? replacement : ::fsync;
}
