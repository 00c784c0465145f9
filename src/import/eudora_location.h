#pragma once

#include <string>

class RegistryHive;

// Where Eudora keeps its files.

inline constexpr char EudoraNicknameFile[] = "NNdbase.txt";
inline constexpr char EudoraSettingsFile[] = "Eudora.ini";

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
