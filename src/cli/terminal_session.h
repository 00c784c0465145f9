#pragma once

#include "cli/cli_context.h"
#include "cli/interrupt_watch.h"
#include "cli/terminal_input.h"
#include "cli/terminal_scan_view.h"
#include "platform/message_box.h"

#include <memory>

// Puts a TerminalScanView in place for one command: it becomes the current
// scan view, every message box goes to it, the process's event pump runs its
// Pump(), and Ctrl+C is watched. Everything is restored when the session ends.
// Answers come from standard input (read with time limits) when the command
// reads std::cin, otherwise from the context's stream.
class TerminalSession {
public:
    TerminalSession(CliContext& context, bool unattended, bool assumeYes);
    ~TerminalSession();
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    TerminalScanView& View() { return *m_view; }

private:
    std::unique_ptr<TerminalInput> m_input;
    std::unique_ptr<TerminalScanView> m_view;
    InterruptWatch m_interrupts;
    MessageBoxHandler m_previousBoxes;
};

// Options for a view on the context's streams: an updating line when
// standard output is a terminal, its width.
TerminalScanOptions TerminalOptionsFor(const CliContext& context, bool unattended, bool assumeYes);
