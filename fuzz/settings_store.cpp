// The settings file with its account sections, and each account's alias
// file: whatever a hand-edited file holds, saving what was loaded and
// loading it again gives the same settings and accounts, and no account's
// files leave the "Accounts" folder. The input is the settings file, then
// optionally a NUL byte and the text every account's alias file gets.
#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "records/program_settings.h"
#include "support/fuzz_check.h"
#include "support/scratch_folder.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {

constexpr int MaxAccounts = 8;

std::string SettingsSnapshot() {
    std::string text;
    for (const SettingInfo& info : SettingsTable())
        text += std::string(info.Key) + "=" + SettingText(ProgramSettings, info) + "\n";
    return text;
}

std::string AccountSnapshot(const Account& a) {
    std::string text = a.ID + "\n" + a.EmailAddress + "\n" + a.ReplyAddress + "\n" + a.DisplayName + "\n" + a.Server +
                       "\n" + std::to_string(a.Port) + "\n" + a.Login + "\n" + a.Password + "\n" + a.SMTPServer + "\n" +
                       std::to_string(a.SMTPPort) + "\n" + std::to_string(a.SMTPAuth) + a.SMTPLogin + "\n" +
                       a.SMTPPassword + "\n" + std::to_string(a.Enabled) +
                       std::to_string(static_cast<int>(a.POP3Security)) +
                       std::to_string(static_cast<int>(a.SMTPSecurity)) + "\n";
    for (const std::string& alias : a.Aliases.Strings())
        text += "alias " + alias + "\n";
    return text;
}

// Loads every stored account (up to a few), as the program does at start.
std::vector<std::string> LoadAccounts() {
    Accounts.Clear();
    std::vector<std::string> snapshots;
    for (int n = 1; n <= std::min(StoredAccountCount(), MaxAccounts); ++n) {
        AppendAccount();
        LoadAccount(n);
        snapshots.push_back(AccountSnapshot(Accounts.Item(n - 1)));
    }
    return snapshots;
}

void CheckFolderInside(int index) {
    std::string folder;
    try {
        folder = AccountFolder(index);
    } catch (const std::runtime_error&) {
        return;
    }
    namespace fs = std::filesystem;
    fs::path accounts = fs::canonical(fs::path(ScratchFolder()) / "Accounts");
    fs::path resolved = fs::canonical(folder);
    FUZZ_CHECK(resolved == accounts || resolved.parent_path() == accounts);
}

void WriteAliasFiles(const std::string& aliases) {
    for (int i = 0; i < Accounts.Count(); ++i) {
        try {
            WriteBytes(AccountFolder(i) + "/aliases.dat", aliases);
        } catch (const std::runtime_error&) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\0');
    std::string settings = input.substr(0, split);
    std::string aliases = split == std::string::npos ? std::string() : input.substr(split + 1);

    EmptyFolder(ScratchFolder());
    WriteBytes(SettingsFilePath(), settings);
    LoadSettings();
    LoadAccounts();
    for (int i = 0; i < Accounts.Count(); ++i)
        CheckFolderInside(i);
    if (!aliases.empty())
        WriteAliasFiles(aliases);

    std::string loadedSettings = SettingsSnapshot();
    std::vector<std::string> loadedAccounts = LoadAccounts();
    SaveSettings();
    for (int n = 1; n <= Accounts.Count(); ++n) {
        try {
            SaveAccount(n);
        } catch (const std::runtime_error&) {
            // An account whose ID names no folder, or whose aliases could
            // not be read, keeps its files as they are.
        }
    }
    LoadSettings();
    FUZZ_CHECK(SettingsSnapshot() == loadedSettings);
    std::vector<std::string> reloadedAccounts = LoadAccounts();
    for (size_t i = 0; i < reloadedAccounts.size() && i < loadedAccounts.size(); ++i)
        if (reloadedAccounts[i] != loadedAccounts[i])
            std::fprintf(stderr, "account %zu loaded:\n%s\nreloaded:\n%s\n", i + 1, loadedAccounts[i].c_str(),
                         reloadedAccounts[i].c_str());
    FUZZ_CHECK(reloadedAccounts == loadedAccounts);
    Accounts.Clear();
    return 0;
}
