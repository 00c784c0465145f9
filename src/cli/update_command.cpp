#include "cli/commands.h"

#include "cli/options.h"
#include "cli/stored_state.h"
#include "cli/terminal_prompts.h"
#include "cli/terminal_text.h"
#include "update/update_check.h"

#include <istream>
#include <ostream>
#include <string>

namespace {

// The update check on the terminal: the offer as a y/n question (or yes
// at once), the download's progress on one line. The file is never run:
// its path is printed.
class TerminalUpdateUi : public UpdateUi {
public:
    TerminalUpdateUi(CliContext& context, bool assumeYes) : m_context(context), m_assumeYes(assumeYes) {}

    bool AskDownload() override {
        std::string question = UpdateQuestionText;
        m_context.Out << TerminalSafeLines(question) << ButtonsHint(MsgButtons::YesNo);
        if (m_assumeYes) {
            m_context.Out << "yes\n";
            return true;
        }
        m_context.Out.flush();
        std::string answer;
        std::getline(m_context.In, answer);
        return AnswerFromText(answer, MsgButtons::YesNo) == MsgResult::Yes;
    }
    void ShowDownload() override {}
    void DownloadProgress(long long received, long long total) override {
        // One line, rewritten at most every percent.
        long long percent = total > 0 ? received * 100 / total : 0;
        if (percent == m_lastPercent && received != total)
            return;
        m_lastPercent = percent;
        m_context.Out << "\rDownloading: " << received << " of " << total << " bytes (" << percent << "%)";
        m_context.Out.flush();
    }
    bool DownloadCancelled() override { return false; }
    void CloseDownload() override {
        if (m_lastPercent >= 0)
            m_context.Out << "\n";
    }
    void OpenDownloadedFile(const std::string&, const std::string&) override {}
    void SetBusyCursor(bool) override {}

private:
    CliContext& m_context;
    bool m_assumeYes;
    long long m_lastPercent = -1;
};

} // namespace

int UpdateCommand(CliContext& context) {
    Options options(context.Arguments, {}, {"yes"});
    if (options.Positional() != std::vector<std::string>{"check"})
        throw UsageError("update check [--yes]");
    LoadStoredSettings();
    TerminalUpdateUi ui(context, options.Has("yes"));
    UpdateCheckResult result = CheckForUpdate(true, ui);
    if (!result.UpdateOffered) {
        context.Out << NoUpdateText << "\n";
        return ExitFailed;
    }
    if (!result.Started)
        return ExitFailed;
    context.Out << "Downloaded: " << TerminalSafe(result.DownloadedFile) << "\n";
    return ExitOk;
}
