#include "platform/environment.h"

#include <cstdlib>

namespace {
constexpr size_t MaxExpandedLength = 254;
}

std::string ExpandEnvironment(const std::string& text) {
    std::string result;
    size_t position = 0;
    while (position < text.size()) {
        size_t open = text.find('%', position);
        if (open == std::string::npos) {
            result.append(text, position, std::string::npos);
            break;
        }
        size_t close = text.find('%', open + 1);
        if (close == std::string::npos) {
            result.append(text, position, std::string::npos);
            break;
        }
        result.append(text, position, open - position);
        std::string name = text.substr(open + 1, close - open - 1);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            result += value;
            position = close + 1;
        } else {
            // The closing "%" may open the next reference.
            result.append(text, open, close - open);
            position = close;
        }
    }
    if (result.size() > MaxExpandedLength)
        result.resize(MaxExpandedLength);
    return result;
}
