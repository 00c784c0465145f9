#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class ScanAnimation;

// The scan page ("Scan for Spam"): the headline lblScanTop, the current
// action lblCurrentAction, the details memoScanDetails, the statistics
// lblMsgsScanned and lblSpamDetected, Progress, scanAnimation and the buttons
// btnStartScan and btnStopScan. The engine reaches it through the window's
// ScanView; the page itself holds no logic.
class ScanPage : public QWidget {
    Q_OBJECT
public:
    explicit ScanPage(QWidget* parent = nullptr);

    QLabel* lblScanTop;
    QLabel* lblCurrentAction;
    QPlainTextEdit* memoScanDetails;
    QLabel* lblMsgsScanned;
    QLabel* lblSpamDetected;
    QProgressBar* Progress;
    ScanAnimation* scanAnimation;
    QPushButton* btnStartScan;
    QPushButton* btnStopScan;

signals:
    // The "Scanned     :" label was clicked.
    void ScannedLabelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_scannedCaption;
};
