#include "ui/shell/vantrel_application.h"

#include "platform/message_box.h"

#include <exception>

VantrelApplication::VantrelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("vantrel");
    setOrganizationName("Belvantis");
    setDesktopFileName("org.belvantis.Quorvane");
    // The program lives in the tray: closing its window does not end it.
    setQuitOnLastWindowClosed(false);
}

bool VantrelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportUnhandledError(error.what());
    } catch (...) {
        ReportUnhandledError("An unknown error occurred.");
    }
    return false;
}

void ReportUnhandledError(const char* text) {
    ShowMessageBox(text, "Error", MsgButtons::Ok, MsgIcon::Error);
}
