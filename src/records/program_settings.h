#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// The program settings: section "Settings" of "vantrel.ini" in the data
// folder, held in memory in the process-wide record ProgramSettings, and the
// two message templates that belong to them.

inline constexpr char SettingsSection[] = "Settings";

// The largest "Timeout" (seconds) whose milliseconds fit in 32 bits, as the
// socket layer takes them; larger values are lowered to it when loaded.
inline constexpr int32_t MaxTimeoutSeconds = INT32_MAX / 1000;

// One field per key of section "Settings", named as the key. A new record
// holds the defaults of SettingsTable(); EmailClient starts empty because its
// default (the desktop's mail client) is looked up by LoadSettings.
struct SettingsRecord {
    SettingsRecord();

    std::string EmailClient;
    bool AutoScan = false;
    int32_t AutoScanMin = 0;
    bool AutoDelSpam = false;
    uint8_t AutoDelSpamDays = 0;
    bool PasswordProtect = false;
    std::string Password; // clear text; scrambled in the file
    bool NoAskApprove = false;
    bool NoChallenge = false;
    bool SyncAddressBook = false;
    bool SpamNotRecipient = false;
    bool ApproveMailerDaemonPostmaster = false;
    bool NoNullMailFrom = false;
    bool ConnectInternet = false;
    bool CheckUpdate = false;
    int32_t CheckUpdateLast = 0;
    int32_t Timeout = 0;
    // Never challenge a sender the receiving mail system found forged.
    bool SkipForgedSenders = false;
};

// One row of the settings table: the key, what kind of value it holds, the
// field it is kept in, its default and the limit applied when it is loaded.
// The table is the only place that names the keys; loading, saving and the
// command line all go through it.
struct SettingInfo {
    enum Kind { Text, Bool, Integer, Byte, Password };
    using FieldPointer = std::variant<std::string SettingsRecord::*, bool SettingsRecord::*, int32_t SettingsRecord::*,
                                      uint8_t SettingsRecord::*>;

    const char* Key;
    Kind kind;
    FieldPointer Field;
    int DefaultNumber = 0;                     // Bool (0 or 1), Integer, Byte
    const char* DefaultText = "";              // Text, Password
    std::string (*ComputeDefault)() = nullptr; // a text default looked up when loading
    int Minimum = INT_MIN;                     // values below become Minimum when loaded
    int Maximum = INT_MAX;                     // values above become Maximum when loaded
};

// Every key of section "Settings" that SaveSettings writes, in the order of
// loading and saving. ("NumAccounts" belongs to the account store; the window
// geometry to LoadWindowState/SaveWindowState.)
const std::vector<SettingInfo>& SettingsTable();

// The row of a key (matched without regard to case), or nullptr.
const SettingInfo* FindSetting(const std::string& key);

// A number with the row's load limit applied.
int ApplyLoadLimit(const SettingInfo& info, int value);

// The field's value as it would be written, but passwords in clear:
// booleans "1"/"0", numbers in decimal.
std::string SettingText(const SettingsRecord& settings, const SettingInfo& info);

// Sets the field from text as the user gives it, applying the load limit.
// Numbers follow the file's rule (decimal or "0x" hexadecimal); booleans take
// a number (non-zero is true) or yes/no, true/false, on/off. Returns an error
// text when the value does not parse (the field is then left alone), else "".
std::string SetSettingFromText(SettingsRecord& settings, const SettingInfo& info, const std::string& text);

extern SettingsRecord ProgramSettings;
extern std::string ChallengeTemplate;
extern std::string PostResponseTemplate;

// The default message texts: lines joined by CR LF, no line end after the last.
std::string DefaultChallengeTemplate();
std::string DefaultPostResponseTemplate();

// DataFolder() + "/vantrel.ini". Raises what DataFolder raises.
std::string SettingsFilePath();

// Reads every key of the table into ProgramSettings with its default and load
// limit (a missing or unreadable file or value gives the default, silently),
// gives an empty template its default text and trims both templates, then
// reads "NumAccounts" for StoredAccountCount(). Raises std::runtime_error
// only when the data folder cannot be created.
void LoadSettings();

// Writes every key of the table into the settings file in one atomic
// replacement that keeps every other line, then, when the process registers
// start at logon (SetStartAtLogonProgramFolder), registers the desktop
// program to start at logon (one autostart entry). Raises std::runtime_error
// with the system's text when the file cannot be read or written or the
// entry cannot be written; the previous file then stays whole.
void SaveSettings();

// The folder of the desktop program that SaveSettings registers to start at
// logon; "" (the default) registers nothing. The desktop program sets it at
// start when it runs installed; the command line leaves it empty: the entry
// names the desktop program, never a build folder, and a command run on a
// --data-dir must not reach the user's real autostart folder.
void SetStartAtLogonProgramFolder(const std::string& folder);

// The network time-out of the settings in milliseconds, computed in 64 bits
// and kept within 0..INT32_MAX whatever the field holds.
int32_t TimeoutMilliseconds(const SettingsRecord& settings);

// "NumAccounts" as LoadSettings last read it (0 before), but never above the
// highest "Account" + n section of the file: records up to that one are
// loaded, a missing section below it giving the defaults.
int StoredAccountCount();
