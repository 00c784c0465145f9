#include "scan/scan_log.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "records/text_helpers.h"

std::string ScanLog::Text() const {
    return JoinLines(m_lines);
}

void ScanLog::SaveToFolder(const std::string& folder) const {
    ReplaceFileAtomically(IncludeTrailingDelimiter(folder) + FileName, Text());
}
