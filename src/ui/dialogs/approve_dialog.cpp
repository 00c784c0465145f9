#include "ui/dialogs/approve_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString ApproveCaption(int countdown) {
    return QStringLiteral("Approve Sender - %1").arg(countdown);
}

} // namespace

ApproveDialog::ApproveDialog(const QString& sender, QWidget* parent)
    : QDialog(parent), m_senderLabel(new QLabel(sender, this)),
      m_approveButton(new QPushButton(ApproveCaption(CountdownStart), this)),
      m_rejectButton(new QPushButton("Reject Sender", this)), m_countdownTimer(new QTimer(this)) {
    setObjectName("ApproveDialog");
    setWindowTitle("Approve Sender?");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    auto* textLabel = new QLabel("The following sender is requesting to be added to your approved list so that you "
                                 "can receive his/her emails:",
                                 this);
    textLabel->setObjectName("textLabel");
    textLabel->setWordWrap(true);
    m_senderLabel->setObjectName("senderLabel");
    m_senderLabel->setTextFormat(Qt::PlainText); // the sender's own words
    m_senderLabel->setWordWrap(true);
    QFont bold = m_senderLabel->font();
    bold.setBold(true);
    m_senderLabel->setFont(bold);

    m_approveButton->setObjectName("approveButton");
    m_approveButton->setDefault(true);
    m_rejectButton->setObjectName("rejectButton");
    connect(m_approveButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_rejectButton, &QPushButton::clicked, this, &QDialog::reject);

    m_countdownTimer->setObjectName("countdownTimer");
    m_countdownTimer->setInterval(1000);
    connect(m_countdownTimer, &QTimer::timeout, this, &ApproveDialog::Tick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_approveButton);
    buttons->addWidget(m_rejectButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    layout->addWidget(textLabel);
    layout->addWidget(m_senderLabel);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    setTabOrder(m_approveButton, m_rejectButton);
}

void ApproveDialog::Tick() {
    if (m_countdown <= 0)
        return;
    --m_countdown;
    m_approveButton->setText(ApproveCaption(m_countdown));
    if (m_countdown == 0) {
        m_countdownTimer->stop();
        m_approveButton->click();
    }
}

void ApproveDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget(); owner && owner->isVisible())
        move(owner->frameGeometry().center() - rect().center());
    m_countdown = CountdownStart;
    m_approveButton->setText(ApproveCaption(m_countdown));
    m_countdownTimer->start();
}
