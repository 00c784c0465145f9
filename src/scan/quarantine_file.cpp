#include "scan/quarantine_file.h"

#include "mail/mail_message.h"
#include "platform/paths.h"

#include <fstream>

std::string QuarantineFilePath(const std::string& accountFolder, const std::string& fileName) {
    if (fileName.empty() || fileName == "." || fileName == ".." ||
        fileName.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return {};
    return IncludeTrailingDelimiter(accountFolder) + fileName;
}

bool ReadStoredHeader(const std::string& path, MailMessage& header) {
    header.Clear();
    header.RawRead = header.RawWrite = true;
    if (path.empty())
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::string text;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            break;
        text += line;
        text += "\r\n";
    }
    if (file.bad())
        return false;
    header.ReadFromText(text);
    return true;
}
