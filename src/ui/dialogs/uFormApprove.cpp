#include "ui/dialogs/uFormApprove.h"

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

TfrmApprove::TfrmApprove(const QString& sender, QWidget* parent)
    : QDialog(parent), lblSender(new QLabel(sender, this)),
      btnApprove(new QPushButton(ApproveCaption(CountdownStart), this)),
      btnReject(new QPushButton("Reject Sender", this)), tmrCountdown(new QTimer(this)) {
    setObjectName("TfrmApprove");
    setWindowTitle("Approve Sender?");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    auto* lblText = new QLabel("The following sender is requesting to be added to your approved list so that you "
                               "can receive his/her emails:",
                               this);
    lblText->setObjectName("lblText");
    lblText->setWordWrap(true);
    lblSender->setObjectName("lblSender");
    lblSender->setTextFormat(Qt::PlainText); // the sender's own words
    lblSender->setWordWrap(true);
    QFont bold = lblSender->font();
    bold.setBold(true);
    lblSender->setFont(bold);

    btnApprove->setObjectName("btnApprove");
    btnApprove->setDefault(true);
    btnReject->setObjectName("btnReject");
    connect(btnApprove, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnReject, &QPushButton::clicked, this, &QDialog::reject);

    tmrCountdown->setObjectName("tmrCountdown");
    tmrCountdown->setInterval(1000);
    connect(tmrCountdown, &QTimer::timeout, this, &TfrmApprove::Tick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnApprove);
    buttons->addWidget(btnReject);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(12);
    layout->addWidget(lblText);
    layout->addWidget(lblSender);
    layout->addLayout(buttons);
    setMinimumWidth(420);
    setTabOrder(btnApprove, btnReject);
}

void TfrmApprove::Tick() {
    if (m_countdown <= 0)
        return;
    --m_countdown;
    btnApprove->setText(ApproveCaption(m_countdown));
    if (m_countdown == 0) {
        tmrCountdown->stop();
        btnApprove->click();
    }
}

void TfrmApprove::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget(); owner && owner->isVisible())
        move(owner->frameGeometry().center() - rect().center());
    m_countdown = CountdownStart;
    btnApprove->setText(ApproveCaption(m_countdown));
    tmrCountdown->start();
}
