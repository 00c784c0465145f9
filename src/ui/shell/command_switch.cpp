#include "ui/shell/command_switch.h"

#include "records/text_helpers.h"

bool HasSwitch(const std::vector<std::string>& arguments, const std::string& name) {
    std::string wanted = UpperAscii(name);
    for (const auto& argument : arguments) {
        std::string word = TextBefore(UpperAscii(argument), ":");
        if (word == "/" + wanted || word == "-" + wanted)
            return true;
    }
    return false;
}
