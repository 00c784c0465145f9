#include "mail/part_files.h"

#include "platform/mail_transport_error.h"
#include "platform/paths.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

std::string& FolderPath() {
    static std::string path;
    return path;
}

void RemoveFolderIfEmpty() {
    if (!FolderPath().empty()) {
        ::rmdir(FolderPath().c_str());
    }
}

std::string CreateFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string candidates[] = {base != nullptr && *base != '\0' ? base : "/tmp", "/tmp"};
    int error = 0;
    for (const std::string& candidate : candidates) {
        std::string pattern = IncludeTrailingDelimiter(candidate) + "quorvane-parts-XXXXXX";
        // mkdtemp creates the folder with mode 0700 and a name nobody could have guessed.
        if (::mkdtemp(pattern.data()) != nullptr) {
            return pattern;
        }
        error = errno;
    }
    throw MailTransportError("Cannot create a temporary folder for attachments: " + std::string(std::strerror(error)));
}

void WriteAll(int descriptor, std::string_view content, const std::string& path) {
    while (!content.empty()) {
        ssize_t written = ::write(descriptor, content.data(), content.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            int error = errno;
            ::close(descriptor);
            ::unlink(path.c_str());
            throw MailTransportError("Cannot write temporary file " + path + ": " + std::strerror(error));
        }
        content.remove_prefix(static_cast<size_t>(written));
    }
}

} // namespace

std::string PartFileFolder() {
    std::string& path = FolderPath();
    if (path.empty()) {
        path = CreateFolder();
        std::atexit(RemoveFolderIfEmpty);
    } else if (!FolderExists(path)) {
        // Something cleaned the temporary files away while the program ran.
        path = CreateFolder();
    }
    return path;
}

std::string WritePartFile(std::string_view content) {
    static std::atomic<unsigned long> counter{0};
    std::string folder = IncludeTrailingDelimiter(PartFileFolder());
    while (true) {
        std::string path = folder + "part" + std::to_string(++counter) + ".tmp";
        int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (descriptor < 0 && errno == EEXIST) {
            continue;
        }
        if (descriptor < 0) {
            throw MailTransportError("Cannot create temporary file " + path + ": " + std::strerror(errno));
        }
        WriteAll(descriptor, content, path);
        if (::close(descriptor) != 0) {
            int error = errno;
            ::unlink(path.c_str());
            throw MailTransportError("Cannot write temporary file " + path + ": " + std::strerror(error));
        }
        return path;
    }
}

PartFileOwner::~PartFileOwner() {
    DeletePartFiles();
}

PartFileOwner::PartFileOwner(PartFileOwner&& other) noexcept
    : Parts(std::move(other.Parts)), KeepPartFiles(other.KeepPartFiles) {
    other.Parts.clear();
}

PartFileOwner& PartFileOwner::operator=(PartFileOwner&& other) noexcept {
    if (this == &other) {
        return *this;
    }
    DeletePartFiles();
    Parts = std::move(other.Parts);
    KeepPartFiles = other.KeepPartFiles;
    other.Parts.clear();
    return *this;
}

void PartFileOwner::ClearParts() {
    DeletePartFiles();
    Parts.clear();
}

void PartFileOwner::DeletePartFiles() noexcept {
    if (KeepPartFiles) {
        return;
    }
    for (const MessagePart& part : Parts) {
        if (!part.StoredPathName.empty()) {
            try {
                DeleteFileIfExists(part.StoredPathName);
            } catch (const std::exception&) {
                // A file that cannot be removed must not stop the clean-up of the rest.
            }
        }
    }
}
