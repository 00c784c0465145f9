#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class ScanAnimation;

// The scan page ("Scan for Spam"): the headline, the current action, the
// details, the statistics, the progress bar, the busy animation and the
// buttons Start and Cancel. The engine reaches it through the window's
// ScanView; the page itself holds no logic.
class ScanPage : public QWidget {
    Q_OBJECT
public:
    explicit ScanPage(QWidget* parent = nullptr);

    void SetHeadline(const QString& text);
    void SetCurrentAction(const QString& text);
    void ClearDetails();
    void AddDetailsLine(const QString& line);
    void ScrollDetailsToTop();
    void SetScannedText(const QString& text);
    void SetSpamText(const QString& text);
    // A maximum of 0 shows an empty bar rather than a busy indicator.
    void SetProgressMaximum(int maximum);
    int ProgressPosition() const;
    void SetProgressPosition(int position);
    void StartAnimation();
    void StopAnimation();

    bool StartEnabled() const;
    void SetStartEnabled(bool enabled);
    bool CancelEnabled() const;
    void SetCancelEnabled(bool enabled);
    void FocusStart();

signals:
    void StartRequested();
    void CancelRequested();
    // The "Scanned     :" label was clicked.
    void ScannedLabelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_headlineLabel;
    QLabel* m_currentActionLabel;
    QPlainTextEdit* m_detailsText;
    QLabel* m_scannedLabel;
    QLabel* m_spamLabel;
    QProgressBar* m_progressBar;
    ScanAnimation* m_animation;
    QPushButton* m_startButton;
    QPushButton* m_cancelButton;
    QLabel* m_scannedCaption;
};
