#include "ui/shell/program_entry.h"

int main(int argc, char** argv) {
    return RunDesktopProgram(argc, argv);
}
