#pragma once

#include <optional>
#include <string>
#include <vector>

// The integer rule of the settings file: optional sign and decimal digits, or
// "0x"/"0X" and up to eight hexadecimal digits (read as a 32-bit pattern, so
// "0xFFFFFFFF" is -1), surrounding white space ignored. Empty when the text
// is not such a number or does not fit in 32 bits.
std::optional<int> ParseIniInteger(const std::string& text);

// An INI file held in memory with Windows INI semantics: "[name]" opens a
// section, "key=value" holds a value, section and key names are matched
// without regard to ASCII case and the first occurrence of a section or of a
// key within it wins. Names and values are read with surrounding white space
// removed. Lines starting with ";" or "#" are comments.
//
// The document keeps the file's lines as they were: writing a value rewrites
// only that key's line; a new key goes after the last key line of its
// section, a new section (with its key) at the end. Comments, blank lines,
// unknown lines, duplicates and the order all survive a save.
class IniDocument {
public:
    // Reads the file; a missing file gives an empty document. Lines may end in
    // CR LF, LF or CR. Throws std::runtime_error with the system's text when
    // the file exists but cannot be read (so that a save cannot wipe it).
    void LoadFromFile(const std::string& path);
    // The same from text already in memory.
    void LoadFromText(const std::string& text);

    // Replaces the file atomically with Text(). Throws std::runtime_error with
    // the system's text when it cannot be written; the old file stays whole.
    void SaveToFile(const std::string& path) const;
    // Every line, each ended by CR LF.
    std::string Text() const;

    // Missing section or key gives the default; so does an integer that does
    // not parse (ParseIniInteger). A boolean is true for any non-zero integer.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    // Integers are written in decimal, booleans as "1" and "0". A text value
    // is kept on its one line: CR and LF in it are written as spaces.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    bool SectionExists(const std::string& section) const;
    // The names of the section headers, in file order, repeats included.
    std::vector<std::string> SectionNames() const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // The key names of the section, in file order, each name once (as first
    // written); empty when the section is missing.
    std::vector<std::string> KeyNames(const std::string& section) const;

private:
    struct Line {
        enum Kind { Other, Section, Key } kind = Other;
        std::string text;  // the line as stored, without its line end
        std::string name;  // section or key name, trimmed
        std::string value; // key value, trimmed
    };

    static Line ParseLine(const std::string& text, bool firstLine);
    // Index of the first section header with this name, or -1.
    int FindSection(const std::string& section) const;
    // Index of the first key line of the section that starts at sectionLine, or -1.
    int FindKey(int sectionLine, const std::string& key) const;
    const Line* FindValue(const std::string& section, const std::string& key) const;

    std::vector<Line> m_lines;
};
