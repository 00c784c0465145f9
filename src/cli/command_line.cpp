#include "cli/command_line.h"

#include <iostream>

int RunCommand(const std::vector<std::string>& arguments, std::istream&, std::ostream& out, std::ostream& err) {
    if (arguments.empty() || arguments[0] == "--help") {
        out << "usage: quorvane [--data-dir DIR] COMMAND ...\n";
        return arguments.empty() ? 1 : 0;
    }
    err << "quorvane: unknown command \"" << arguments[0] << "\"\n";
    return 1;
}

int RunCommandLine(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunCommand(arguments, std::cin, std::cout, std::cerr);
}
