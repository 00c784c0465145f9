#include "records/settings_file.h"

#include "records/program_settings.h"

#include <stdexcept>

IniDocument ReadSettingsFileOrEmpty() {
    std::string path = SettingsFilePath();
    IniDocument ini;
    try {
        ini.LoadFromFile(path);
    } catch (const std::runtime_error&) {
        // An unreadable file gives the defaults, as a missing one does.
    }
    return ini;
}

void ChangeSettingsFile(const std::function<void(IniDocument&)>& change) {
    std::string path = SettingsFilePath();
    IniDocument ini;
    ini.LoadFromFile(path);
    change(ini);
    ini.SaveToFile(path);
}
