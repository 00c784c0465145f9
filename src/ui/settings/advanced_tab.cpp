#include "ui/settings/advanced_tab.h"

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
    bool SettingsRecord::*Field;
};

const BoolSetting BoolSettings[] = {
    {"syncAddressBookCheckBox", "Synchronize Approved Senders list with address book",
     &SettingsRecord::SyncAddressBook},
    {"spamNotRecipientCheckBox", "Mark messages not addressed to me as spam", &SettingsRecord::SpamNotRecipient},
    {"approveMailerDaemonCheckBox", "Automatically approve Mailer-Daemon/Postmaster",
     &SettingsRecord::ApproveMailerDaemonPostmaster},
    {"noNullMailFromCheckBox", "Do not use null Mail From command", &SettingsRecord::NoNullMailFrom},
    {"connectInternetCheckBox", "Connect to the Internet if not already connected", &SettingsRecord::ConnectInternet},
    {"checkUpdateCheckBox", "Check for software updates", &SettingsRecord::CheckUpdate},
    {"skipForgedSendersCheckBox", "Never challenge senders my mail provider found forged",
     &SettingsRecord::SkipForgedSenders},
};

} // namespace

AdvancedTab::AdvancedTab(QWidget* parent) : QWidget(parent), m_timeoutEdit(new QLineEdit(this)) {
    setObjectName("AdvancedTab");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 12, 4, 4);
    layout->setSpacing(10);
    for (const BoolSetting& setting : BoolSettings) {
        auto* box = new QCheckBox(setting.Caption, this);
        box->setObjectName(setting.Name);
        layout->addWidget(box);
        m_settingBoxes.push_back(box);
        connect(box, &QCheckBox::clicked, this, [this, field = setting.Field](bool on) {
            if (!m_loading)
                ProgramSettings.*field = on;
        });
    }
    m_timeoutEdit->setObjectName("timeoutEdit");
    m_timeoutEdit->setFixedWidth(80);
    auto* timeout = new QHBoxLayout;
    timeout->addWidget(new QLabel("Connection timeout:", this));
    timeout->addWidget(m_timeoutEdit);
    timeout->addWidget(new QLabel("seconds", this));
    timeout->addStretch();
    layout->addLayout(timeout);
    layout->addStretch();
    connect(m_timeoutEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_loading)
            return;
        bool number = false;
        int seconds = text.trimmed().toInt(&number);
        ProgramSettings.Timeout = number ? std::min(seconds, MaxTimeoutSeconds) : TimeoutWhenNotANumber;
    });
}

void AdvancedTab::Load() {
    m_loading = true;
    for (size_t i = 0; i < m_settingBoxes.size(); ++i)
        m_settingBoxes[i]->setChecked(ProgramSettings.*BoolSettings[i].Field);
    m_timeoutEdit->setText(QString::number(ProgramSettings.Timeout));
    m_loading = false;
}
