#pragma once

#include <string>

// Runs the built `quorvane` with the given arguments through the shell,
// standard error joined to standard output; returns that output and sets
// status to the wait status.
std::string RunProgram(const std::string& arguments, int& status);
