#pragma once

#include <string>
#include <vector>

// The log of one scan, approve or release: lines in the order they were
// added, written at the end as "log.txt" in the data folder (CR LF lines),
// replacing the log of the previous operation.
class ScanLog {
public:
    static constexpr const char* FileName = "log.txt";

    // Empties the log (an operation begins or has been saved).
    void Clear() { m_lines.clear(); }
    void Add(const std::string& line) { m_lines.push_back(line); }

    const std::vector<std::string>& Lines() const { return m_lines; }
    int Count() const { return static_cast<int>(m_lines.size()); }

    // Every line followed by CR LF.
    std::string Text() const;

    // Writes Text() to folder/"log.txt" atomically. Throws std::runtime_error
    // with the system's text when the file cannot be written.
    void SaveToFolder(const std::string& folder) const;

private:
    std::vector<std::string> m_lines;
};
