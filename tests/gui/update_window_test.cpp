// "Check for update" on the About page against a loopback HTTP server: the
// notice without an update, the download window with its progress and its
// Cancel, and the downloaded file handed to the desktop, never run.
#include "gui_fixture.h"

#include "support/fake_http_server.h"
#include "ui/main/main_window.h"
#include "ui/shell/gui_message_boxes.h"
#include "ui/update/download_window.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

std::string Page(const std::string& version, const std::string& download) {
    return "<META NAME=\"Product\" CONTENT=\"Quorvane\">\n<META NAME=\"Version\" CONTENT=\"" + version +
           "\">\n<META NAME=\"Download\" CONTENT=\"" + download +
           "\">\n<META NAME=\"ClientFilename\" CONTENT=\"setup.deb\">\n";
}

} // namespace

class TestUpdateWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void noUpdateShowsTheNotice();
    void aDownloadIsHandedToTheDesktopAndTheProgramEnds();
    void cancelStopsTheDownloadAfterItsQuestion();

private:
    std::unique_ptr<GuiFixture> m_fixture;
    std::unique_ptr<FakeHttpServer> m_http;
    std::unique_ptr<MainWindow> m_window;
};

void TestUpdateWindow::init() {
    m_fixture = std::make_unique<GuiFixture>();
    m_http = std::make_unique<FakeHttpServer>();
    qputenv("QUORVANE_UPDATE_PAGE", QByteArray::fromStdString(m_http->Address("/update.htm")));
    qputenv("TMPDIR", QByteArray::fromStdString(m_fixture->Data().Path()));
    m_window = m_fixture->StartWindow();
    QTest::mouseClick(m_window->findChild<QToolButton*>("aboutButton"), Qt::LeftButton);
}

void TestUpdateWindow::cleanup() {
    m_window.reset();
    m_http.reset();
    m_fixture.reset();
    qunsetenv("TMPDIR");
}

void TestUpdateWindow::noUpdateShowsTheNotice() {
    m_http->On("/update.htm", {200, Page("1.1", "x")});
    m_window->findChild<QPushButton*>("checkUpdateButton")->click();
    QCOMPARE(ShownMessageTexts(), std::vector<std::string>{"No update is available, you have the latest version of "
                                                           "Quorvane."});
}

void TestUpdateWindow::aDownloadIsHandedToTheDesktopAndTheProgramEnds() {
    m_http->On("/update.htm", {200, Page("2.0", m_http->Address("/setup.deb"))});
    m_http->On("/setup.deb", {200, std::string(30000, 'p')});
    m_window->ShowMainWindow();
    int maximum = 0;
    QString title;
    auto bar = []() -> QProgressBar* {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == "DownloadWindow" && window->isVisible())
                return window->findChild<QProgressBar*>("progressBar");
        return nullptr;
    };
    WhenReady(
        m_window.get(), [&] { return bar() && bar()->maximum() > 1; },
        [&] {
            maximum = bar()->maximum();
            title = bar()->window()->windowTitle();
        });
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    m_window->findChild<QPushButton*>("checkUpdateButton")->click();
    QCOMPARE(maximum, 29); // 30000 bytes in kilobytes
    QCOMPARE(title, QString("Downloading update, please wait..."));
    QCOMPARE(m_fixture->OpenedUrls().size(), size_t(1));
    QUrl file = m_fixture->OpenedUrls()[0];
    QVERIFY(file.isLocalFile() && file.fileName() == "setup.deb");
    QVERIFY(!QFileInfo(file.toLocalFile()).isExecutable());
    QVERIFY(!m_window->isVisible()); // Exit
}

void TestUpdateWindow::cancelStopsTheDownloadAfterItsQuestion() {
    m_http->On("/update.htm", {200, Page("2.0", m_http->Address("/setup.deb"))});
    m_http->On("/setup.deb", {200, std::string(100000, 'p'), std::nullopt, true, true});
    WhenDialogShown(m_window.get(), "DownloadWindow", [](QWidget* dialog) {
        GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
        QTest::mouseClick(dialog->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    });
    GuiMessageBoxes::SetNextAnswer(MsgResult::Yes);
    m_window->findChild<QPushButton*>("checkUpdateButton")->click();
    QVERIFY(m_fixture->OpenedUrls().empty());
    auto texts = ShownMessageTexts();
    QCOMPARE(texts.back(), std::string("Are you sure you want to cancel?"));
    QVERIFY(!m_window->findChild<DownloadWindow*>());
}

QTEST_MAIN(TestUpdateWindow)
#include "update_window_test.moc"
