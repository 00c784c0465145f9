#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

// ApproveDialog, the approve prompt: "Approve Sender?", the fixed first line,
// the sender in the second, "Approve Sender - 30" (OK) and "Reject Sender"
// (Cancel). Once shown, a one-second countdown runs from 30; at 0 it
// approves on the user's behalf. Always on top, centred on its parent, no
// title-bar buttons.
class ApproveDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int CountdownStart = 30;

    explicit ApproveDialog(const QString& sender, QWidget* parent = nullptr);

    int Countdown() const { return m_countdown; }

public slots:
    // One tick of the countdown (m_countdownTimer's timeout).
    void Tick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_senderLabel;
    QPushButton* m_approveButton;
    QPushButton* m_rejectButton;
    QTimer* m_countdownTimer;
    int m_countdown = CountdownStart;
};
