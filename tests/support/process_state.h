#pragma once

#include <string>

// Puts every process-wide object of the engine back to its start-up state —
// settings and templates, accounts, sender lists, loop list, run state and
// counters, the SMTP client, the event pump — and points the data folder at
// dataFolder ("" clears the override). Tests that drive the engine call it
// before and after each case, so no case sees another one's leftovers.
void ResetProcessState(const std::string& dataFolder);
