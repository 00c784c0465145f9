#include "platform/wine_paths.h"

#include "platform/paths.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::vector<std::string> SplitComponents(const std::string& path) {
    std::vector<std::string> components;
    std::string current;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!current.empty())
                components.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        components.push_back(current);
    return components;
}

// The entry of folder named like name: as written when it exists, else the
// first entry whose name differs only in letter case, else name itself.
std::string ResolveEntry(const std::string& folder, const std::string& name) {
    std::error_code error;
    std::filesystem::path base = folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
    if (name == "." || name == ".." || std::filesystem::exists(base / name, error))
        return name;
    for (std::filesystem::directory_iterator it(base, error), end; !error && it != end; it.increment(error)) {
        std::string candidate = it->path().filename().string();
        if (SameNameIgnoringCase(candidate, name))
            return candidate;
    }
    return name;
}

std::string DriveRoot(char letter) {
    std::string prefix = WinePrefixFolder();
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    std::string link = prefix + "/dosdevices/" + lower + ":";
    std::error_code error;
    if (std::filesystem::exists(link, error))
        return link;
    if (lower == 'c')
        return prefix + "/drive_c";
    return {};
}

} // namespace

std::string WinePrefixFolder() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) {
        std::string folder = prefix;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder;
    }
    return IncludeTrailingDelimiter(HomeFolder()) + ".wine";
}

bool IsWindowsDrivePath(const std::string& path) {
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

std::string MapWindowsPath(const std::string& windowsPath) {
    std::string folder;
    std::string rest;
    if (IsWindowsDrivePath(windowsPath)) {
        folder = DriveRoot(windowsPath[0]);
        if (folder.empty())
            return {};
        rest = windowsPath.substr(2);
    } else if (windowsPath.empty() || windowsPath[0] == '\\' || windowsPath[0] == '/') {
        return {};
    } else {
        rest = windowsPath;
    }
    std::string mapped = folder;
    for (const auto& component : SplitComponents(rest)) {
        std::string resolved = ResolveEntry(mapped, component);
        mapped = mapped.empty() ? resolved : IncludeTrailingDelimiter(mapped) + resolved;
    }
    bool folderForm = rest.empty() || rest.back() == '\\' || rest.back() == '/';
    if (folderForm)
        mapped = IncludeTrailingDelimiter(mapped);
    return mapped;
}
