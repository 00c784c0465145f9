#include "ui/shell/program_entry.h"

#include "platform/data_folder.h"
#include "platform/data_folder_lock.h"
#include "platform/event_pump.h"
#include "platform/paths.h"
#include "records/program_settings.h"
#include "ui/main/main_window.h"
#include "ui/shell/command_switch.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/vantrel_application.h"

#include <QDir>
#include <QFileInfo>
#include <QSessionManager>
#include <QThread>

#include <vector>

namespace {

// How long a start waits for a command-line process to let go of the data
// folder before it gives up.
constexpr int LockWaitSeconds = 60;
// A second desktop program that found the folder locked by the first one,
// which is still starting: how often it tries that one's socket again.
constexpr int StartingInstanceTries = 50;

int MessageFor(const std::vector<std::string>& arguments) {
    if (HasSwitch(arguments, "email"))
        return MsgOpenEmail;
    if (HasSwitch(arguments, "exit"))
        return MsgCloseProgram;
    return MsgShowWindow;
}

// Only an installed program is registered to start at logon, never one in
// a build folder: installed, its shared files lie where the install put them.
std::string InstalledProgramFolder() {
#ifdef QUORVANE_HELP_FROM_BINDIR
    QDir programFolder(QString::fromStdString(ProgramFolder()));
    if (QFileInfo(programFolder.filePath(QUORVANE_HELP_FROM_BINDIR)).isDir())
        return ProgramFolder();
#endif
    return {};
}

// Takes the data folder for this process. False (after telling the user)
// when another process keeps it; sent is set when that process was a
// running desktop program that took the message instead.
bool LockDataFolder(DataFolderLock& lock, const QString& serverName, int message, bool& sent) {
    std::string folder = DataFolder();
    for (int i = 0; i < StartingInstanceTries && !lock.TryAcquire(folder); ++i) {
        if (DataFolderLock::HolderDescription(folder) != DesktopProgramHolder)
            break;
        if (SendToRunningInstance(serverName, message)) {
            sent = true;
            return false;
        }
        QThread::msleep(100);
    }
    if (lock.Held() || lock.Acquire(folder, LockWaitSeconds, nullptr))
        return true;
    ShowMessageBox("Another Quorvane process is still using " + folder + "; try again later.", "Error", MsgButtons::Ok,
                   MsgIcon::Error);
    return false;
}

} // namespace

int RunDesktopProgram(int argc, char** argv) {
    VantrelApplication application(argc, argv);
    GuiMessageBoxes::Install();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        QString serverName = InstanceServerName(DataFolder());
        int message = MessageFor(arguments);
        if (SendToRunningInstance(serverName, message))
            return 0;
        DataFolderLock lock;
        bool sent = false;
        if (!LockDataFolder(lock, serverName, message, sent))
            return sent ? 0 : 1;
        lock.DescribeHolder(DesktopProgramHolder);

        SetStartAtLogonProgramFolder(InstalledProgramFolder());
        SetEventPump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
        MainWindow window;
        InstanceServer server([&window](int received) { window.HandleInstanceMessage(received); });
        if (!server.Listen(serverName))
            ReportUnhandledError(("Cannot listen on " + serverName.toStdString()).c_str());
        QObject::connect(&application, &QGuiApplication::commitDataRequest, &window,
                         [&window](QSessionManager& manager) {
                             if (!window.QueryEndSession())
                                 manager.cancel();
                         });
        window.StartUp();
        int status = application.exec();
        SetEventPump(nullptr);
        return status;
    } catch (const std::exception& error) {
        ReportUnhandledError(error.what());
        return 1;
    }
}
