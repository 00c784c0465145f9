#include "cli/options.h"

#include "cli/cli_context.h"

#include <charconv>

Options::Options(const std::vector<std::string>& arguments, const std::set<std::string>& valued,
                 const std::set<std::string>& flags) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            m_positional.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::optional<std::string> inlineValue;
        if (auto equals = name.find('='); equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.erase(equals);
        }
        if (flags.count(name)) {
            if (inlineValue)
                throw UsageError("--" + name + " takes no value");
            m_values.emplace(name, "");
        } else if (valued.count(name)) {
            if (!inlineValue && i + 1 >= arguments.size())
                throw UsageError("--" + name + " needs a value");
            m_values.emplace(name, inlineValue ? *inlineValue : arguments[++i]);
        } else {
            throw UsageError("unknown option --" + name);
        }
    }
}

std::optional<std::string> Options::Value(const std::string& name) const {
    auto found = m_values.find(name);
    if (found == m_values.end())
        return std::nullopt;
    return found->second;
}

std::vector<std::string> Options::Values(const std::string& name) const {
    std::vector<std::string> values;
    auto range = m_values.equal_range(name);
    for (auto it = range.first; it != range.second; ++it)
        values.push_back(it->second);
    return values;
}

std::optional<int> ParseInteger(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}
