#pragma once

#include <string>

// The check for a newer version and its download: the maker's update page
// names the newest version and the file; when it is newer and the user
// agrees, the file is downloaded into a new private folder (never made
// executable) and handed to the desktop, which asks the user what to do
// with it.

inline constexpr char ProgramVersion[] = "1.1.1";
inline constexpr char NoUpdateText[] = "No update is available, you have the latest version of Quorvane.";
inline constexpr char UpdateQuestionText[] =
    "There is a software update available for Quorvane.\r\n\r\nWould you like to download it now (highly "
    "recommended)?";

// Bounds on what the check accepts from the network.
inline constexpr long long MaxUpdatePageBytes = 1024 * 1024;
inline constexpr long long MaxDownloadBytes = 500LL * 1024 * 1024;
// Pages that redirect to one another end after this many hops.
inline constexpr int MaxRedirections = 10;

// UpdatePage: the environment's QUORVANE_UPDATE_PAGE, else the maker's page.
std::string UpdatePageAddress();

// What the check needs of a front end.
class UpdateUi {
public:
    virtual ~UpdateUi() = default;
    // The offer (UpdateQuestionText): true to download.
    virtual bool AskDownload() = 0;
    // The download window: shown, told the progress after every block, and
    // asked whether the user cancelled (its Cancel and question are its own).
    virtual void ShowDownload() = 0;
    virtual void DownloadProgress(long long received, long long total) = 0;
    virtual bool DownloadCancelled() = 0;
    virtual void CloseDownload() = 0;
    // Hands the downloaded file to the desktop (which asks the user); a
    // failure is not reported.
    virtual void OpenDownloadedFile(const std::string& path, const std::string& parameters) = 0;
    virtual void SetBusyCursor(bool busy) = 0;
};

struct UpdateCheckResult {
    // The user was asked whether to download.
    bool UpdateOffered = false;
    // The file downloaded completely and handed on.
    bool Started = false;
    std::string DownloadedFile;
};

// CheckForUpdate(forced): unless forced, only with "CheckUpdate" on and not
// twice on the same day of the month; records the day ("CheckUpdateLast",
// SaveSettings) whatever the outcome. A check already running makes a
// second one return at once with nothing done. Raises only what
// SaveSettings raises.
UpdateCheckResult CheckForUpdate(bool forced, UpdateUi& ui);
