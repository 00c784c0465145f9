#include "gui_fixture.h"

#include "support/process_state.h"
#include "ui/help/help.h"
#include "ui/main/main_window.h"
#include "ui/shell/desktop_services.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/welcome/welcome_dialog.h"

#include <QApplication>
#include <QTimer>

GuiFixture::GuiFixture() {
    ResetProcessState(m_data.Path());
    GuiMessageBoxes::Install();
    GuiMessageBoxes::ClearShown();
    GuiMessageBoxes::SetUnshown(true);
    // The first run's welcome has a test of its own.
    SetWelcomeRunner([](std::function<void()>, QWidget*) {});
    // The automatic update check of Open E-Mail must never leave the machine.
    qputenv("QUORVANE_UPDATE_PAGE", "http://127.0.0.1:1/update.htm");
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
    SetWelcomeRunner(nullptr);
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

std::unique_ptr<MainWindow> GuiFixture::StartWindow() const {
    // The help of the source tree, whatever folder the test runs from.
    SetHelpFile(qEnvironmentVariable("QUORVANE_TEST_HELP_DIR"));
    auto window = std::make_unique<MainWindow>();
    window->StartUp();
    QCoreApplication::processEvents();
    return window;
}

std::vector<std::string> ShownMessageTexts() {
    std::vector<std::string> texts;
    for (const auto& shown : GuiMessageBoxes::ShownBoxes())
        texts.push_back(shown.Text);
    return texts;
}

void WhenReady(QObject* context, std::function<bool()> ready, std::function<void()> act) {
    auto* poll = new QTimer(context);
    poll->setInterval(0); // every turn of the loop
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ready = std::move(ready), act = std::move(act)] {
        if (!ready())
            return;
        poll->stop();
        poll->deleteLater();
        act();
    });
    poll->start();
}

void WhenDialogShown(QObject* context, const QString& objectName, std::function<void(QWidget* dialog)> act) {
    auto find = [objectName]() -> QWidget* {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->objectName() == objectName && widget->isVisible())
                return widget;
        return nullptr;
    };
    WhenReady(
        context, [find] { return find() != nullptr; }, [find, act = std::move(act)] { act(find()); });
}
