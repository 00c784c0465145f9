#include "records/program_settings.h"

#include "platform/autostart.h"
#include "platform/data_folder.h"
#include "platform/mail_client.h"
#include "platform/paths.h"
#include "records/ini_document.h"
#include "records/password_scramble.h"
#include "records/settings_file.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <stdexcept>

SettingsRecord ProgramSettings;
std::string ChallengeTemplate;
std::string PostResponseTemplate;

namespace {

int g_storedAccountCount = 0;
std::string g_startAtLogonFolder;

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
// Spelt out: Clang 14 does not deduce template arguments of aggregates.
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

SettingInfo Row(const char* key, SettingInfo::Kind kind, SettingInfo::FieldPointer field, int defaultNumber = 0,
                int minimum = INT_MIN, int maximum = INT_MAX) {
    SettingInfo info{key, kind, field};
    info.DefaultNumber = defaultNumber;
    info.Minimum = minimum;
    info.Maximum = maximum;
    return info;
}

std::vector<SettingInfo> BuildTable() {
    using S = SettingInfo;
    using P = SettingsRecord;
    SettingInfo emailClient = Row("EmailClient", S::Text, &P::EmailClient);
    emailClient.ComputeDefault = DefaultMailClient;
    return {
        emailClient,
        Row("AutoScan", S::Bool, &P::AutoScan, 0),
        Row("AutoScanMin", S::Integer, &P::AutoScanMin, 10, 1),
        Row("AutoDelSpam", S::Bool, &P::AutoDelSpam, 1),
        // Held in one byte: larger values are clamped rather than wrapped.
        Row("AutoDelSpamDays", S::Byte, &P::AutoDelSpamDays, 14, 5, 255),
        Row("PasswordProtect", S::Bool, &P::PasswordProtect, 0),
        Row("Password", S::Password, &P::Password),
        Row("NoAskApprove", S::Bool, &P::NoAskApprove, 0),
        Row("NoChallenge", S::Bool, &P::NoChallenge, 0),
        Row("SyncAddressBook", S::Bool, &P::SyncAddressBook, 1),
        Row("SpamNotRecipient", S::Bool, &P::SpamNotRecipient, 1),
        Row("ApproveMailerDaemonPostmaster", S::Bool, &P::ApproveMailerDaemonPostmaster, 1),
        Row("NoNullMailFrom", S::Bool, &P::NoNullMailFrom, 0),
        Row("ConnectInternet", S::Bool, &P::ConnectInternet, 1),
        Row("CheckUpdate", S::Bool, &P::CheckUpdate, 1),
        Row("CheckUpdateLast", S::Integer, &P::CheckUpdateLast, -1),
        Row("Timeout", S::Integer, &P::Timeout, 60, 30, MaxTimeoutSeconds),
        Row("SkipForgedSenders", S::Bool, &P::SkipForgedSenders, 1),
    };
}

std::string TextOf(const SettingsRecord& settings, const SettingInfo& info) {
    return settings.*std::get<std::string SettingsRecord::*>(info.Field);
}

void StoreText(SettingsRecord& settings, const SettingInfo& info, std::string value) {
    settings.*std::get<std::string SettingsRecord::*>(info.Field) = std::move(value);
}

int NumberOf(const SettingsRecord& settings, const SettingInfo& info) {
    return std::visit(Overloaded{[&](std::string SettingsRecord::*) { return 0; },
                                 [&](bool SettingsRecord::*field) { return settings.*field ? 1 : 0; },
                                 [&](int32_t SettingsRecord::*field) { return int{settings.*field}; },
                                 [&](uint8_t SettingsRecord::*field) { return int{settings.*field}; }},
                      info.Field);
}

// The number must already lie within the row's limits.
void StoreNumber(SettingsRecord& settings, const SettingInfo& info, int value) {
    std::visit(Overloaded{[&](std::string SettingsRecord::*) {},
                          [&](bool SettingsRecord::*field) { settings.*field = value != 0; },
                          [&](int32_t SettingsRecord::*field) { settings.*field = value; },
                          [&](uint8_t SettingsRecord::*field) {
                              settings.*field = static_cast<uint8_t>(std::clamp(value, 0, 255));
                          }},
               info.Field);
}

bool IsTextKind(const SettingInfo& info) {
    return info.kind == SettingInfo::Text || info.kind == SettingInfo::Password;
}

void ReadSetting(const IniDocument& ini, SettingsRecord& settings, const SettingInfo& info) {
    switch (info.kind) {
    case SettingInfo::Text:
        StoreText(
            settings, info,
            ini.ReadString(SettingsSection, info.Key, info.ComputeDefault ? info.ComputeDefault() : info.DefaultText));
        break;
    case SettingInfo::Password:
        StoreText(settings, info,
                  ini.ValueExists(SettingsSection, info.Key)
                      ? UnscramblePassword(ini.ReadString(SettingsSection, info.Key, ""))
                      : info.DefaultText);
        break;
    case SettingInfo::Bool:
        StoreNumber(settings, info, ini.ReadBool(SettingsSection, info.Key, info.DefaultNumber != 0) ? 1 : 0);
        break;
    case SettingInfo::Integer:
    case SettingInfo::Byte:
        StoreNumber(settings, info,
                    ApplyLoadLimit(info, ini.ReadInteger(SettingsSection, info.Key, info.DefaultNumber)));
        break;
    }
}

void WriteSetting(IniDocument& ini, const SettingsRecord& settings, const SettingInfo& info) {
    switch (info.kind) {
    case SettingInfo::Text:
        ini.WriteString(SettingsSection, info.Key, TextOf(settings, info));
        break;
    case SettingInfo::Password:
        ini.WriteString(SettingsSection, info.Key, ScramblePassword(TextOf(settings, info)));
        break;
    case SettingInfo::Bool:
        ini.WriteBool(SettingsSection, info.Key, NumberOf(settings, info) != 0);
        break;
    case SettingInfo::Integer:
    case SettingInfo::Byte:
        ini.WriteInteger(SettingsSection, info.Key, NumberOf(settings, info));
        break;
    }
}

// The highest n of a section "Account" + n (n in decimal without leading
// zeros, as the account store writes it), 0 when there is none. A hand-edited
// "NumAccounts" far beyond it would otherwise load millions of empty records.
int HighestAccountSection(const IniDocument& ini) {
    int highest = 0;
    for (const std::string& name : ini.SectionNames()) {
        if (name.size() <= 7 || !SameText(name.substr(0, 7), "Account") || name[7] < '1' || name[7] > '9')
            continue;
        int number = 0;
        auto [end, error] = std::from_chars(name.data() + 7, name.data() + name.size(), number);
        if (error == std::errc() && end == name.data() + name.size())
            highest = std::max(highest, number);
    }
    return highest;
}

std::optional<bool> ParseBoolText(const std::string& text) {
    std::string word = LowerAscii(Trim(text));
    for (const char* yes : {"yes", "true", "on"})
        if (word == yes)
            return true;
    for (const char* no : {"no", "false", "off"})
        if (word == no)
            return false;
    if (auto number = ParseIniInteger(word))
        return *number != 0;
    return std::nullopt;
}

} // namespace

SettingsRecord::SettingsRecord() {
    for (const SettingInfo& info : SettingsTable()) {
        if (IsTextKind(info))
            StoreText(*this, info, info.DefaultText);
        else
            StoreNumber(*this, info, info.DefaultNumber);
    }
}

const std::vector<SettingInfo>& SettingsTable() {
    static const std::vector<SettingInfo> table = BuildTable();
    return table;
}

const SettingInfo* FindSetting(const std::string& key) {
    for (const SettingInfo& info : SettingsTable())
        if (SameText(info.Key, key))
            return &info;
    return nullptr;
}

int ApplyLoadLimit(const SettingInfo& info, int value) {
    return std::clamp(value, info.Minimum, info.Maximum);
}

std::string SettingText(const SettingsRecord& settings, const SettingInfo& info) {
    if (IsTextKind(info))
        return TextOf(settings, info);
    return std::to_string(NumberOf(settings, info));
}

std::string SetSettingFromText(SettingsRecord& settings, const SettingInfo& info, const std::string& text) {
    switch (info.kind) {
    case SettingInfo::Text:
    case SettingInfo::Password:
        StoreText(settings, info, text);
        return {};
    case SettingInfo::Bool:
        if (auto value = ParseBoolText(text)) {
            StoreNumber(settings, info, *value ? 1 : 0);
            return {};
        }
        return "\"" + text + "\" is not a valid value for " + info.Key + ": use 1 or 0.";
    case SettingInfo::Integer:
    case SettingInfo::Byte:
        if (auto value = ParseIniInteger(text)) {
            StoreNumber(settings, info, ApplyLoadLimit(info, *value));
            return {};
        }
        return "\"" + text + "\" is not a valid value for " + info.Key + ": a whole number is expected.";
    }
    return {};
}

std::string DefaultChallengeTemplate() {
    return JoinWith({"Dear %Sender-Name%,", "",
                     "My spam blocker has put your message on hold because you are not yet on my",
                     "approved list.  To request to be added to my approved list so that I can receive",
                     "your current and future messages, please do this:", "",
                     "Click Reply and send this message back to me.", "", "Thank you.", "%My-Name%"},
                    "\r\n");
}

std::string DefaultPostResponseTemplate() {
    return JoinWith({"Dear %Sender-Name%,", "",
                     "Congratulations, you have been added to my approved list and I am now able to",
                     "receive your current and future messages.", "", "Thank you.", "%My-Name%"},
                    "\r\n");
}

std::string SettingsFilePath() {
    return IncludeTrailingDelimiter(DataFolder()) + "vantrel.ini";
}

void LoadSettings() {
    IniDocument ini = ReadSettingsFileOrEmpty();
    SettingsRecord loaded;
    for (const SettingInfo& info : SettingsTable())
        ReadSetting(ini, loaded, info);
    ProgramSettings = loaded;

    if (ChallengeTemplate.empty())
        ChallengeTemplate = DefaultChallengeTemplate();
    if (PostResponseTemplate.empty())
        PostResponseTemplate = DefaultPostResponseTemplate();
    ChallengeTemplate = Trim(ChallengeTemplate);
    PostResponseTemplate = Trim(PostResponseTemplate);

    g_storedAccountCount = std::min(ini.ReadInteger(SettingsSection, "NumAccounts", 0), HighestAccountSection(ini));
}

void SaveSettings() {
    ChangeSettingsFile([](IniDocument& ini) {
        for (const SettingInfo& info : SettingsTable())
            WriteSetting(ini, ProgramSettings, info);
    });
    if (!g_startAtLogonFolder.empty())
        RegisterStartAtLogon(g_startAtLogonFolder);
}

void SetStartAtLogonProgramFolder(const std::string& folder) {
    g_startAtLogonFolder = folder;
}

int32_t TimeoutMilliseconds(const SettingsRecord& settings) {
    int64_t milliseconds = int64_t{settings.Timeout} * 1000;
    return static_cast<int32_t>(std::clamp<int64_t>(milliseconds, 0, INT32_MAX));
}

int StoredAccountCount() {
    return g_storedAccountCount;
}
