#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class ScanAnimation;

// The scan page ("Scan for Spam"): the headline m_headlineLabel, the current
// action m_currentActionLabel, the details m_detailsText, the statistics
// m_scannedLabel and m_spamLabel, m_progressBar, m_animation and the buttons
// m_startButton and m_cancelButton. The engine reaches it through the window's
// ScanView; the page itself holds no logic.
class ScanPage : public QWidget {
    Q_OBJECT
public:
    explicit ScanPage(QWidget* parent = nullptr);

    QLabel* m_headlineLabel;
    QLabel* m_currentActionLabel;
    QPlainTextEdit* m_detailsText;
    QLabel* m_scannedLabel;
    QLabel* m_spamLabel;
    QProgressBar* m_progressBar;
    ScanAnimation* m_animation;
    QPushButton* m_startButton;
    QPushButton* m_cancelButton;

signals:
    // The "Scanned     :" label was clicked.
    void ScannedLabelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_scannedCaption;
};
