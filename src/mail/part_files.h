#pragma once

#include "mail/message_part.h"

#include <string>
#include <string_view>
#include <vector>

// Temporary files for the decoded content of attachment parts. They live in
// one folder private to the user (mode 0700), made with mkdtemp under
// $TMPDIR (else /tmp) on first use and removed at exit when it is empty.
// File names are the program's own; nothing from a message is used as a path.

// The folder's path. Raises MailTransportError when it cannot be created.
std::string PartFileFolder();

// Writes content to a new file (mode 0600) in that folder and returns its
// path. Raises MailTransportError when the file cannot be written.
std::string WritePartFile(std::string_view content);

// The parts of a decoded message together with their temporary files, which
// it deletes when it is cleared, assigned over or destroyed, unless
// KeepPartFiles is set (then whoever set it deletes them). A move hands the
// files over: they then belong to the target alone.
class PartFileOwner {
public:
    PartFileOwner() = default;
    ~PartFileOwner();
    PartFileOwner(const PartFileOwner&) = delete;
    PartFileOwner& operator=(const PartFileOwner&) = delete;
    PartFileOwner(PartFileOwner&& other) noexcept;
    PartFileOwner& operator=(PartFileOwner&& other) noexcept;

    std::vector<MessagePart> Parts;
    bool KeepPartFiles = false;

    // Deletes the files (unless kept) and empties Parts.
    void ClearParts();

private:
    void DeletePartFiles() noexcept;
};
