// The secure preview on the offscreen platform: a hostile message stays
// inert text, links open only web and mail addresses, attachments never
// leave the private temporary folder and go with the window, and the
// window's geometry is kept.
#include "gui_fixture.h"

#include "mail/part_files.h"
#include "platform/paths.h"
#include "ui/preview/message_text_view.h"
#include "ui/preview/preview_cascade.h"
#include "ui/preview/preview_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <filesystem>

namespace {

// HTML with a script and a remote image, terminal escapes, an attachment
// named to climb out of its folder, and a text part of 20 MB.
std::string HostileMessage() {
    std::string text = "Hello \x1b]0;owned\x07\x1b[31mred\r\nSee http://example.org/page, javascript:alert(1) "
                       "or file:///etc/passwd\r\n";
    std::string line(98, 'x');
    while (text.size() < 20 * 1024 * 1024)
        text += line + "\r\n";
    return "From: Attacker <evil@example.net>\r\nTo: me@example.com\r\nSubject: Invoice\r\nMIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=b\r\n\r\n"
           "--b\r\nContent-Type: text/html\r\n\r\n<script>alert(1)</script><img "
           "src=\"http://tracker.example/p.png\">\r\n"
           "--b\r\nContent-Type: text/plain\r\n\r\n" +
           text +
           "--b\r\nContent-Type: application/octet-stream; name=\"../../escape.sh\"\r\n"
           "Content-Disposition: attachment; filename=\"../../escape.sh\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
           "IyEvYmluL3NoCmVjaG8gb3duZWQK\r\n--b--\r\n";
}

size_t FilesIn(const std::string& folder) {
    std::error_code error;
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder, error), {}));
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void hostileMessageStaysInertText();
    void onlyWebAndMailLinksOpen_data();
    void onlyWebAndMailLinksOpen();
    void geometryIsKeptAndAMaximisedWindowKeepsItsSize();
    void cascade_data();
    void cascade();
};

void TestPreview::hostileMessageStaysInertText() {
    GuiFixture fixture;
    fixture.Data().Write("hostile.dat", HostileMessage());
    std::string partFolder = PartFileFolder();
    size_t filesBefore = FilesIn(partFolder);
    bool inspected = false;
    QWidget owner;
    WhenDialogShown(&owner, "PreviewDialog", [&](QWidget* preview) {
        inspected = true;
        auto* text = preview->findChild<MessageTextView*>("bodyView");
        QString shown = text->toPlainText();
        QVERIFY(shown.startsWith(QString("Hello ") + QChar(0xFFFD) + "]0;owned" + QChar(0xFFFD)));
        QVERIFY(!shown.contains(QChar(0x1b)));
        QVERIFY(!shown.contains("<script>"));
        QVERIFY(shown.size() < MessageTextView::MaxShownCharacters + 200);
        QVERIFY(shown.contains("[The preview shows the first"));
        QVERIFY(preview->findChild<QLabel*>("attachmentNotice")->isVisible());
        QCOMPARE(preview->findChild<QLineEdit*>("fromEdit")->text(), QString("Attacker <evil@example.net>"));
        // The attachment was decoded into the private folder only.
        QVERIFY(FilesIn(partFolder) > filesBefore);
        QTest::keyClick(preview, Qt::Key_Escape);
    });
    ShowPreview(&owner, fixture.Data().File("hostile.dat"));

    QVERIFY(inspected);
    QVERIFY(fixture.OpenedUrls().empty());
    QCOMPARE(FilesIn(partFolder), filesBefore); // deleted with the window
    for (const std::string& folder : {fixture.Data().Path(), partFolder + "/..", partFolder + "/../.."})
        QVERIFY(!FileExists(folder + "/escape.sh"));
}

void TestPreview::onlyWebAndMailLinksOpen_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("opened");
    QTest::newRow("https") << "https://example.org/a?b=c"
                           << "https://example.org/a?b=c";
    QTest::newRow("www") << "www.example.org"
                         << "http://www.example.org";
    QTest::newRow("mail") << "jane@example.org"
                          << "mailto:jane@example.org";
    QTest::newRow("script") << "javascript:alert(1)"
                            << "";
    QTest::newRow("file") << "file:///etc/passwd"
                          << "";
}

void TestPreview::onlyWebAndMailLinksOpen() {
    QFETCH(QString, link);
    QFETCH(QString, opened);
    GuiFixture fixture;
    MessageTextView view;
    view.SetMessageText("Look: " + link + ".");
    // A click on every link the text shows; then on the address itself, as
    // if a link had been forged around it.
    for (QTextBlock block = view.document()->begin(); block.isValid(); block = block.next())
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment)
            if (fragment.fragment().charFormat().isAnchor())
                emit view.anchorClicked(QUrl(fragment.fragment().charFormat().anchorHref()));
    std::vector<QUrl> fromLinks = fixture.OpenedUrls();
    emit view.anchorClicked(QUrl(link));
    bool forgedOpened = fixture.OpenedUrls().size() > fromLinks.size();
    if (opened.isEmpty()) {
        QVERIFY(fromLinks.empty());
        QVERIFY(!forgedOpened);
    } else {
        QCOMPARE(fromLinks, std::vector<QUrl>{QUrl(opened)});
    }
}

void TestPreview::geometryIsKeptAndAMaximisedWindowKeepsItsSize() {
    GuiFixture fixture;
    {
        PreviewDialog preview;
        preview.LoadPreviewGeometry();
        QCOMPARE(preview.size(), QSize(600, 400));
        preview.show();
        preview.resize(500, 380);
        preview.reject();
    }
    std::string settings = fixture.Data().Read("vantrel.ini");
    QVERIFY(settings.find("PreviewWidth=500") != std::string::npos);
    QVERIFY(settings.find("PreviewMaximized=0") != std::string::npos);
    {
        PreviewDialog preview;
        preview.LoadPreviewGeometry();
        QCOMPARE(preview.size(), QSize(500, 380));
        preview.showMaximized();
        preview.reject();
    }
    settings = fixture.Data().Read("vantrel.ini");
    QVERIFY(settings.find("PreviewWidth=500") != std::string::npos);
    QVERIFY(settings.find("PreviewMaximized=1") != std::string::npos);
    PreviewDialog preview;
    preview.LoadPreviewGeometry();
    QVERIFY(preview.windowState() & Qt::WindowMaximized);
}

void TestPreview::cascade_data() {
    QTest::addColumn<QPoint>("start");
    QTest::addColumn<int>("taken");
    QTest::addColumn<QPoint>("placed");
    QTest::newRow("free") << QPoint(100, 100) << 0 << QPoint(100, 100);
    QTest::newRow("one down") << QPoint(100, 100) << 1 << QPoint(132, 132);
    QTest::newRow("bottom: next column") << QPoint(100, 580) << 1 << QPoint(172, 0);
    QTest::newRow("right: back left") << QPoint(400, 100) << 1 << QPoint(0, 172);
    QTest::newRow("gives up") << QPoint(0, 0) << 1000 << QPoint(0, 0);
}

void TestPreview::cascade() {
    QFETCH(QPoint, start);
    QFETCH(int, taken);
    QFETCH(QPoint, placed);
    int calls = 0;
    QPoint result =
        CascadePreviewPosition(start, QSize(600, 400), QSize(1024, 1000), [&](QPoint) { return calls++ < taken; });
    QCOMPARE(result, placed);
}

QTEST_MAIN(TestPreview)
#include "preview_test.moc"
