#include "challenge/quarantine_purge.h"

#include "platform/date_time.h"
#include "platform/file_times.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/program_settings.h"
#include "scan/quarantine_file.h"

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr long long SecondsPerDay = 24 * 60 * 60;

bool CanOpenForReading(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Whole days between two local date-times, counted in seconds so that the
// fractions of a SerialDateTime cannot round a day up.
long long WholeDaysBetween(SerialDateTime earlier, SerialDateTime later) {
    long long seconds = std::llround((later - earlier) * SecondsPerDay);
    return seconds / SecondsPerDay;
}

// When the file was written: its creation time, or its write time when that
// is earlier. A recorded birth time cannot be reset, so a file once dated in
// the future carries the present only in its write time from then on; without
// this it would be reset again at every start and never age.
std::optional<std::time_t> WrittenTime(const std::string& path) {
    std::optional<std::time_t> created = FileCreationTime(path);
    struct stat info {};
    if (created && ::stat(path.c_str(), &info) == 0 && info.st_mtime < *created)
        return info.st_mtime;
    return created;
}

// Steps 1 to 4 for one message file.
void AgeFile(const std::string& path) {
    if (!CanOpenForReading(path))
        return;
    std::optional<std::time_t> created = WrittenTime(path);
    if (!created)
        return;
    std::time_t nowUnix = NowUnix();
    SerialDateTime creation = DateTimeFromUnix(*created);
    SerialDateTime present = DateTimeFromUnix(nowUnix);
    if (present < creation) {
        SetFileTimes(path, nowUnix);
        return;
    }
    if (ProgramSettings.AutoDelSpam && WholeDaysBetween(creation, present) >= ProgramSettings.AutoDelSpamDays)
        std::remove(path.c_str());
}

} // namespace

void PurgeOldQuarantine(int accountIndex) {
    Account& account = Accounts.Item(accountIndex);
    std::string folder = AccountFolder(accountIndex);
    QuarantineIndex& items = account.Quarantine;
    std::vector<int> vanished;
    for (int i = 0; i < items.Count(); ++i) {
        std::string path = QuarantineFilePath(folder, items.Item(i).FileName);
        if (!path.empty())
            AgeFile(path);
        if (path.empty() || !FileExists(path))
            vanished.push_back(i);
    }
    for (auto it = vanished.rbegin(); it != vanished.rend(); ++it)
        items.Delete(*it);
    SaveIndex(account);
}
