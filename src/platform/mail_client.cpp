#include "platform/mail_client.h"

#include "platform/paths.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> SplitPathList(const char* value, const char* fallback) {
    std::string text = (value && *value) ? value : fallback;
    std::vector<std::string> parts;
    std::stringstream stream(text);
    for (std::string part; std::getline(stream, part, ':');)
        if (!part.empty() && part[0] == '/')
            parts.push_back(part);
    return parts;
}

std::string EnvironmentFolder(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return (value && *value == '/') ? value : fallback;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The value of key in [section] of a desktop-style key file, or empty.
std::string KeyFileValue(const std::string& path, const std::string& section, const std::string& key) {
    std::string content;
    if (!ReadWholeFile(path, content))
        return {};
    std::stringstream lines(content);
    bool inSection = false;
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inSection = line == "[" + section + "]";
            continue;
        }
        auto equals = line.find('=');
        if (inSection && equals != std::string::npos && Trim(line.substr(0, equals)) == key)
            return Trim(line.substr(equals + 1));
    }
    return {};
}

std::string HandlerDesktopFile(const std::string& configHome, const std::vector<std::string>& configDirs,
                               const std::string& dataHome, const std::vector<std::string>& dataDirs) {
    std::vector<std::string> lists;
    lists.push_back(configHome + "/mimeapps.list");
    for (const auto& dir : configDirs)
        lists.push_back(dir + "/mimeapps.list");
    lists.push_back(dataHome + "/applications/mimeapps.list");
    for (const auto& dir : dataDirs)
        lists.push_back(dir + "/applications/mimeapps.list");
    for (const auto& list : lists) {
        std::string value = KeyFileValue(list, "Default Applications", "x-scheme-handler/mailto");
        std::string first = value.substr(0, value.find(';'));
        if (!first.empty())
            return first;
    }
    return {};
}

std::string RemoveFieldCodes(const std::string& exec) {
    std::string result;
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%') {
            result += exec[i];
        } else if (i + 1 < exec.size()) {
            if (exec[i + 1] == '%')
                result += '%';
            ++i;
        }
    }
    // Codes leave doubled or trailing spaces behind.
    std::string collapsed;
    for (char c : result)
        if (!(c == ' ' && (collapsed.empty() || collapsed.back() == ' ')))
            collapsed += c;
    return Trim(collapsed);
}

std::vector<std::string> ApplicationFolders() {
    std::string home = HomeFolder();
    std::vector<std::string> folders{EnvironmentFolder("XDG_DATA_HOME", home + "/.local/share")};
    auto dataDirs = SplitPathList(std::getenv("XDG_DATA_DIRS"), "/usr/local/share:/usr/share");
    folders.insert(folders.end(), dataDirs.begin(), dataDirs.end());
    for (auto& folder : folders)
        folder += "/applications";
    return folders;
}

// The program an Exec line starts: its first word, unquoted, without folder.
std::string ExecProgramName(const std::string& exec) {
    std::string word;
    if (!exec.empty() && exec[0] == '"')
        word = exec.substr(1, exec.find('"', 1) - 1);
    else
        word = exec.substr(0, exec.find(' '));
    return word.substr(word.rfind('/') + 1);
}

} // namespace

std::string MailClientIconName(const std::string& program) {
    std::string wanted = ExecProgramName(program);
    if (wanted.empty())
        return {};
    try {
        for (const auto& folder : ApplicationFolders()) {
            std::error_code error;
            for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
                std::string path = entry.path().string();
                if (entry.path().extension() != ".desktop" ||
                    ExecProgramName(KeyFileValue(path, "Desktop Entry", "Exec")) != wanted)
                    continue;
                std::string icon = KeyFileValue(path, "Desktop Entry", "Icon");
                if (!icon.empty())
                    return icon;
            }
        }
    } catch (...) {
        // An unreadable folder means no icon, never an error.
    }
    return {};
}

std::string DefaultMailClient() {
    try {
        std::string home = HomeFolder();
        std::string configHome = EnvironmentFolder("XDG_CONFIG_HOME", home + "/.config");
        std::string dataHome = EnvironmentFolder("XDG_DATA_HOME", home + "/.local/share");
        auto configDirs = SplitPathList(std::getenv("XDG_CONFIG_DIRS"), "/etc/xdg");
        auto dataDirs = SplitPathList(std::getenv("XDG_DATA_DIRS"), "/usr/local/share:/usr/share");
        std::string desktopFile = HandlerDesktopFile(configHome, configDirs, dataHome, dataDirs);
        if (desktopFile.empty() || desktopFile.find('/') != std::string::npos)
            return {};
        std::vector<std::string> applicationFolders{dataHome};
        applicationFolders.insert(applicationFolders.end(), dataDirs.begin(), dataDirs.end());
        for (const auto& folder : applicationFolders) {
            std::string path = folder + "/applications/" + desktopFile;
            if (FileExists(path))
                return RemoveFieldCodes(KeyFileValue(path, "Desktop Entry", "Exec"));
        }
    } catch (...) {
        // A desktop without a usable handler simply has no default client.
    }
    return {};
}
