#pragma once

#include <string>
#include <vector>

class RegistryHive;

// Where Eudora keeps its files, and its nickname file "NNdbase.txt".

inline constexpr char EudoraNicknameFile[] = "NNdbase.txt";
inline constexpr char EudoraSettingsFile[] = "Eudora.ini";

// One personality (Eudora's name for an account) of "Eudora.ini".
struct EudoraPersonality {
    std::string Name; // "Dominant" for "Settings", else the section name after its first '-'
    std::string RealName;
    std::string ReturnAddress;
    std::string LoginName;
    std::string SMTPServer;
    std::string PopServer;
    bool SmtpAuthAllowed = false;
};

// One nickname of "NNdbase.txt": a name and its address strings.
struct EudoraNickname {
    std::string Name;
    std::vector<std::string> Addresses;
};

// The Eudora folder that holds fileName ("Eudora.ini" or "NNdbase.txt"), as
// a local folder ending in "/", or "" when none is found. Looks, in order,
// at the EUDORA environment variable, the drive and folder keys below
// HKEY_CURRENT_USER "Software\Qualcomm\Eudora", its "CommandLine" value
// "current", the "LaunchManager" value "DLLPath", then the application-data
// and program-files folders followed by "Qualcomm\Eudora\". Windows paths
// are mapped into the Wine prefix (MapWindowsPath). Never throws.
std::string FindEudoraFolder(const std::string& fileName);
// The same over given HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE hives.
std::string FindEudoraFolder(const std::string& fileName, const RegistryHive& currentUser,
                             const RegistryHive& localMachine);

// Reads folder + "NNdbase.txt": the nicknames that have at least one
// address, in file order. Returns false (and no nicknames) when the file is
// missing or cannot be read, or when a "note" line comes before any "alias"
// line. Addresses are given as written, untrimmed.
bool ReadEudoraNicknames(const std::string& folder, std::vector<EudoraNickname>& nicknames);

// Reads folder + "Eudora.ini": the personality of the section "Settings",
// then one for each value of the section "Personalities", in the order of
// its keys (each value names a personality's section). Texts are cut to 255
// characters and kept as UTF-8 (ANSI text is converted). Returns false (and
// no personalities) when the file is missing or cannot be read.
bool ReadEudoraPersonalities(const std::string& folder, std::vector<EudoraPersonality>& personalities);
