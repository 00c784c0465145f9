#include "platform/data_folder_lock.h"

#include "platform/event_pump.h"
#include "platform/paths.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr auto RetryInterval = std::chrono::milliseconds(100);

} // namespace

bool DataFolderLock::TryAcquire(const std::string& folder) {
    if (m_fd >= 0)
        return true;
    std::string path = IncludeTrailingDelimiter(folder) + FileName;
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw std::runtime_error("Cannot open file " + path + ": " + std::strerror(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK || error == EINTR)
            return false;
        throw std::runtime_error("Cannot lock file " + path + ": " + std::strerror(error));
    }
    m_fd = fd;
    return true;
}

bool DataFolderLock::Acquire(const std::string& folder, int waitSeconds, const std::function<void()>& waiting) {
    if (TryAcquire(folder))
        return true;
    if (waiting)
        waiting();
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(RetryInterval);
        Pump();
        if (TryAcquire(folder))
            return true;
    }
    return false;
}

void DataFolderLock::Release() {
    if (m_fd >= 0) {
        // A holder that no longer holds must not be named to others.
        [[maybe_unused]] int truncated = ::ftruncate(m_fd, 0);
        ::close(m_fd);
    }
    m_fd = -1;
}

void DataFolderLock::DescribeHolder(const std::string& holder) {
    if (m_fd < 0)
        return;
    if (::ftruncate(m_fd, 0) != 0 || ::pwrite(m_fd, holder.data(), holder.size(), 0) < 0)
        return; // only a courtesy to other processes
}

std::string DataFolderLock::HolderDescription(const std::string& folder) {
    std::string path = IncludeTrailingDelimiter(folder) + FileName;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    std::string text;
    // A free lock means the text, if any, is left over from a holder that died.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0) {
        char buffer[128];
        ssize_t count = ::pread(fd, buffer, sizeof buffer, 0);
        if (count > 0)
            text.assign(buffer, static_cast<size_t>(count));
    }
    ::close(fd);
    return text;
}
