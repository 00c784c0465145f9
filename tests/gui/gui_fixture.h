#pragma once

#include "support/temp_folder.h"

#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QObject;
class QWidget;
class MainWindow;

// What a GUI test case starts from: the engine's process state reset onto a
// private data folder, message boxes answered from the test, the help
// topics of the source tree, and the desktop's browser and program starts
// recorded instead of performed.
class GuiFixture {
public:
    GuiFixture();
    ~GuiFixture();

    const TempFolder& Data() const { return m_data; }
    // Writes "vantrel.ini" with these lines (CR LF added).
    void WriteSettings(const std::vector<std::string>& lines) const;

    // A main window after its start-up, shown or not as the start-up left it.
    std::unique_ptr<MainWindow> StartWindow() const;

    const std::vector<QUrl>& OpenedUrls() const { return m_urls; }
    struct Started {
        QString Program;
        QStringList Arguments;
    };
    const std::vector<Started>& StartedPrograms() const { return m_programs; }

private:
    TempFolder m_data;
    std::vector<QUrl> m_urls;
    std::vector<Started> m_programs;
};

// Runs act, once, the first time the event loop turns while ready() holds:
// inside a modal dialog's loop or the event pump of a scan that starts next.
// Forgotten when context goes.
void WhenReady(QObject* context, std::function<bool()> ready, std::function<void()> act);
// Runs act on the dialog with this object name once it is shown.
void WhenDialogShown(QObject* context, const QString& objectName, std::function<void(QWidget* dialog)> act);

// The texts of the message boxes shown since the fixture began, in order.
std::vector<std::string> ShownMessageTexts();
