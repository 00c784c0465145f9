#pragma once

#include <string>

// Text from a message (a subject, a sender, a body) made safe to print on a
// terminal: control characters that a terminal would act on (escape
// sequences, carriage returns, bells; C0, DEL and the C1 controls, raw or
// UTF-8 encoded) become "?", so nothing in a message can move the cursor,
// rewrite the screen or talk to the terminal. Line feeds stay when
// keepLineFeeds is set, tabs always.
std::string TerminalSafe(const std::string& text, bool keepLineFeeds = false);
