#include "ui/settings/preferences_tab.h"

#include "records/program_settings.h"
#include "records/text_helpers.h"
#include "ui/shell/gui_prompts.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

QSpinBox* NumberField(const char* name, int minimum, QWidget* parent) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(name);
    field->setRange(minimum, 9999);
    field->setFixedWidth(80);
    return field;
}

QCheckBox* CheckBox(const char* name, const QString& caption, QWidget* parent) {
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

} // namespace

PreferencesTab::PreferencesTab(QWidget* parent)
    : QWidget(parent), m_mailClientEdit(new QLineEdit(this)), m_browseButton(new QPushButton("Browse...", this)),
      m_autoScanCheckBox(CheckBox("autoScanCheckBox", "Automatically scan for spam every:", this)),
      m_scanMinutesSpin(NumberField("scanMinutesSpin", 1, this)),
      m_autoDeleteCheckBox(CheckBox("autoDeleteCheckBox", "Automatically delete suspect spam after:", this)),
      m_deleteDaysSpin(NumberField("deleteDaysSpin", 5, this)),
      m_passwordProtectCheckBox(CheckBox("passwordProtectCheckBox", "Password protect Suspect Spam folder:", this)),
      m_protectPasswordEdit(new QLineEdit(this)),
      m_approveWithoutAskingCheckBox(
          CheckBox("approveWithoutAskingCheckBox", "Do not ask for my permission before approving a sender", this)),
      m_noChallengeCheckBox(
          CheckBox("noChallengeCheckBox", "Do not send challenges, I want to approve messages manually", this)),
      m_minutes(new QLabel("minute(s)", this)), m_days(new QLabel("day(s)", this)) {
    setObjectName("PreferencesTab");
    m_mailClientEdit->setObjectName("mailClientEdit");
    m_browseButton->setObjectName("browseButton");
    m_protectPasswordEdit->setObjectName("protectPasswordEdit");
    m_protectPasswordEdit->setEchoMode(QLineEdit::Password);
    m_protectPasswordEdit->setStyleSheet("lineedit-password-character: 42;");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 12, 4, 4);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    auto* client = new QHBoxLayout;
    client->addWidget(m_mailClientEdit, 1);
    client->addWidget(m_browseButton);
    grid->addWidget(new QLabel("Email Client:", this), 0, 0);
    grid->addLayout(client, 0, 1, 1, 2);
    grid->addWidget(m_autoScanCheckBox, 1, 0);
    grid->addWidget(m_scanMinutesSpin, 1, 1);
    grid->addWidget(m_minutes, 1, 2);
    grid->addWidget(m_autoDeleteCheckBox, 2, 0);
    grid->addWidget(m_deleteDaysSpin, 2, 1);
    grid->addWidget(m_days, 2, 2);
    grid->addWidget(m_passwordProtectCheckBox, 3, 0);
    grid->addWidget(m_protectPasswordEdit, 3, 1, 1, 2);
    grid->addWidget(m_approveWithoutAskingCheckBox, 4, 0, 1, 3);
    grid->addWidget(m_noChallengeCheckBox, 5, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(6, 1);

    connect(m_mailClientEdit, &QLineEdit::textChanged, this, &PreferencesTab::StoreClientExpiryAndPassword);
    connect(m_protectPasswordEdit, &QLineEdit::textChanged, this, &PreferencesTab::StoreClientExpiryAndPassword);
    connect(m_deleteDaysSpin, &QSpinBox::valueChanged, this, &PreferencesTab::StoreClientExpiryAndPassword);
    for (QCheckBox* box : {m_autoDeleteCheckBox, m_passwordProtectCheckBox})
        connect(box, &QCheckBox::clicked, this, [this] {
            UpdateEnabling();
            StoreClientExpiryAndPassword();
        });
    connect(m_autoScanCheckBox, &QCheckBox::clicked, this, [this](bool on) {
        UpdateEnabling();
        if (!m_loading)
            ProgramSettings.AutoScan = on;
    });
    connect(m_scanMinutesSpin, &QSpinBox::valueChanged, this, [this](int minutes) {
        if (!m_loading)
            ProgramSettings.AutoScanMin = minutes;
    });
    connect(m_approveWithoutAskingCheckBox, &QCheckBox::clicked, this, [this](bool on) {
        if (!m_loading)
            ProgramSettings.NoAskApprove = on;
    });
    connect(m_noChallengeCheckBox, &QCheckBox::clicked, this, [this](bool on) {
        if (!m_loading)
            ProgramSettings.NoChallenge = on;
    });
    connect(m_browseButton, &QPushButton::clicked, this, &PreferencesTab::Browse);
}

void PreferencesTab::Load() {
    m_loading = true;
    m_mailClientEdit->setText(QString::fromStdString(ProgramSettings.EmailClient));
    m_autoScanCheckBox->setChecked(ProgramSettings.AutoScan);
    m_scanMinutesSpin->setValue(ProgramSettings.AutoScanMin);
    m_autoDeleteCheckBox->setChecked(ProgramSettings.AutoDelSpam);
    m_deleteDaysSpin->setValue(ProgramSettings.AutoDelSpamDays);
    m_passwordProtectCheckBox->setChecked(ProgramSettings.PasswordProtect);
    m_protectPasswordEdit->setText(QString::fromStdString(ProgramSettings.Password));
    m_approveWithoutAskingCheckBox->setChecked(ProgramSettings.NoAskApprove);
    m_noChallengeCheckBox->setChecked(ProgramSettings.NoChallenge);
    UpdateEnabling();
    m_loading = false;
}

void PreferencesTab::StoreClientExpiryAndPassword() {
    if (m_loading)
        return;
    ProgramSettings.EmailClient = m_mailClientEdit->text().toStdString();
    ProgramSettings.AutoDelSpam = m_autoDeleteCheckBox->isChecked();
    // The setting holds one byte: a longer period keeps mail for 255 days.
    ProgramSettings.AutoDelSpamDays = static_cast<uint8_t>(std::min(m_deleteDaysSpin->value(), 255));
    ProgramSettings.PasswordProtect = m_passwordProtectCheckBox->isChecked();
    ProgramSettings.Password = m_protectPasswordEdit->text().toStdString();
}

void PreferencesTab::UpdateEnabling() {
    m_scanMinutesSpin->setEnabled(m_autoScanCheckBox->isChecked());
    m_minutes->setEnabled(m_autoScanCheckBox->isChecked());
    m_deleteDaysSpin->setEnabled(m_autoDeleteCheckBox->isChecked());
    m_days->setEnabled(m_autoDeleteCheckBox->isChecked());
    m_protectPasswordEdit->setEnabled(m_passwordProtectCheckBox->isChecked());
}

void PreferencesTab::Browse() {
    auto [program, arguments] = SplitCommandLine(m_mailClientEdit->text().toStdString());
    QString folder = QFileInfo(QString::fromStdString(program)).path();
    QString chosen = GuiPrompts::AskOpenFileName(this, QString(), folder, "All Files (*);;EXE files (*.exe)");
    if (!chosen.isEmpty())
        m_mailClientEdit->setText(chosen);
}
