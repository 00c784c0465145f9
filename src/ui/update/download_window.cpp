#include "ui/update/download_window.h"

#include "platform/message_box.h"
#include "ui/shell/desktop_services.h"
#include "ui/shell/window_placement.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// A progress bar counts in int: large files are shown in kilobytes.
constexpr long long ProgressScale = 1024;

} // namespace

DownloadWindow::DownloadWindow(QWidget* parent)
    : QDialog(parent), m_progressBar(new QProgressBar(this)), m_cancelButton(new QPushButton("Cancel", this)) {
    setObjectName("DownloadWindow");
    setWindowTitle("Downloading update, please wait...");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    m_progressBar->setObjectName("progressBar");
    m_progressBar->setRange(0, 1);
    m_progressBar->setValue(0);
    m_progressBar->setMinimumWidth(320);
    m_cancelButton->setObjectName("cancelButton");
    connect(m_cancelButton, &QPushButton::clicked, this, &DownloadWindow::AskCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(m_progressBar);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    CentreOnScreen(*this);
}

void DownloadWindow::SetProgress(long long received, long long total) {
    m_progressBar->setMaximum(static_cast<int>(std::max(total / ProgressScale, 1LL)));
    m_progressBar->setValue(static_cast<int>(std::min(received / ProgressScale, total / ProgressScale)));
}

void DownloadWindow::reject() {
    AskCancel();
}

void DownloadWindow::AskCancel() {
    if (ShowMessageBox("Are you sure you want to cancel?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning) ==
        MsgResult::Yes) {
        m_cancelled = true;
        m_cancelButton->setEnabled(false);
    }
}

GuiUpdateUi::~GuiUpdateUi() {
    CloseDownload();
}

bool GuiUpdateUi::AskDownload() {
    bool busy = m_busy.Busy();
    m_busy.Set(false);
    bool yes = ShowMessageBox(UpdateQuestionText, "Notice", MsgButtons::YesNo, MsgIcon::Information) == MsgResult::Yes;
    m_busy.Set(busy);
    return yes;
}

void GuiUpdateUi::ShowDownload() {
    m_window = new DownloadWindow(m_owner);
    m_window->show();
    QCoreApplication::processEvents();
}

void GuiUpdateUi::DownloadProgress(long long received, long long total) {
    if (m_window)
        m_window->SetProgress(received, total);
    // Lets Cancel be pressed between blocks.
    QCoreApplication::processEvents();
}

bool GuiUpdateUi::DownloadCancelled() {
    return m_window && m_window->Cancelled();
}

void GuiUpdateUi::CloseDownload() {
    delete m_window;
    m_window = nullptr;
}

void GuiUpdateUi::OpenDownloadedFile(const std::string& path, const std::string&) {
    // The desktop's handler for the file's type decides, and asks the user;
    // the program never runs what it downloaded.
    OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void GuiUpdateUi::SetBusyCursor(bool busy) {
    m_busy.Set(busy);
}
