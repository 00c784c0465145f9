#include "gui_fixture.h"

#include "support/process_state.h"
#include "ui/help/help.h"
#include "ui/main/uMain.h"
#include "ui/shell/desktop_services.h"
#include "ui/shell/gui_message_boxes.h"

#include <QCoreApplication>

GuiFixture::GuiFixture() {
    ResetProcessState(m_data.Path());
    GuiMessageBoxes::Install();
    GuiMessageBoxes::ClearShown();
    SetUrlOpener([this](const QUrl& url) {
        m_urls.push_back(url);
        return true;
    });
    SetProgramStarter([this](const QString& program, const QStringList& arguments) {
        m_programs.push_back({program, arguments});
        return true;
    });
}

GuiFixture::~GuiFixture() {
    SetUrlOpener(nullptr);
    SetProgramStarter(nullptr);
    GuiMessageBoxes::ClearShown();
    ResetProcessState("");
}

void GuiFixture::WriteSettings(const std::vector<std::string>& lines) const {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    m_data.Write("vantrel.ini", text);
}

std::unique_ptr<TfrmQuorvaneMain> GuiFixture::StartWindow() const {
    auto window = std::make_unique<TfrmQuorvaneMain>();
    window->StartUp();
    // The help of the source tree, whatever folder the test runs from.
    SetHelpFile(qEnvironmentVariable("QUORVANE_TEST_HELP_DIR"));
    QCoreApplication::processEvents();
    return window;
}

std::vector<std::string> ShownMessageTexts() {
    std::vector<std::string> texts;
    for (const auto& shown : GuiMessageBoxes::ShownBoxes())
        texts.push_back(shown.Text);
    return texts;
}
