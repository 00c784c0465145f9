#include "cli/terminal_session.h"

#include "platform/event_pump.h"
#include "scan/scan_view.h"

#include <iostream>
#include <sys/ioctl.h>
#include <unistd.h>

TerminalScanOptions TerminalOptionsFor(const CliContext& context, bool unattended, bool assumeYes) {
    TerminalScanOptions options;
    options.UpdatingLine = &context.Out == &std::cout && ::isatty(STDOUT_FILENO);
    winsize size{};
    if (options.UpdatingLine && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20)
        options.Width = size.ws_col;
    options.Unattended = unattended;
    options.AssumeYes = assumeYes;
    return options;
}

TerminalSession::TerminalSession(CliContext& context, bool unattended, bool assumeYes) {
    if (&context.In == &std::cin)
        m_input = std::make_unique<DescriptorInput>(STDIN_FILENO);
    else
        m_input = std::make_unique<StreamInput>(context.In);
    m_view = std::make_unique<TerminalScanView>(context.Out, context.Err, *m_input,
                                                TerminalOptionsFor(context, unattended, assumeYes));
    SetScanView(m_view.get());
    TerminalScanView* view = m_view.get();
    m_previousBoxes =
        SetMessageBoxHandler([view](const std::string& text, const std::string& title, MsgButtons buttons,
                                    MsgIcon icon) { return view->MessageBox(text, title, buttons, icon); });
    SetEventPump([view] { view->Pump(); });
}

TerminalSession::~TerminalSession() {
    SetEventPump(nullptr);
    SetMessageBoxHandler(std::move(m_previousBoxes));
    SetScanView(nullptr);
    m_view->FinishLine();
}
