#include "cli/terminal_scan_view.h"

#include "cli/interrupt_watch.h"
#include "cli/terminal_input.h"
#include "cli/terminal_prompts.h"
#include "cli/terminal_text.h"
#include "records/text_helpers.h"
#include "scan/scan_state.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>
#include <thread>

namespace {

const char* const ApproveQuestion = "The following sender is requesting to be added to your approved list so that "
                                    "you can receive his/her emails:";

// Cuts text to width bytes without splitting a UTF-8 character.
std::string CutToWidth(const std::string& text, int width) {
    if (width <= 0 || static_cast<int>(text.size()) <= width)
        return text;
    size_t cut = static_cast<size_t>(width);
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

std::string ProgressBar(int position, int maximum) {
    constexpr int Cells = 20;
    int filled = maximum > 0 ? std::min(Cells, std::max(0, position) * Cells / maximum) : 0;
    return "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(Cells - filled), '-') +
           "] " + std::to_string(position) + "/" + std::to_string(maximum);
}

// The step of a current-action text without its running count.
std::string StepOf(const std::string& action) {
    return TextBefore(action, " (");
}

} // namespace

TerminalScanView::TerminalScanView(std::ostream& out, std::ostream& err, TerminalInput& input,
                                   TerminalScanOptions options)
    : m_out(out), m_err(err), m_input(input), m_options(options) {}

TerminalScanView::~TerminalScanView() {
    ClearStatusLine();
}

void TerminalScanView::ClearStatusLine() {
    if (!m_lineShown)
        return;
    m_out << "\r\033[K" << std::flush;
    m_lineShown = false;
}

// The elapsed time (or, outside a scan, the status text), the progress bar,
// the current action and the headline; the front keeps what changes most
// when the terminal is narrow.
std::string TerminalScanView::StatusLine() const {
    std::string line;
    if (m_scanPageShowing && !m_status.empty())
        line += m_status + " ";
    if (m_progressMax > 0)
        line += ProgressBar(m_progressPosition, m_progressMax) + " ";
    if (!m_action.empty())
        line += m_action + " - ";
    line += m_headline;
    if (!m_scanPageShowing && !m_status.empty())
        line += " " + m_status;
    return CutToWidth(TerminalSafe(line), m_options.Width - 1);
}

void TerminalScanView::DrawStatusLine() {
    if (!m_options.UpdatingLine)
        return;
    m_out << "\r" << StatusLine() << "\033[K" << std::flush;
    m_lineShown = true;
}

void TerminalScanView::PrintLine(std::ostream& stream, const std::string& text) {
    ClearStatusLine();
    stream << TerminalSafeLines(text) << "\n" << std::flush;
    DrawStatusLine();
}

void TerminalScanView::FinishLine() {
    if (m_lineShown) {
        ClearStatusLine();
        if (!m_headline.empty())
            m_out << TerminalSafeLines(m_headline) << "\n" << std::flush;
    }
}

void TerminalScanView::SetHeadline(const std::string& text) {
    m_headline = text;
    // A new headline is a new account: its steps are printed from the first,
    // even when the account before failed in the same step.
    m_lastStep.clear();
    if (m_options.UpdatingLine)
        DrawStatusLine();
    else
        PrintLine(m_out, text);
}

void TerminalScanView::SetCurrentAction(const std::string& text) {
    m_action = text;
    if (m_options.UpdatingLine) {
        DrawStatusLine();
    } else if (!text.empty() && StepOf(text) != m_lastStep) {
        PrintLine(m_out, StepOf(text));
    }
    m_lastStep = text.empty() ? std::string() : StepOf(text);
}

void TerminalScanView::AddDetailsLine(const std::string& line) {
    PrintLine(m_out, line);
}

void TerminalScanView::SetProgressMax(int value) {
    m_progressMax = value;
    DrawStatusLine();
}

void TerminalScanView::SetProgressPosition(int value) {
    m_progressPosition = value;
    DrawStatusLine();
}

void TerminalScanView::SetStatusText(const std::string& text) {
    m_status = text;
    if (m_options.UpdatingLine)
        DrawStatusLine();
    else if (!m_scanPageShowing && !text.empty())
        // During a scan the panel only shows the elapsed time.
        PrintLine(m_out, text);
}

bool TerminalScanView::ControlEnabled(ScanControl control) const {
    auto found = m_enabled.find(control);
    return found != m_enabled.end() ? found->second : control != ScanControl::Cancel;
}

MsgResult TerminalScanView::UnansweredResult(MsgButtons buttons) const {
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgResult::Ok;
    case MsgButtons::YesNo:
        return MsgResult::No;
    default:
        return MsgResult::Cancel;
    }
}

MsgResult TerminalScanView::Ask(MsgButtons buttons) {
    for (;;) {
        if (auto line = m_input.ReadLine(1000))
            return AnswerFromText(*line, buttons);
        if (m_input.Ended()) {
            m_err << "\n";
            return UnansweredResult(buttons);
        }
    }
}

MsgResult TerminalScanView::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon) {
    ClearStatusLine();
    m_err << TerminalSafeLines(title) << ": " << TerminalSafeLines(text);
    MsgResult result = MsgResult::Ok;
    if (buttons == MsgButtons::Ok) {
        m_err << "\n";
    } else if (m_options.AssumeYes && title == "Confirm") {
        // Only confirmations: answering Yes to "try to reconnect again?" on
        // the user's behalf would retry for ever.
        m_err << " yes\n";
        result = buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    } else if (m_options.Unattended) {
        result = UnansweredResult(buttons);
        m_err << " (unattended: " << (result == MsgResult::No ? "no" : "cancel") << ")\n";
    } else {
        m_err << ButtonsHint(buttons) << std::flush;
        result = Ask(buttons);
    }
    m_err << std::flush;
    DrawStatusLine();
    return result;
}

// The window's countdown: the first button's caption counts down once a
// second, and at 0 the prompt approves on the user's behalf.
bool TerminalScanView::CountDownApproval() {
    for (int left = m_options.ApproveSeconds; left > 0;) {
        std::string caption = "Approve Sender - " + std::to_string(left);
        if (m_options.UpdatingLine)
            m_err << "\r" << caption << "   Reject Sender  [A/r] \033[K" << std::flush;
        if (m_options.Unattended) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
        } else if (auto line = m_input.ReadLine(1000)) {
            std::string answer = LowerAscii(Trim(*line));
            if (answer.empty() || answer == "a" || answer == "approve" || answer == "y" || answer == "yes")
                return true;
            if (answer == "r" || answer == "reject" || answer == "n" || answer == "no")
                return false;
            continue;
        }
        --left;
    }
    if (m_options.UpdatingLine)
        m_err << "\rApprove Sender - 0\033[K\n";
    else
        m_err << "Approve Sender - 0\n";
    return true;
}

bool TerminalScanView::AskApproveSender(const std::string& text) {
    ClearStatusLine();
    m_err << "Approve Sender?\n" << ApproveQuestion << "\n" << TerminalSafeLines(text) << "\n";
    if (!m_options.UpdatingLine)
        m_err << "Approve Sender - " << m_options.ApproveSeconds << "   Reject Sender  [A/r] "
              << (m_options.Unattended ? "(nobody answers: approves when the countdown ends)" : "") << "\n";
    m_err << std::flush;
    bool approved = CountDownApproval();
    m_err << (approved ? "Sender approved.\n" : "Sender rejected.\n") << std::flush;
    DrawStatusLine();
    return approved;
}

void TerminalScanView::OpenAccountSettings() {
    PrintLine(m_err, "Add an account with: quorvane accounts add --email ADDRESS --server HOST --login USER");
}

void TerminalScanView::Pump() {
    if (m_inPump)
        return;
    m_inPump = true;
    while (InterruptWatch::TakeInterrupt()) {
        if (ControlEnabled(ScanControl::Cancel) && m_cancel)
            m_cancel();
        else
            PrintLine(m_err, "The scan is finishing its work and can no longer be cancelled.");
    }
    if (m_elapsedTimer && ScanState.Clock.Seconds() != ScanState.ElapsedSeconds)
        ElapsedTimeTick(ScanState, *this);
    m_inPump = false;
}
