#include "import/eudora_personalities.h"

#include "import/eudora_location.h"
#include "platform/paths.h"
#include "platform/windows_text.h"
#include "records/ini_document.h"
#include "records/text_helpers.h"

#include <exception>

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
