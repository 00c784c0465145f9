#include "update/update_check.h"

#include "platform/date_time.h"
#include "records/program_settings.h"
#include "update/http_get.h"
#include "update/update_page.h"

#include <cstdlib>
#include <map>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr char DefaultUpdatePage[] = "http://www.belvantis.com/quorvane/update.htm";
bool g_running = false;

using Tags = std::map<std::string, std::string>;

std::string Tag(const Tags& tags, const char* name) {
    auto found = tags.find(name);
    return found == tags.end() ? std::string() : found->second;
}

// The page's tags after following its "Redirection" values; empty when a
// page cannot be fetched or is empty, or the pages keep redirecting.
Tags ReadPage(const std::string& address) {
    std::string current = address;
    for (int hop = 0; hop <= MaxRedirections; ++hop) {
        std::string page;
        HttpGetResult result = HttpGet(current, MaxUpdatePageBytes, TimeoutMilliseconds(ProgramSettings),
                                       [&](std::string_view block, long long, auto) {
                                           page.append(block);
                                           return true;
                                       });
        if (!result.Complete || page.empty())
            return {};
        Tags tags = ReadUpdatePageTags(page);
        std::string next = Tag(tags, "Redirection");
        if (next.empty())
            return tags;
        current = next;
    }
    return {};
}

// A file name for the download: the page's name without any folder, so a
// name like "../x" stays inside the private folder.
std::string SafeFileName(const std::string& name) {
    std::string base = name.substr(name.find_last_of("/\\") + 1);
    if (base.empty() || base == "." || base == "..")
        return "quorvane-update";
    return base;
}

std::string NewPrivateFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/quorvane-update-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    return pattern;
}

// Downloads address into path; false unless the announced length arrived
// whole. The file is removed when the download fails.
bool Download(const std::string& address, const std::string& path, UpdateUi& ui) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    bool written = true;
    HttpGetResult result =
        HttpGet(address, MaxDownloadBytes, TimeoutMilliseconds(ProgramSettings),
                [&](std::string_view block, long long received, std::optional<long long> length) {
                    written = written && ::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size());
                    ui.DownloadProgress(received, length.value_or(0));
                    return written && !ui.DownloadCancelled();
                });
    bool ok = ::close(fd) == 0 && written && result.Complete && result.Length.has_value();
    if (!ok)
        ::unlink(path.c_str());
    return ok;
}

UpdateCheckResult RunUpdate(UpdateUi& ui) {
    UpdateCheckResult result;
    Tags tags = ReadPage(UpdatePageAddress());
    if (Tag(tags, "Product").empty() || Tag(tags, "Version").empty() ||
        !IsNewerVersion(ProgramVersion, Tag(tags, "Version")))
        return result;
    result.UpdateOffered = true;
    if (!ui.AskDownload())
        return result;
    std::string folder = NewPrivateFolder();
    if (folder.empty())
        return result;
    std::string path = folder + "/" + SafeFileName(Tag(tags, "ClientFilename"));
    ui.ShowDownload();
    bool downloaded = Download(Tag(tags, "Download"), path, ui);
    ui.CloseDownload();
    if (!downloaded) {
        ::rmdir(folder.c_str());
        return result;
    }
    result.DownloadedFile = path;
    result.Started = true;
    ui.OpenDownloadedFile(path, Tag(tags, "RunParameters"));
    return result;
}

} // namespace

std::string UpdatePageAddress() {
    const char* page = std::getenv("QUORVANE_UPDATE_PAGE");
    return page && *page ? page : DefaultUpdatePage;
}

UpdateCheckResult CheckForUpdate(bool forced, UpdateUi& ui) {
    if (g_running)
        return {};
    if (!forced && (!ProgramSettings.CheckUpdate || DayOfMonth(Now()) == ProgramSettings.CheckUpdateLast))
        return {};
    g_running = true;
    ui.SetBusyCursor(true);
    UpdateCheckResult result;
    try {
        ProgramSettings.CheckUpdateLast = DayOfMonth(Now());
        SaveSettings();
        result = RunUpdate(ui);
    } catch (...) {
        g_running = false;
        ui.SetBusyCursor(false);
        throw;
    }
    g_running = false;
    ui.SetBusyCursor(false);
    return result;
}
