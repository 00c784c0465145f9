#include "ui/main/gui_scan_view.h"

#include "ui/dialogs/approve_dialog.h"
#include "ui/main/main_window.h"
#include "ui/scan/scan_page.h"
#include "ui/shell/qt_text.h"
#include "ui/shell/tray_icon.h"

#include <QApplication>
#include <QTimer>
#include <QToolButton>

namespace {} // namespace

GuiScanView::GuiScanView(MainWindow& window) : m_window(window) {}

void GuiScanView::SetHeadline(const std::string& text) {
    m_window.ScanPageWidget()->SetHeadline(QtText(text));
}

void GuiScanView::SetCurrentAction(const std::string& text) {
    m_window.ScanPageWidget()->SetCurrentAction(QtText(text));
}

void GuiScanView::ClearDetails() {
    m_window.ScanPageWidget()->ClearDetails();
}

void GuiScanView::AddDetailsLine(const std::string& line) {
    // The engine's lines may carry CR LF pairs; the pane wants plain lines.
    QString text = QtText(line);
    text.remove('\r');
    m_window.ScanPageWidget()->AddDetailsLine(text);
}

void GuiScanView::ScrollDetailsToTop() {
    m_window.ScanPageWidget()->ScrollDetailsToTop();
}

void GuiScanView::SetScannedText(const std::string& text) {
    m_window.ScanPageWidget()->SetScannedText(QtText(text));
}

void GuiScanView::SetSpamText(const std::string& text) {
    m_window.ScanPageWidget()->SetSpamText(QtText(text));
}

int GuiScanView::ProgressMax() const {
    return m_progressMax;
}

void GuiScanView::SetProgressMax(int value) {
    m_progressMax = value;
    m_window.ScanPageWidget()->SetProgressMaximum(value);
}

int GuiScanView::ProgressPosition() const {
    return m_window.ScanPageWidget()->ProgressPosition();
}

void GuiScanView::SetProgressPosition(int value) {
    m_window.ScanPageWidget()->SetProgressPosition(value);
}

void GuiScanView::StartAnimation() {
    m_window.ScanPageWidget()->StartAnimation();
}

void GuiScanView::StopAnimation() {
    m_window.ScanPageWidget()->StopAnimation();
}

void GuiScanView::SetElapsedTimerEnabled(bool enabled) {
    QTimer* timer = m_window.ElapsedTimer();
    if (enabled)
        timer->start();
    else
        timer->stop();
}

void GuiScanView::SetStatusText(const std::string& text) {
    m_window.SetStatusPanel(1, QtText(text));
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
        m_window.ScanPageWidget()->SetStartEnabled(enabled);
        break;
    case ScanControl::Cancel:
        m_window.ScanPageWidget()->SetCancelEnabled(enabled);
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
        return m_window.ScanPageWidget()->StartEnabled();
    case ScanControl::Cancel:
        return m_window.ScanPageWidget()->CancelEnabled();
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
    ApproveDialog prompt(QtText(text), &m_window);
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
