#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempFolder::Write(const std::string& name, const std::string& content) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + File(name));
}

std::string TempFolder::Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + File(name));
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}
