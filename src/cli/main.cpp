#include "cli/command_line.h"

#include <clocale>

int main(int argc, char** argv) {
    // Decoded header text is converted into the user's locale encoding.
    std::setlocale(LC_ALL, "");
    return RunCommandLine(argc, argv);
}
