#include "challenge/quarantine_purge.h"

#include "challenge/quarantine_file.h"
#include "platform/date_time.h"
#include "platform/file_times.h"
#include "platform/paths.h"
#include "records/program_settings.h"
#include "records/uObjects.h"

#include <cmath>
#include <cstdio>
#include <fcntl.h>
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
// fractions of a TDateTime cannot round a day up.
long long WholeDaysBetween(TDateTime earlier, TDateTime later) {
    long long seconds = std::llround((later - earlier) * SecondsPerDay);
    return seconds / SecondsPerDay;
}

// Steps 1 to 4 for one message file.
void AgeFile(const std::string& path) {
    if (!CanOpenForReading(path))
        return;
    std::optional<std::time_t> created = FileCreationTime(path);
    if (!created)
        return;
    std::time_t nowUnix = NowUnix();
    TDateTime creation = DateTimeFromUnix(*created);
    TDateTime present = DateTimeFromUnix(nowUnix);
    if (present < creation) {
        SetFileTimes(path, nowUnix);
        return;
    }
    if (ProgramSettings.AutoDelSpam && WholeDaysBetween(creation, present) >= ProgramSettings.AutoDelSpamDays)
        std::remove(path.c_str());
}

} // namespace

void PurgeOldQuarantine(int accountIndex) {
    TAccountItem& account = Accounts.Item(accountIndex);
    std::string folder = AccountFolder(accountIndex);
    TUnkMailItems& items = account.UnkMailItems;
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
