#pragma once

#include "cli/cli_context.h"

// The command groups of the command line. Each takes the arguments after
// its group word and returns the exit status.
int ListsCommand(CliContext& context);
int SettingsCommand(CliContext& context);
int AccountsCommand(CliContext& context);
int QuarantineCommand(CliContext& context);
int ScanCommand(CliContext& context);
int DemoCommand(CliContext& context);
int UpdateCommand(CliContext& context);
