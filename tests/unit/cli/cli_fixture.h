#pragma once

#include "cli/command_line.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

// Runs commands of the command line in-process on a data folder of the
// test's own and keeps what they printed.
class CliFixture : public testing::Test {
protected:
    // Runs one command; input feeds standard input.
    int Run(std::vector<std::string> arguments, const std::string& input = "") {
        arguments.insert(arguments.begin(), {"--data-dir", m_data.Path()});
        std::istringstream in(input);
        std::ostringstream out, err;
        int status = RunCommand(arguments, in, out, err);
        m_out = out.str();
        m_err = err.str();
        return status;
    }

    TempFolder m_data;
    std::string m_out, m_err;
};
