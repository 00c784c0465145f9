#include "platform/data_folder.h"

#include "platform/paths.h"

#include <cstdlib>

namespace {

std::string& Override() {
    static std::string folder;
    return folder;
}

std::string WithoutTrailingDelimiter(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Creates every missing folder of an absolute or relative path.
void EnsureFolderPath(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        EnsureFolder(path.substr(0, slash));
    EnsureFolder(path);
}

} // namespace

void SetDataFolderOverride(const std::string& folder) {
    Override() = folder;
}

std::string DataFolder() {
    std::string folder;
    if (!Override().empty()) {
        folder = Override();
    } else if (const char* fromEnvironment = std::getenv("QUORVANE_DATA_DIR"); fromEnvironment && *fromEnvironment) {
        folder = fromEnvironment;
    } else {
        const char* xdg = std::getenv("XDG_DATA_HOME");
        std::string base = (xdg && *xdg == '/') ? xdg : IncludeTrailingDelimiter(HomeFolder()) + ".local/share";
        folder = IncludeTrailingDelimiter(base) + "Belvantis/Quorvane";
    }
    folder = WithoutTrailingDelimiter(folder);
    EnsureFolderPath(folder);
    return folder;
}
