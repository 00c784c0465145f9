#include "platform/registry_text.h"

#include "platform/windows_text.h"

#include <cctype>

namespace {

// ---------------------------------------------------------------- text encoding

std::string NarrowFromUtf16(const std::u16string& units) {
    std::string bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return NarrowFromUtf16Bytes(bytes);
}

// Removes a byte-order mark; UTF-16LE text becomes narrow text.
std::string DecodeFileText(std::string_view raw) {
    if (raw.size() >= 2 && static_cast<unsigned char>(raw[0]) == 0xFF && static_cast<unsigned char>(raw[1]) == 0xFE)
        return NarrowFromUtf16Bytes(raw.substr(2));
    if (raw.size() >= 3 && raw.substr(0, 3) == "\xEF\xBB\xBF")
        return std::string(raw.substr(3));
    return std::string(raw);
}

// ---------------------------------------------------------------- lines

std::string_view TrimSpace(std::string_view text) {
    size_t first = 0;
    while (first < text.size() && (text[first] == ' ' || text[first] == '\t' || text[first] == '\r'))
        ++first;
    size_t last = text.size();
    while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r'))
        --last;
    return text.substr(first, last - first);
}

class LineReader {
public:
    explicit LineReader(std::string_view text) : m_text(text) {}
    bool Next(std::string_view& line) {
        if (m_position > m_text.size() || (m_position == m_text.size() && !m_text.empty()))
            return false;
        size_t end = m_text.find('\n', m_position);
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(m_position, end - m_position);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_position = end + 1;
        return true;
    }

    // The next line when it goes on with binary data (starts with a hex
    // digit); a truncated value must not swallow the key line after it.
    bool NextContinuation(std::string_view& line) {
        size_t saved = m_position;
        if (!Next(line))
            return false;
        std::string_view trimmed = TrimSpace(line);
        if (!trimmed.empty() && std::isxdigit(static_cast<unsigned char>(trimmed[0])))
            return true;
        m_position = saved;
        return false;
    }

private:
    std::string_view m_text;
    size_t m_position = 0;
};

// ---------------------------------------------------------------- parser

enum class Format { Regedit4, Regedit5, Wine };

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string CanonicalRootName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == "HKCU")
        return "HKEY_CURRENT_USER";
    if (upper == "HKLM")
        return "HKEY_LOCAL_MACHINE";
    if (upper == "HKCR")
        return "HKEY_CLASSES_ROOT";
    if (upper == "HKU")
        return "HKEY_USERS";
    return upper;
}

class HiveParser {
public:
    HiveParser(Format format, std::string_view rootName, RegistryKey& root)
        : m_format(format), m_rootName(CanonicalRootName(rootName)), m_root(root) {}

    void Parse(LineReader& lines) {
        std::string_view line;
        while (lines.Next(line)) {
            std::string_view trimmed = TrimSpace(line);
            if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#')
                continue;
            if (trimmed[0] == '[') {
                KeyLine(trimmed);
                continue;
            }
            std::string logical(trimmed);
            // Binary data goes on over lines that end in "\".
            if (IsHexData(logical)) {
                while (logical.back() == '\\' && lines.NextContinuation(line)) {
                    logical.pop_back();
                    logical += TrimSpace(line);
                }
            }
            ValueLine(logical);
        }
    }

private:
    // ------------------------------------------------ strings

    // Reads a string that starts after its opening delimiter and ends at an
    // unescaped closing one; position ends after it. False when unterminated.
    bool ReadWineString(std::string_view text, size_t& position, char close, std::u16string& out) const {
        while (position < text.size()) {
            char c = text[position++];
            if (c == close)
                return true;
            if (c != '\\') {
                out += static_cast<char16_t>(static_cast<unsigned char>(c));
                continue;
            }
            if (position >= text.size())
                return false;
            char e = text[position++];
            switch (e) {
            case 'a':
                out += u'\a';
                break;
            case 'b':
                out += u'\b';
                break;
            case 'e':
                out += char16_t{27};
                break;
            case 'f':
                out += u'\f';
                break;
            case 'n':
                out += u'\n';
                break;
            case 'r':
                out += u'\r';
                break;
            case 't':
                out += u'\t';
                break;
            case 'v':
                out += u'\v';
                break;
            case 'x': {
                unsigned value = 0;
                int digits = 0;
                while (digits < 4 && position < text.size() && HexDigit(text[position]) >= 0) {
                    value = value * 16 + static_cast<unsigned>(HexDigit(text[position++]));
                    ++digits;
                }
                out += digits ? static_cast<char16_t>(value) : u'x';
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    unsigned value = static_cast<unsigned>(e - '0');
                    for (int digits = 1;
                         digits < 3 && position < text.size() && text[position] >= '0' && text[position] <= '7';
                         ++digits)
                        value = value * 8 + static_cast<unsigned>(text[position++] - '0');
                    out += static_cast<char16_t>(value);
                } else {
                    out += static_cast<char16_t>(static_cast<unsigned char>(e));
                }
            }
        }
        return false;
    }

    bool ReadRegeditString(std::string_view text, size_t& position, std::string& out) const {
        while (position < text.size()) {
            char c = text[position++];
            if (c == '"')
                return true;
            if (c != '\\' || position >= text.size()) {
                out += c;
                continue;
            }
            char e = text[position++];
            if (e == 'n')
                out += '\n';
            else if (e == 'r')
                out += '\r';
            else if (e == '0')
                out += '\0';
            else if (e == '\\' || e == '"')
                out += e;
            else {
                out += '\\';
                out += e;
            }
        }
        return false;
    }

    // A quoted string at position (just after the opening quote), as narrow text.
    bool ReadQuoted(std::string_view text, size_t& position, std::string& out) const {
        if (m_format != Format::Wine)
            return ReadRegeditString(text, position, out);
        std::u16string units;
        if (!ReadWineString(text, position, '"', units))
            return false;
        out = NarrowFromUtf16(units);
        return true;
    }

    // ------------------------------------------------ keys

    void KeyLine(std::string_view line) {
        m_current = nullptr;
        if (m_format == Format::Wine) {
            size_t position = 1;
            std::u16string units;
            if (!ReadWineString(line, position, ']', units))
                return;
            m_current = m_root.CreateKey(NarrowFromUtf16(units));
            return;
        }
        size_t close = line.rfind(']');
        if (close == std::string_view::npos)
            return;
        std::string_view path = line.substr(1, close - 1);
        bool remove = !path.empty() && path[0] == '-';
        if (remove)
            path.remove_prefix(1);
        size_t separator = path.find('\\');
        std::string_view root = path.substr(0, separator);
        if (CanonicalRootName(TrimSpace(root)) != m_rootName)
            return;
        std::string_view below = separator == std::string_view::npos ? std::string_view{} : path.substr(separator + 1);
        if (remove)
            m_root.DeleteKey(below);
        else
            m_current = m_root.CreateKey(below);
    }

    // ------------------------------------------------ values

    static bool IsHexData(std::string_view line) {
        size_t equals = DataStart(line);
        return equals != std::string_view::npos && line.substr(equals).substr(0, 3) == "hex";
    }

    // Where the data begins in a value line, found without full parsing:
    // after the "=" that follows the name. npos when there is none.
    static size_t DataStart(std::string_view line) {
        size_t position = 0;
        if (line.empty())
            return std::string_view::npos;
        if (line[0] == '@') {
            position = 1;
        } else if (line[0] == '"') {
            position = 1;
            while (position < line.size() && line[position] != '"')
                position += line[position] == '\\' ? 2 : 1;
            ++position;
        } else {
            return std::string_view::npos;
        }
        while (position < line.size() && (line[position] == ' ' || line[position] == '\t'))
            ++position;
        if (position >= line.size() || line[position] != '=')
            return std::string_view::npos;
        ++position;
        while (position < line.size() && (line[position] == ' ' || line[position] == '\t'))
            ++position;
        return position;
    }

    void ValueLine(std::string_view line) {
        if (!m_current)
            return;
        std::string name;
        size_t position = 1;
        if (line[0] == '"') {
            if (!ReadQuoted(line, position, name))
                return;
        } else if (line[0] != '@') {
            return;
        }
        while (position < line.size() && (line[position] == ' ' || line[position] == '\t'))
            ++position;
        if (position >= line.size() || line[position] != '=')
            return;
        std::string_view data = TrimSpace(line.substr(position + 1));
        if (data == "-" && m_format != Format::Wine) {
            m_current->DeleteValue(name);
            return;
        }
        RegistryValue value;
        if (ParseData(data, value))
            m_current->SetValue(name, std::move(value));
    }

    bool ParseData(std::string_view data, RegistryValue& value) const {
        if (!data.empty() && data[0] == '"')
            return ParseString(data, 1, RegSz, value);
        if (data.substr(0, 4) == "str(") {
            uint32_t type = 0;
            size_t position = 4;
            if (!ParseTypeNumber(data, position, type) || data.substr(position, 2) != ":\"")
                return false;
            return ParseString(data, position + 2, type, value);
        }
        if (data.substr(0, 6) == "dword:")
            return ParseDword(data.substr(6), value);
        if (data.substr(0, 4) == "hex:") {
            value.Type = RegBinary;
            return ParseHexBytes(data.substr(4), value.Data);
        }
        if (data.substr(0, 4) == "hex(") {
            size_t position = 4;
            if (!ParseTypeNumber(data, position, value.Type) || data.substr(position, 1) != ":")
                return false;
            std::string bytes;
            if (!ParseHexBytes(data.substr(position + 1), bytes))
                return false;
            value.Data = IsStringType(value.Type) ? StringDataFromBytes(bytes, value.Type) : std::move(bytes);
            return true;
        }
        return false;
    }

    bool ParseString(std::string_view data, size_t position, uint32_t type, RegistryValue& value) const {
        std::string text;
        if (!ReadQuoted(data, position, text) || !TrimSpace(data.substr(position)).empty())
            return false;
        value.Type = type;
        value.Data = IsStringType(type) ? CutStringData(text, type) : text;
        return true;
    }

    static bool ParseTypeNumber(std::string_view data, size_t& position, uint32_t& type) {
        uint64_t number = 0;
        size_t digits = 0;
        while (position < data.size() && HexDigit(data[position]) >= 0 && digits < 8) {
            number = number * 16 + static_cast<uint64_t>(HexDigit(data[position++]));
            ++digits;
        }
        if (digits == 0 || position >= data.size() || data[position] != ')')
            return false;
        ++position;
        type = static_cast<uint32_t>(number);
        return true;
    }

    static bool ParseDword(std::string_view digits, RegistryValue& value) {
        if (digits.empty() || digits.size() > 8)
            return false;
        uint32_t number = 0;
        for (char c : digits) {
            int digit = HexDigit(c);
            if (digit < 0)
                return false;
            number = number * 16 + static_cast<uint32_t>(digit);
        }
        value.Type = RegDword;
        value.Data.clear();
        for (int shift = 0; shift < 32; shift += 8)
            value.Data += static_cast<char>((number >> shift) & 0xFF);
        return true;
    }

    static bool ParseHexBytes(std::string_view text, std::string& bytes) {
        size_t position = 0;
        auto skipSpace = [&] {
            while (position < text.size() && (text[position] == ' ' || text[position] == '\t'))
                ++position;
        };
        skipSpace();
        while (position < text.size()) {
            if (position + 1 >= text.size())
                return false;
            int high = HexDigit(text[position]);
            int low = HexDigit(text[position + 1]);
            if (high < 0 || low < 0)
                return false;
            bytes += static_cast<char>(high * 16 + low);
            position += 2;
            skipSpace();
            if (position < text.size()) {
                if (text[position] != ',')
                    return false;
                ++position;
                skipSpace();
            }
        }
        return true;
    }

    static bool IsStringType(uint32_t type) { return type == RegSz || type == RegExpandSz || type == RegMultiSz; }

    // String data given as bytes: UTF-16LE, except in REGEDIT4 files, which
    // hold 8-bit text.
    std::string StringDataFromBytes(const std::string& bytes, uint32_t type) const {
        std::string text = m_format == Format::Regedit4 ? bytes : NarrowFromUtf16Bytes(bytes);
        return CutStringData(text, type);
    }

    // A single string ends at its first NUL; a multi-string ends at its
    // first empty item, its items joined by NUL.
    static std::string CutStringData(const std::string& text, uint32_t type) {
        if (type != RegMultiSz)
            return text.substr(0, text.find('\0'));
        std::string joined;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\0', start);
            if (end == std::string::npos)
                end = text.size();
            if (end == start)
                break;
            if (!joined.empty())
                joined += '\0';
            joined.append(text, start, end - start);
            start = end + 1;
        }
        return joined;
    }

    Format m_format;
    std::string m_rootName;
    RegistryKey& m_root;
    RegistryKey* m_current = nullptr;
};

bool DetectFormat(std::string_view header, Format& format) {
    header = TrimSpace(header);
    if (header == "REGEDIT4")
        format = Format::Regedit4;
    else if (header == "Windows Registry Editor Version 5.00")
        format = Format::Regedit5;
    else if (header == "WINE REGISTRY Version 2")
        format = Format::Wine;
    else
        return false;
    return true;
}

} // namespace

bool ParseRegistryText(std::string_view text, std::string_view rootName, RegistryKey& root) {
    std::string decoded = DecodeFileText(text);
    LineReader lines(decoded);
    std::string_view header;
    Format format = Format::Regedit4;
    if (!lines.Next(header) || !DetectFormat(header, format))
        return false;
    HiveParser(format, rootName, root).Parse(lines);
    return true;
}
