#pragma once

#include <string>
#include <vector>

// Eudora's accounts, which it calls personalities, in "Eudora.ini".

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

// Reads folder + "Eudora.ini": the personality of the section "Settings",
// then one for each value of the section "Personalities", in the order of
// its keys (each value names a personality's section). Texts are cut to 255
// characters and kept as UTF-8 (ANSI text is converted). Returns false (and
// no personalities) when the file is missing or cannot be read.
bool ReadEudoraPersonalities(const std::string& folder, std::vector<EudoraPersonality>& personalities);
