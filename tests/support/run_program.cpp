#include "support/run_program.h"

#include "test_paths.h"

#include <array>
#include <cstdio>
#include <memory>

std::string RunProgram(const std::string& arguments, int& status) {
    std::string command = std::string(QUORVANE_BINARY) + " " + arguments + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    std::string output;
    std::array<char, 4096> buffer{};
    while (size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        output.append(buffer.data(), got);
    status = ::pclose(pipe.release());
    return output;
}
