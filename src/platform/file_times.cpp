#include "platform/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

std::optional<std::time_t> FileCreationTime(const std::string& path) {
    struct statx info {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &info) != 0)
        return std::nullopt;
    if ((info.stx_mask & STATX_BTIME) && info.stx_btime.tv_sec != 0)
        return static_cast<std::time_t>(info.stx_btime.tv_sec);
    return static_cast<std::time_t>(info.stx_mtime.tv_sec);
}

bool SetFileTimes(const std::string& path, std::time_t when) {
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}
