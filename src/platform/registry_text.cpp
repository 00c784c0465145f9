#include "platform/registry_text.h"

#include "platform/registry_text_decoding.h"
#include "platform/windows_text.h"

#include <cctype>

namespace {

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

    // A quoted string at position (just after the opening quote), as narrow text.
    bool ReadQuoted(std::string_view text, size_t& position, std::string& out) const {
        if (m_format != Format::Wine)
            return ReadRegeditString(text, position, out);
        return ReadWineString(text, position, '"', out);
    }

    // ------------------------------------------------ keys

    void KeyLine(std::string_view line) {
        m_current = nullptr;
        if (m_format == Format::Wine) {
            size_t position = 1;
            std::string path;
            if (!ReadWineString(line, position, ']', path))
                return;
            m_current = m_root.CreateKey(path);
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
            if (!ReadRegistryTypeNumber(data, position, type) || data.substr(position, 2) != ":\"")
                return false;
            return ParseString(data, position + 2, type, value);
        }
        if (data.substr(0, 6) == "dword:") {
            value.Type = RegDword;
            return DecodeRegistryDword(data.substr(6), value.Data);
        }
        if (data.substr(0, 4) == "hex:") {
            value.Type = RegBinary;
            return DecodeRegistryHexBytes(data.substr(4), value.Data);
        }
        if (data.substr(0, 4) == "hex(") {
            size_t position = 4;
            if (!ReadRegistryTypeNumber(data, position, value.Type) || data.substr(position, 1) != ":")
                return false;
            std::string bytes;
            if (!DecodeRegistryHexBytes(data.substr(position + 1), bytes))
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
        value.Data = IsStringType(type) ? CutRegistryStringData(text, type) : text;
        return true;
    }

    static bool IsStringType(uint32_t type) { return type == RegSz || type == RegExpandSz || type == RegMultiSz; }

    // String data given as bytes: UTF-16LE, except in REGEDIT4 files, which
    // hold 8-bit text.
    std::string StringDataFromBytes(const std::string& bytes, uint32_t type) const {
        std::string text = m_format == Format::Regedit4 ? bytes : NarrowFromUtf16Bytes(bytes);
        return CutRegistryStringData(text, type);
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
    std::string decoded = DecodeRegistryFileText(text);
    LineReader lines(decoded);
    std::string_view header;
    Format format = Format::Regedit4;
    if (!lines.Next(header) || !DetectFormat(header, format))
        return false;
    HiveParser(format, rootName, root).Parse(lines);
    return true;
}
