#include "cli/commands.h"

#include "cli/stored_state.h"
#include "cli/terminal_prompts.h"
#include "cli/terminal_text.h"
#include "records/ini_document.h"
#include "records/program_settings.h"
#include "records/settings_checks.h"

#include <algorithm>
#include <ostream>

namespace {

std::string DisplayedValue(const SettingInfo& info) {
    std::string value = SettingText(ProgramSettings, info);
    if (info.kind == SettingInfo::Password)
        return value.empty() ? "(empty)" : "(set)";
    return value;
}

int ShowAll(CliContext& context) {
    for (const auto& info : SettingsTable())
        context.Out << info.Key << "=" << TerminalSafe(DisplayedValue(info)) << "\n";
    return ExitOk;
}

// The settings as the user asked for them, before the load limit: the checks
// of the settings page look at what was entered.
SettingsRecord AsEntered(SettingsRecord settings, const SettingInfo& info, const std::string& text) {
    auto number = ParseIniInteger(text);
    if (!number)
        return settings;
    if (auto integer = std::get_if<int32_t SettingsRecord::*>(&info.Field))
        settings.** integer = *number;
    else if (auto byte = std::get_if<uint8_t SettingsRecord::*>(&info.Field))
        settings.** byte = static_cast<uint8_t>(std::clamp(*number, 0, 255));
    return settings;
}

// A check the change would newly fail, or nothing.
SettingsProblem NewProblem(const SettingsRecord& before, const SettingsRecord& after) {
    auto old = SettingsProblems(before);
    for (const auto& problem : SettingsProblems(after))
        if (std::find(old.begin(), old.end(), problem) == old.end())
            return problem;
    return {};
}

int Set(CliContext& context, const std::vector<std::string>& args) {
    if (args.empty() || args.size() > 2)
        throw UsageError("settings set KEY [VALUE]");
    const SettingInfo* info = FindSetting(args[0]);
    if (!info) {
        context.Err << "Unknown setting \"" << TerminalSafe(args[0]) << "\". Known settings:";
        for (const auto& row : SettingsTable())
            context.Err << " " << row.Key;
        context.Err << "\n";
        return ExitFailed;
    }
    std::string text;
    if (args.size() == 2)
        text = args[1];
    else if (info->kind == SettingInfo::Password)
        text = ReadSecretLine(context.In, context.Err, "Password: ", context.InteractiveInput);
    else
        throw UsageError(std::string("settings set ") + info->Key + " needs a value");

    SettingsRecord changed = ProgramSettings;
    if (std::string error = SetSettingFromText(changed, *info, text); !error.empty()) {
        context.Err << TerminalSafe(error) << "\n";
        return ExitFailed;
    }
    if (SettingsProblem problem = NewProblem(ProgramSettings, AsEntered(changed, *info, text)); problem.Found()) {
        context.Err << TerminalSafe(problem.Message) << "\n";
        return ExitFailed;
    }
    ProgramSettings = changed;
    SaveSettings();
    context.Out << info->Key << "=" << TerminalSafe(DisplayedValue(*info)) << "\n";
    return ExitOk;
}

} // namespace

int SettingsCommand(CliContext& context) {
    LoadStoredSettings();
    if (context.Arguments.empty())
        return ShowAll(context);
    if (context.Arguments[0] == "set")
        return Set(context, {context.Arguments.begin() + 1, context.Arguments.end()});
    throw UsageError("settings [set KEY [VALUE]]");
}
