// Renders every page and dialog of the desktop program to PNG files in the
// folder given as the only argument, for a person to look at. Runs on the
// offscreen platform against a throw-away data folder.
#include "platform/data_folder.h"
#include "records/program_settings.h"
#include "scan/scan_state.h"
#include "support/temp_folder.h"
#include "ui/dialogs/uFormApprove.h"
#include "ui/dialogs/uFormWait.h"
#include "ui/dialogs/uPassword.h"
#include "ui/main/gui_scan_view.h"
#include "ui/main/uMain.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/shell/vantrel_application.h"

#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <cstdio>

namespace {

QString g_folder;

void Save(QWidget* widget, const char* name) {
    QCoreApplication::processEvents();
    QString path = QDir(g_folder).filePath(QString(name) + ".png");
    if (!widget->grab().save(path))
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void Click(TfrmQuorvaneMain& window, const char* button) {
    window.findChild<QToolButton*>(button)->click();
    QCoreApplication::processEvents();
}

// The scan page as it looks halfway through a scan of two accounts.
void FillScanInProgress(TfrmQuorvaneMain& window) {
    GuiScanView& view = window.View();
    view.SetHeadline("Scanning me@example.com (1/2), please wait...");
    view.SetCurrentAction("Retrieving message header 7 of 12...");
    for (const char* line :
         {"Scanning me@example.com.", "Connecting to POP3 server.", "Successfully connected to POP3 server.",
          "12 messages to scan.", "Quarantined: \"Cheap watches\" from offers@spam.example.net"})
        view.AddDetailsLine(line);
    view.SetScannedText("7");
    view.SetSpamText("3 (42.86%)");
    view.SetProgressMax(12);
    view.SetProgressPosition(7);
    view.StartAnimation();
    view.SetStatusText("00:00:14");
    for (ScanControl control :
         {ScanControl::Start, ScanControl::Scan, ScanControl::Quarantine, ScanControl::ApprovedSenders,
          ScanControl::Settings, ScanControl::Help, ScanControl::About})
        view.SetControlEnabled(control, false);
    view.SetControlEnabled(ScanControl::Cancel, true);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    VantrelApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel_screenshots FOLDER\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);
    TempFolder data;
    SetDataFolderOverride(data.Path());
    GuiMessageBoxes::Install();
    data.Write("vantrel.ini", "[Settings]\r\nNumAccounts=2\r\nMaximized=0\r\nAutoDelSpam=1\r\n"
                              "[Account1]\r\nEmailAddress=me@example.com\r\nServer=pop.example.com\r\n"
                              "[Account2]\r\nEmailAddress=work@example.org\r\nServer=pop.example.org\r\n");

    TfrmQuorvaneMain window;
    window.StartUp();
    window.resize(760, 520);
    window.ShowMainWindow();
    QTest::qWait(50);

    Save(&window, "scan-idle");
    FillScanInProgress(window);
    Save(&window, "scan-running");
    for (ScanControl control :
         {ScanControl::Start, ScanControl::Scan, ScanControl::Quarantine, ScanControl::ApprovedSenders,
          ScanControl::Settings, ScanControl::Help, ScanControl::About})
        window.View().SetControlEnabled(control, true);
    window.View().StopAnimation();

    Click(window, "btnSpam");
    Save(&window, "quarantine");
    Click(window, "btnLists");
    Save(&window, "approved-senders");
    Click(window, "btnSettings");
    Save(&window, "settings");
    Click(window, "btnAbout");
    Save(&window, "about");

    auto* menu = window.findChild<QMenu*>("TrayMenu");
    menu->popup(QPoint(0, 0));
    QTest::qWait(50);
    Save(menu, "tray-menu");
    menu->close();

    TfrmApprove approve("Jane Sender <jane@example.net>\r\nRe: Our meeting next week", &window);
    approve.show();
    approve.Tick();
    Save(&approve, "approve");
    approve.close();

    TfrmWait wait(&window);
    wait.ShowOver();
    Save(&wait, "wait");
    wait.close();

    TfrmPassword password(&window);
    password.show();
    QTest::keyClicks(password.findChild<QWidget*>("edPass"), "secret");
    Save(&password, "password");
    password.close();

    QMessageBox box(QMessageBox::Critical, "Error", "HTML Help not installed.", QMessageBox::Ok, &window);
    box.show();
    Save(&box, "error-box");
    box.close();
    return 0;
}
