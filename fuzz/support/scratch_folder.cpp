#include "support/scratch_folder.h"

#include "platform/data_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

struct Scratch {
    std::string Path;

    Scratch() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/quorvane-fuzz-XXXXXX";
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (!mkdtemp(name.data()))
            throw std::runtime_error("cannot make a scratch folder under " + pattern);
        Path = name.data();
        SetDataFolderOverride(Path);
    }

    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};

} // namespace

const std::string& ScratchFolder() {
    static Scratch scratch;
    return scratch.Path;
}

void EmptyFolder(const std::string& folder) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        std::filesystem::remove_all(entry.path(), ignored);
}

std::string ListFolder(const std::string& folder) {
    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.insert(entry.path().filename().string());
    std::string text;
    for (const std::string& name : names)
        text += name + "\n";
    return text;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path);
}
