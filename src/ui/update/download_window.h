#pragma once

#include "ui/shell/busy_cursor.h"
#include "update/update_check.h"

#include <QDialog>

class QProgressBar;
class QPushButton;

// DownloadWindow: "Downloading update, please wait...", a progress bar
// and "Cancel" (which asks first); no close button, always on top, centred
// on the screen. Shown, not modal, while the download runs.
class DownloadWindow : public QDialog {
    Q_OBJECT
public:
    explicit DownloadWindow(QWidget* parent = nullptr);

    void SetProgress(long long received, long long total);
    bool Cancelled() const { return m_cancelled; }

protected:
    void reject() override; // Escape asks like Cancel

private:
    void AskCancel();

    QProgressBar* m_progressBar;
    QPushButton* m_cancelButton;
    bool m_cancelled = false;
};

// The update check as the desktop program shows it: the offer as a "Notice"
// question, the download window, the downloaded file handed to the desktop's
// handler for its type (which asks the user what to do with it).
class GuiUpdateUi : public UpdateUi {
public:
    explicit GuiUpdateUi(QWidget* owner) : m_owner(owner) {}
    ~GuiUpdateUi() override;

    bool AskDownload() override;
    void ShowDownload() override;
    void DownloadProgress(long long received, long long total) override;
    bool DownloadCancelled() override;
    void CloseDownload() override;
    void OpenDownloadedFile(const std::string& path, const std::string& parameters) override;
    void SetBusyCursor(bool busy) override;

private:
    QWidget* m_owner;
    DownloadWindow* m_window = nullptr;
    BusyCursorSwitch m_busy;
};
