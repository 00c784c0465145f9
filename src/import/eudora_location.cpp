#include "import/eudora_location.h"

#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "platform/wine_paths.h"

#include <cstdlib>
#include <exception>
#include <optional>
#include <vector>

namespace {

constexpr size_t MaxEnvironmentFolderLength = 259;
const char* const EudoraKey = "Software\\Qualcomm\\Eudora";

// Thrown inside the registry steps; ends them and the search goes on.
struct RegistryStepsEnded {};

std::string WithBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

// Everything up to and including the last "\" or ":".
std::string FolderPart(const std::string& path) {
    size_t last = path.find_last_of("\\:");
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::vector<std::string> SplitAtSpaces(const std::string& text) {
    std::vector<std::string> words;
    size_t position = 0;
    while (position < text.size()) {
        size_t start = text.find_first_not_of(' ', position);
        if (start == std::string::npos)
            break;
        size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        words.push_back(text.substr(start, end - start));
        position = end;
    }
    return words;
}

// A string value the steps read; a value of another type ends the steps.
std::string StringValue(const RegistryKey& key, const std::string& name) {
    const RegistryValue* value = key.Value(name);
    if (!value)
        return {};
    auto text = key.ReadString(name);
    if (!text)
        throw RegistryStepsEnded{};
    return *text;
}

class FolderSearch {
public:
    FolderSearch(const std::string& fileName, const RegistryHive& currentUser, const RegistryHive& localMachine)
        : m_fileName(fileName), m_currentUser(currentUser), m_localMachine(localMachine) {}

    std::string Run() {
        if (auto found = FromEnvironment())
            return *found;
        try {
            if (auto found = FromRegistry())
                return *found;
        } catch (const RegistryStepsEnded&) {
        }
        if (auto found = Holds(WithBackslash(AppDataFolder()) + "Qualcomm\\Eudora\\"))
            return *found;
        if (auto found = Holds(WithBackslash(ProgramFilesFolder()) + "Qualcomm\\Eudora\\"))
            return *found;
        return {};
    }

private:
    // The local folder when the Windows folder holds the file. An empty
    // folder would only look in whatever the current folder happens to be,
    // so it holds nothing.
    std::optional<std::string> Holds(const std::string& windowsFolder) const {
        if (windowsFolder.empty())
            return std::nullopt;
        std::string local = MapWindowsPath(windowsFolder);
        if (local.empty())
            return std::nullopt;
        local = IncludeTrailingDelimiter(local);
        if (FileExists(local + m_fileName))
            return local;
        return std::nullopt;
    }

    std::optional<std::string> FromEnvironment() const {
        const char* value = std::getenv("EUDORA");
        if (!value)
            return std::nullopt;
        std::string folder = value;
        if (folder.empty() || folder.size() > MaxEnvironmentFolderLength)
            return std::nullopt;
        if (folder[0] == '/') {
            folder = IncludeTrailingDelimiter(folder);
            if (FileExists(folder + m_fileName))
                return folder;
            return std::nullopt;
        }
        return Holds(WithBackslash(folder));
    }

    std::optional<std::string> FromRegistry() const {
        const RegistryKey* eudora = m_currentUser.OpenKey(EudoraKey);
        if (!eudora)
            throw RegistryStepsEnded{}; // "Unable to open registry key HKCU\Software\Qualcomm\Eudora"
        if (auto found = FromDriveWalk(*eudora))
            return found;
        const RegistryKey* commandLine = m_currentUser.OpenKey(std::string(EudoraKey) + "\\CommandLine");
        if (commandLine) {
            for (const auto& word : SplitAtSpaces(StringValue(*commandLine, "current"))) {
                std::string folder = FolderPart(word);
                if (folder.empty())
                    throw RegistryStepsEnded{};
                if (auto found = Holds(WithBackslash(folder)))
                    return found;
            }
        }
        const RegistryKey& base = commandLine ? *commandLine : m_currentUser.Root();
        const RegistryKey* launchManager = base.OpenKey("LaunchManager");
        if (!launchManager)
            throw RegistryStepsEnded{};
        return Holds(FolderPart(StringValue(*launchManager, "DLLPath")));
    }

    // The registry mirrors the folder path one key per level below a drive
    // key such as "C:"; only the first drive key is walked.
    std::optional<std::string> FromDriveWalk(const RegistryKey& eudora) const {
        for (const auto& name : eudora.SubKeyNames()) {
            if (name.size() != 2 || name[1] != ':')
                continue;
            const RegistryKey* key = eudora.OpenKey(name);
            if (!key)
                continue;
            std::string folder = name + "\\";
            while (key && key->HasSubKeys()) {
                std::string first = key->SubKeyNames().front();
                folder += first + "\\";
                key = key->OpenKey(first);
            }
            return Holds(folder);
        }
        return std::nullopt;
    }

    std::string AppDataFolder() const {
        const RegistryKey* folders =
            m_currentUser.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
        if (folders)
            if (auto appData = folders->ReadString("AppData"); appData && !appData->empty())
                return *appData;
        const char* user = std::getenv("USER");
        return user && *user ? std::string("C:\\users\\") + user + "\\AppData\\Roaming" : std::string();
    }

    // Eudora is a 32-bit program: on a 64-bit prefix its program-files
    // folder is the "(x86)" one.
    std::string ProgramFilesFolder() const {
        if (const RegistryKey* key = m_localMachine.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion")) {
            for (const char* name : {"ProgramFilesDir (x86)", "ProgramFilesDir"})
                if (auto folder = key->ReadString(name); folder && !folder->empty())
                    return *folder;
        }
        return "C:\\Program Files";
    }

    const std::string& m_fileName;
    const RegistryHive& m_currentUser;
    const RegistryHive& m_localMachine;
};

} // namespace

std::string FindEudoraFolder(const std::string& fileName) {
    return FindEudoraFolder(fileName, CurrentUserHive(), LocalMachineHive());
}

std::string FindEudoraFolder(const std::string& fileName, const RegistryHive& currentUser,
                             const RegistryHive& localMachine) {
    try {
        return FolderSearch(fileName, currentUser, localMachine).Run();
    } catch (const std::exception&) {
        return {};
    }
}
