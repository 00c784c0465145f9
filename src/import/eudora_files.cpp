#include "import/eudora_files.h"

#include "platform/paths.h"
#include "platform/registry_hive.h"
#include "platform/windows_text.h"
#include "platform/wine_paths.h"
#include "records/ini_document.h"
#include "records/text_helpers.h"

#include <cstdlib>
#include <exception>
#include <optional>

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

std::string DropLeadingSpaces(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string FirstWord(const std::string& line) {
    size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    size_t end = line.find(' ', start);
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

void AppendItems(const std::string& text, char separator, std::vector<std::string>& items) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

struct AliasParts {
    std::string Name;
    std::string Addresses;
};

// An "alias" line: the nickname's name (plain or in double quotes) after the
// first space, then the comma-separated addresses.
AliasParts SplitAlias(const std::string& line) {
    size_t space = line.find(' ');
    std::string rest = space == std::string::npos ? std::string() : line.substr(space + 1);
    if (rest.empty() || rest[0] == ' ')
        return {{}, DropLeadingSpaces(rest)};
    if (rest[0] == '"') {
        size_t close = rest.find('"', 1);
        if (close == std::string::npos)
            return {rest.substr(1), {}};
        std::string after = rest.substr(close + 1);
        std::erase(after, '"');
        return {rest.substr(1, close - 1), DropLeadingSpaces(after)};
    }
    size_t nameEnd = rest.find(' ');
    if (nameEnd == std::string::npos)
        return {{}, rest};
    return {rest.substr(0, nameEnd), DropLeadingSpaces(rest.substr(nameEnd + 1))};
}

void Finish(std::optional<EudoraNickname>& current, std::vector<EudoraNickname>& nicknames) {
    if (current && !current->Addresses.empty())
        nicknames.push_back(std::move(*current));
    current.reset();
}

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

bool ReadEudoraNicknames(const std::string& folder, std::vector<EudoraNickname>& nicknames) {
    nicknames.clear();
    std::string path = folder + EudoraNicknameFile;
    std::string content;
    if (!FileExists(path) || !ReadWholeFile(path, content))
        return false;
    std::vector<EudoraNickname> result;
    std::optional<EudoraNickname> current;
    for (const auto& line : SplitLines(content)) {
        std::string word = FirstWord(line);
        if (word == "alias") {
            Finish(current, result);
            AliasParts alias = SplitAlias(line);
            current.emplace();
            current->Name = alias.Name;
            AppendItems(alias.Addresses, ',', current->Addresses);
        } else if (word == "note") {
            if (!current)
                return false;
            const std::string marker = "<otheremail:";
            size_t start = line.find(marker);
            if (start == std::string::npos)
                continue;
            start += marker.size();
            size_t end = line.find('>', start);
            if (end != std::string::npos)
                AppendItems(line.substr(start, end - start), '\x03', current->Addresses);
        }
    }
    Finish(current, result);
    nicknames = std::move(result);
    return true;
}

namespace {

constexpr size_t MaxPersonalityText = 255;

// Eudora's strings are read into buffers of 255 characters.
std::string PersonalityText(const IniDocument& ini, const std::string& section, const char* key) {
    std::string text = NarrowFromAnsi(ini.ReadString(section, key, ""));
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > MaxPersonalityText)
            return text.substr(0, i);
    return text;
}

EudoraPersonality ReadPersonality(const IniDocument& ini, const std::string& section) {
    EudoraPersonality personality;
    if (SameText(section, "Settings")) {
        personality.Name = "Dominant";
    } else {
        size_t dash = section.find('-');
        personality.Name = NarrowFromAnsi(dash == std::string::npos ? section : section.substr(dash + 1));
    }
    personality.RealName = PersonalityText(ini, section, "RealName");
    personality.ReturnAddress = PersonalityText(ini, section, "ReturnAddress");
    personality.LoginName = PersonalityText(ini, section, "LoginName");
    personality.SMTPServer = PersonalityText(ini, section, "SMTPServer");
    personality.PopServer = PersonalityText(ini, section, "PopServer");
    personality.SmtpAuthAllowed = ini.ReadBool(section, "SmtpAuthAllowed", false);
    return personality;
}

} // namespace

bool ReadEudoraPersonalities(const std::string& folder, std::vector<EudoraPersonality>& personalities) {
    personalities.clear();
    const std::string path = folder + EudoraSettingsFile;
    if (!FileExists(path))
        return false;
    try {
        IniDocument ini;
        ini.LoadFromFile(path);
        std::vector<std::string> sections{"Settings"};
        for (const std::string& key : ini.KeyNames("Personalities"))
            sections.push_back(ini.ReadString("Personalities", key, ""));
        std::vector<EudoraPersonality> result;
        for (const std::string& section : sections)
            result.push_back(ReadPersonality(ini, section));
        personalities = std::move(result);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
