// Renders every page and dialog of the desktop program to PNG files in the
// folder given as the only argument, for a person to look at. Runs on the
// offscreen platform against a throw-away data folder.
#include "platform/data_folder.h"
#include "platform/date_time.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/password_scramble.h"
#include "records/program_settings.h"
#include "records/sender_lists.h"
#include "scan/scan_state.h"
#include "support/temp_folder.h"
#include "ui/dialogs/approve_dialog.h"
#include "ui/dialogs/password_dialog.h"
#include "ui/dialogs/wait_window.h"
#include "ui/main/gui_scan_view.h"
#include "ui/main/main_window.h"
#include "ui/preview/preview_dialog.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/shell/vantrel_application.h"
#include "ui/update/download_window.h"
#include "ui/welcome/welcome_dialog.h"

#include <QAbstractItemView>
#include <QDir>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <cstdio>

namespace {

QString g_folder;

void Save(QWidget* widget, const char* name) {
    if (qobject_cast<MainWindow*>(widget))
        widget->resize(820, 540);
    QCoreApplication::processEvents();
    QString path = QDir(g_folder).filePath(QString(name) + ".png");
    if (!widget->grab().save(path))
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

void Click(MainWindow& window, const char* button) {
    window.findChild<QToolButton*>(button)->click();
    QCoreApplication::processEvents();
}

// The scan page as it looks halfway through a scan of two accounts.
void FillScanInProgress(MainWindow& window) {
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

const char* const MultipartMessage =
    "From: Jane Sender <jane@example.net>\r\n"
    "To: Me <me@example.com>\r\n"
    "Cc: Team <team@example.com>\r\n"
    "Subject: Our meeting next week\r\n"
    "Date: Tue, 8 Dec 2026 09:30:00 +0100\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"outer\"\r\n\r\n"
    "--outer\r\nContent-Type: multipart/alternative; boundary=\"inner\"\r\n\r\n"
    "--inner\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n"
    "Hello,\r\n\r\nCould we move our meeting to Thursday at 10:00? The agenda is at\r\n"
    "https://intranet.example.com/agenda and the slides are attached.\r\n\r\n"
    "Write to jane@example.net if Thursday does not suit you.\r\n\r\nBest regards,\r\nJane\r\n"
    "--inner\r\nContent-Type: text/html\r\n\r\n<p>Hello,</p><img src=\"https://tracker.example/x.png\">\r\n"
    "--inner--\r\n"
    "--outer\r\nContent-Type: application/pdf; name=\"slides.pdf\"\r\n"
    "Content-Disposition: attachment; filename=\"slides.pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
    "JVBERi0xLjQK\r\n--outer--\r\n";

// Quarantined messages of the first account, newest last.
std::string FillQuarantine(const TempFolder& data) {
    struct Entry {
        const char* Address;
        const char* Name;
        const char* Subject;
        int DaysAgo;
        int Category;
    };
    const Entry entries[] = {
        {"offers@deals.example.net", "Daily Deals", "Cheap watches, today only", 6, 0},
        {"newsletter@lists.example.org", "", "Weekly digest #42", 5, 1},
        {"billing@shop.example.com", "Shop Billing", "Your invoice", 4, 0},
        {"jane@example.net", "Jane Sender", "Our meeting next week", 2, 0},
        {"winner@lottery.example", "Lottery Office", "You have won!", 1, 3},
        {"friend@example.org", "An Old Friend", "Long time no see", 0, 0},
    };
    std::string folder = AccountFolder(0);
    EnsureFolder(folder);
    std::string meeting;
    int n = 0;
    for (const Entry& entry : entries) {
        std::string file = "{5CA1AB1E-0000-4000-8000-00000000000" + std::to_string(++n) + "}.dat";
        data.Write("Accounts/" + Accounts.Item(0).ID + "/" + file, MultipartMessage);
        Accounts.Item(0).Quarantine.Add(entry.Address, entry.Name, entry.Category, file, Now() - entry.DaysAgo,
                                        entry.Subject, "me@example.com");
        if (std::string(entry.Subject) == "Our meeting next week")
            meeting = IncludeTrailingDelimiter(folder) + file;
    }
    return meeting;
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
    std::string scrambled = ScramblePassword("secret");
    data.Write("vantrel.ini", "[Settings]\r\nNumAccounts=2\r\nMaximized=0\r\nAutoDelSpam=1\r\nAutoScan=1\r\n"
                              "SyncAddressBook=0\r\nEmailClient=/usr/bin/thunderbird -mail\r\n"
                              "[Account1]\r\nEmailAddress=me@example.com\r\nDisplayName=Me Myself\r\n"
                              "Server=pop.example.com\r\nSMTPServer=smtp.example.com\r\nLogin=me\r\nPassword=" +
                                  scrambled +
                                  "\r\nSMTPAuth=1\r\nPOP3Security=1\r\nPort=995\r\n"
                                  "[Account2]\r\nEmailAddress=work@example.org\r\nDisplayName=Me at work\r\n"
                                  "Server=pop.example.org\r\nLogin=me\r\nPassword=" +
                                  scrambled + "\r\nEnabled=0\r\n");

    std::string approved;
    for (const char* address : {"alice@example.com", "bob@example.org", "*@partner.example.net", "carol@example.com",
                                "dave@example.org", "erin@example.com", "frank@example.net", "grace@example.org",
                                "heidi@example.com", "ivan@example.net", "judy@example.org", "*@family.example"})
        approved += std::string(address) + "\r\n";
    data.Write("WhiteList.dat", approved);
    data.Write("BlackList.dat", "offers@deals.example.net\r\n*@spam.example\r\nwinner@lottery.example\r\n");

    MainWindow window;
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

    std::string meeting = FillQuarantine(data);
    Click(window, "quarantineButton");
    auto* list = window.findChild<QAbstractItemView*>("messageList");
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Save(&window, "quarantine");

    PreviewDialog preview(&window);
    preview.LoadMessage(meeting);
    preview.resize(620, 440);
    preview.show();
    Save(&preview, "preview");
    preview.close();
    Click(window, "approvedSendersButton");
    Save(&window, "approved-senders");
    Click(window, "settingsButton");
    const char* const tabs[] = {"settings-preferences", "settings-challenge", "settings-accounts", "settings-blacklist",
                                "settings-advanced"};
    for (int tab = 0; tab < 5; ++tab) {
        window.findChild<QTabBar*>("settingsTabs")->setCurrentIndex(tab);
        Save(&window, tabs[tab]);
    }
    window.findChild<QPushButton*>("okButton")->click();
    Click(window, "aboutButton");
    Save(&window, "about");

    auto* menu = window.findChild<QMenu*>("trayMenu");
    menu->popup(QPoint(0, 0));
    QTest::qWait(50);
    Save(menu, "tray-menu");
    menu->close();

    ApproveDialog approve("Jane Sender <jane@example.net>\r\nRe: Our meeting next week", &window);
    approve.show();
    approve.Tick();
    Save(&approve, "approve");
    approve.close();

    DownloadWindow download(&window);
    download.SetProgress(3 * 1024 * 1024, 8 * 1024 * 1024);
    download.show();
    Save(&download, "download-update");
    download.hide();

    WelcomeDialog welcome(nullptr, &window);
    welcome.show();
    Save(&welcome, "welcome");
    welcome.hide();

    WaitWindow wait(&window);
    wait.ShowOver();
    Save(&wait, "wait");
    wait.close();

    PasswordDialog password(&window);
    password.show();
    QTest::keyClicks(password.findChild<QWidget*>("enteredPasswordEdit"), "secret");
    Save(&password, "password");
    password.close();

    QMessageBox box(QMessageBox::Critical, "Error", "HTML Help not installed.", QMessageBox::Ok, &window);
    box.show();
    Save(&box, "error-box");
    box.close();
    return 0;
}
