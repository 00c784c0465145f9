#pragma once

#include <string>

// A private folder for one test, removed with everything in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // Path of a file inside the folder.
    std::string File(const std::string& name) const { return m_path + "/" + name; }

    // Writes and reads files in the folder (bytes as given).
    void Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;

private:
    std::string m_path;
};
