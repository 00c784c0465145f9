#include "challenge/quarantine_file.h"

#include "platform/paths.h"

std::string QuarantineFilePath(const std::string& accountFolder, const std::string& fileName) {
    if (fileName.empty() || fileName == "." || fileName == ".." ||
        fileName.find_first_of(std::string("/\0", 2)) != std::string::npos)
        return {};
    return IncludeTrailingDelimiter(accountFolder) + fileName;
}
