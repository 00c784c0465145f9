#include "ui/settings/uFrameMouseButtons.h"

#include "records/program_settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int TimeoutWhenNotANumber = 60;

struct BoolSetting {
    const char* Name;
    const char* Caption;
    bool TProgramSettings::*Field;
};

const BoolSetting BoolSettings[] = {
    {"chkSyncAddressBook", "Synchronize Approved Senders list with address book", &TProgramSettings::SyncAddressBook},
    {"chkSpamNotRecipient", "Mark messages not addressed to me as spam", &TProgramSettings::SpamNotRecipient},
    {"chkApproveMailerDaemon", "Automatically approve Mailer-Daemon/Postmaster",
     &TProgramSettings::ApproveMailerDaemonPostmaster},
    {"chkNoNullMailFrom", "Do not use null Mail From command", &TProgramSettings::NoNullMailFrom},
    {"chkConnectInternet", "Connect to the Internet if not already connected", &TProgramSettings::ConnectInternet},
    {"chkCheckUpdate", "Check for software updates", &TProgramSettings::CheckUpdate},
    {"chkSkipForgedSenders", "Never challenge senders my mail provider found forged",
     &TProgramSettings::SkipForgedSenders},
};

} // namespace

TframeMouseButtons::TframeMouseButtons(QWidget* parent) : QWidget(parent), edTimeOut(new QLineEdit(this)) {
    setObjectName("TframeMouseButtons");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 12, 4, 4);
    layout->setSpacing(10);
    for (const BoolSetting& setting : BoolSettings) {
        auto* box = new QCheckBox(setting.Caption, this);
        box->setObjectName(setting.Name);
        layout->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [this, field = setting.Field](bool on) {
            if (!m_loading)
                ProgramSettings.*field = on;
        });
    }
    edTimeOut->setObjectName("edTimeOut");
    edTimeOut->setFixedWidth(80);
    auto* timeout = new QHBoxLayout;
    timeout->addWidget(new QLabel("Connection timeout:", this));
    timeout->addWidget(edTimeOut);
    timeout->addWidget(new QLabel("seconds", this));
    timeout->addStretch();
    layout->addLayout(timeout);
    layout->addStretch();
    connect(edTimeOut, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_loading)
            return;
        bool number = false;
        int seconds = text.trimmed().toInt(&number);
        ProgramSettings.Timeout = number ? std::min(seconds, MaxTimeoutSeconds) : TimeoutWhenNotANumber;
    });
}

void TframeMouseButtons::Load() {
    m_loading = true;
    for (const BoolSetting& setting : BoolSettings)
        findChild<QCheckBox*>(setting.Name)->setChecked(ProgramSettings.*setting.Field);
    edTimeOut->setText(QString::number(ProgramSettings.Timeout));
    m_loading = false;
}
