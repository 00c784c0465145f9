#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// A small parser for "--name value", "--name=value" and "--flag" options
// mixed with positional words. Unknown options are usage errors.
class Options {
public:
    // valued: options that take a value; flags: options that do not.
    Options(const std::vector<std::string>& arguments, const std::set<std::string>& valued,
            const std::set<std::string>& flags);

    bool Has(const std::string& name) const { return m_values.count(name) > 0; }
    std::optional<std::string> Value(const std::string& name) const;
    // Every value of an option that may be repeated, in order.
    std::vector<std::string> Values(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return m_positional; }

private:
    std::multimap<std::string, std::string> m_values;
    std::vector<std::string> m_positional;
};

// Parses a whole decimal number; empty when the text is not one.
std::optional<int> ParseInteger(const std::string& text);
