#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The `quorvane` command line: parses the arguments, runs one command and
// returns the exit status. Output goes to out, errors to err; input (the
// password, answers to questions) comes from in.
int RunCommand(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err);

int RunCommandLine(int argc, char** argv);
