#include "mail/mime_parameters.h"

#include "records/text_helpers.h"

#include "mail/hex_escapes.h"

#include "mail/charset_conversion.h"

#include <map>
#include <vector>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

struct Parameter {
    std::string Name;
    std::string Value;
};

// Splits at ";" outside quotes; the first piece (the media type) is skipped.
std::vector<Parameter> Parameters(std::string_view value) {
    std::vector<Parameter> parameters;
    std::string piece;
    bool quoted = false;
    bool first = true;
    auto flush = [&] {
        if (!first) {
            size_t equals = piece.find('=');
            if (equals != std::string::npos) {
                parameters.push_back({LowerAscii(std::string(TrimBlanks(std::string_view(piece).substr(0, equals)))),
                                      piece.substr(equals + 1)});
            }
        }
        first = false;
        piece.clear();
    };
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == '\\' && quoted && i + 1 < value.size()) {
            piece += c;
            c = value[++i];
        } else if (c == ';' && !quoted) {
            flush();
            continue;
        }
        piece += c;
    }
    flush();
    return parameters;
}

std::string Unquoted(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty() || text.front() != '"') {
        return std::string(text);
    }
    std::string value;
    for (size_t i = 1; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            ++i;
        }
        value += text[i];
    }
    return value;
}

std::string PercentDecoded(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (char byte; HexEscapeAt(text, i, '%', byte)) {
            bytes += byte;
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// An RFC 2231 value: charset'language'percent-encoded text.
std::string ExtendedValue(const std::string& text) {
    size_t firstQuote = text.find('\'');
    size_t secondQuote = firstQuote == std::string::npos ? std::string::npos : text.find('\'', firstQuote + 1);
    if (secondQuote == std::string::npos) {
        return PercentDecoded(text);
    }
    std::string charset = text.substr(0, firstQuote);
    std::string bytes = PercentDecoded(std::string_view(text).substr(secondQuote + 1));
    std::string converted;
    if (charset.empty() || SameCharset(charset, LocaleCharset()) ||
        !ConvertCharset(bytes, charset, LocaleCharset(), converted)) {
        return bytes;
    }
    return converted;
}

// Section number of "name*3" or "name*3*", or -1 when the parameter is no section of name.
int SectionNumber(const std::string& parameter, const std::string& name, bool& extended) {
    if (parameter.compare(0, name.size() + 1, name + "*") != 0) {
        return -1;
    }
    std::string rest = parameter.substr(name.size() + 1);
    extended = !rest.empty() && rest.back() == '*';
    if (extended) {
        rest.pop_back();
    }
    if (rest.empty() || rest.size() > 3 || rest.find_first_not_of("0123456789") != std::string::npos) {
        return -1;
    }
    return std::stoi(rest);
}

} // namespace

std::string MediaType(std::string_view value) {
    return LowerAscii(std::string(TrimBlanks(value.substr(0, value.find(';')))));
}

std::string HeaderParameter(std::string_view value, std::string_view name) {
    std::string key = LowerAscii(std::string(name));
    std::map<int, std::pair<std::string, bool>> sections;
    for (const Parameter& parameter : Parameters(value)) {
        if (parameter.Name == key) {
            return Unquoted(parameter.Value);
        }
        if (parameter.Name == key + "*") {
            return ExtendedValue(Unquoted(parameter.Value));
        }
        bool extended = false;
        int section = SectionNumber(parameter.Name, key, extended);
        if (section >= 0 && sections.count(section) == 0) {
            sections[section] = {Unquoted(parameter.Value), extended};
        }
    }
    if (sections.empty()) {
        return std::string();
    }
    // The first section carries the charset of the whole value.
    std::string joined;
    bool extended = sections.begin()->second.second;
    for (const auto& [number, section] : sections) {
        joined += section.first;
    }
    return extended ? ExtendedValue(joined) : joined;
}
