#include "ui/main/gui_scan_view.h"

#include "ui/dialogs/approve_dialog.h"
#include "ui/main/main_window.h"
#include "ui/scan/scan_animation.h"
#include "ui/scan/scan_page.h"
#include "ui/shell/tray_icon.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

GuiScanView::GuiScanView(MainWindow& window) : m_window(window) {}

void GuiScanView::SetHeadline(const std::string& text) {
    m_window.ScanPageWidget()->m_headlineLabel->setText(Text(text));
}

void GuiScanView::SetCurrentAction(const std::string& text) {
    m_window.ScanPageWidget()->m_currentActionLabel->setText(Text(text));
}

void GuiScanView::ClearDetails() {
    m_window.ScanPageWidget()->m_detailsText->clear();
}

void GuiScanView::AddDetailsLine(const std::string& line) {
    // The engine's lines may carry CR LF pairs; the pane wants plain lines.
    QString text = Text(line);
    text.remove('\r');
    m_window.ScanPageWidget()->m_detailsText->appendPlainText(text);
}

void GuiScanView::ScrollDetailsToTop() {
    m_window.ScanPageWidget()->m_detailsText->verticalScrollBar()->setValue(0);
}

void GuiScanView::SetScannedText(const std::string& text) {
    m_window.ScanPageWidget()->m_scannedLabel->setText(Text(text));
}

void GuiScanView::SetSpamText(const std::string& text) {
    m_window.ScanPageWidget()->m_spamLabel->setText(Text(text));
}

int GuiScanView::ProgressMax() const {
    return m_progressMax;
}

void GuiScanView::SetProgressMax(int value) {
    m_progressMax = value;
    // A bar whose maximum is 0 turns into a busy indicator: show it empty.
    m_window.ScanPageWidget()->m_progressBar->setMaximum(value > 0 ? value : 1);
}

int GuiScanView::ProgressPosition() const {
    return m_window.ScanPageWidget()->m_progressBar->value();
}

void GuiScanView::SetProgressPosition(int value) {
    m_window.ScanPageWidget()->m_progressBar->setValue(value);
}

void GuiScanView::StartAnimation() {
    m_window.ScanPageWidget()->m_animation->Start();
}

void GuiScanView::StopAnimation() {
    m_window.ScanPageWidget()->m_animation->Stop();
}

void GuiScanView::SetElapsedTimerEnabled(bool enabled) {
    QTimer* timer = m_window.ElapsedTimer();
    if (enabled)
        timer->start();
    else
        timer->stop();
}

void GuiScanView::SetStatusText(const std::string& text) {
    m_window.SetStatusPanel(1, Text(text));
}

void GuiScanView::StartTrayAnimation() {
    m_window.Tray()->StartAnimation();
}

void GuiScanView::StopTrayAnimation() {
    m_window.Tray()->StopAnimation();
}

void GuiScanView::ResetTrayIcon() {
    m_window.Tray()->Reset();
}

void GuiScanView::SetControlEnabled(ScanControl control, bool enabled) {
    switch (control) {
    case ScanControl::Start:
        m_window.ScanPageWidget()->m_startButton->setEnabled(enabled);
        break;
    case ScanControl::Cancel:
        m_window.ScanPageWidget()->m_cancelButton->setEnabled(enabled);
        break;
    case ScanControl::CloseCommand:
        m_window.SetCloseCommandEnabled(enabled);
        break;
    default:
        m_window.NavigationButton(control)->setEnabled(enabled);
        break;
    }
}

bool GuiScanView::ControlEnabled(ScanControl control) const {
    switch (control) {
    case ScanControl::Start:
        return m_window.ScanPageWidget()->m_startButton->isEnabled();
    case ScanControl::Cancel:
        return m_window.ScanPageWidget()->m_cancelButton->isEnabled();
    case ScanControl::CloseCommand:
        return m_window.CloseCommandEnabled();
    default:
        return m_window.NavigationButton(control)->isEnabled();
    }
}

void GuiScanView::SetBusyCursor(bool busy) {
    m_busy.Set(busy);
}

MsgResult GuiScanView::MessageBox(const std::string& text, const std::string& title, MsgButtons buttons, MsgIcon icon) {
    // A question must not wear the busy cursor.
    bool busy = m_busy.Busy();
    m_busy.Set(false);
    MsgResult result = ShowMessageBox(text, title, buttons, icon);
    m_busy.Set(busy);
    return result;
}

bool GuiScanView::AskApproveSender(const std::string& text) {
    if (m_approveHandler)
        return m_approveHandler(text);
    bool busy = m_busy.Busy();
    m_busy.Set(false);
    ApproveDialog prompt(Text(text), &m_window);
    bool approved = prompt.exec() == QDialog::Accepted;
    m_busy.Set(busy);
    return approved;
}

void GuiScanView::OpenAccountSettings() {
    m_window.OpenAccountSettings();
}

bool GuiScanView::ScanPageShowing() const {
    return m_window.CurrentPage() == MainWindow::PageScan;
}

void GuiScanView::Pump() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}
