#pragma once

#include <functional>
#include <string>

// The one-writer rule of a data folder: every process that loads state it
// will save again (a scan, a list, account or quarantine change, the desktop
// program for as long as it runs) holds this advisory lock (flock(2) on
// "quorvane.lock" in the folder) from its load to its last save, so nothing
// in memory is ever older than the files it replaces. The lock goes with the
// object, or with the process, however it ends.
// How the desktop program describes itself as the holder of the lock.
inline constexpr const char* DesktopProgramHolder = "vantrel";

class DataFolderLock {
public:
    static constexpr const char* FileName = "quorvane.lock";

    DataFolderLock() = default;
    ~DataFolderLock() { Release(); }
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // Takes the lock of folder if no other holder has it; false otherwise.
    // Throws std::runtime_error when the lock file cannot be opened.
    bool TryAcquire(const std::string& folder);

    // Takes the lock, waiting up to waitSeconds for another holder to let
    // go; waiting() is called once when the wait begins. The pump runs
    // between tries. False when the time ran out.
    bool Acquire(const std::string& folder, int waitSeconds, const std::function<void()>& waiting);

    void Release();
    bool Held() const { return m_fd >= 0; }

    // Says who holds the lock (one short line, such as "vantrel"), for the
    // processes that find the folder in use; cleared on release. Only while
    // the lock is held.
    void DescribeHolder(const std::string& holder);
    // What the current holder of folder's lock said of itself; "" when
    // nobody holds it, it said nothing, or the file cannot be read.
    static std::string HolderDescription(const std::string& folder);

private:
    int m_fd = -1;
};
