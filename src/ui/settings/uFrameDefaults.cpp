#include "ui/settings/uFrameDefaults.h"

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

TframeDefaults::TframeDefaults(QWidget* parent)
    : QWidget(parent), edProgram(new QLineEdit(this)), btnBrowse(new QPushButton("Browse...", this)),
      chkAutoScan(CheckBox("chkAutoScan", "Automatically scan for spam every:", this)),
      edBackgroundScan(NumberField("edBackgroundScan", 1, this)),
      chkAutoDelSpam(CheckBox("chkAutoDelSpam", "Automatically delete suspect spam after:", this)),
      edtSpamXDays(NumberField("edtSpamXDays", 5, this)),
      chkPasswordProtect(CheckBox("chkPasswordProtect", "Password protect Suspect Spam folder:", this)),
      edProtectPassword(new QLineEdit(this)),
      chkNoAskApprove(CheckBox("chkNoAskApprove", "Do not ask for my permission before approving a sender", this)),
      chkNoChallenge(CheckBox("chkNoChallenge", "Do not send challenges, I want to approve messages manually", this)),
      m_minutes(new QLabel("minute(s)", this)), m_days(new QLabel("day(s)", this)) {
    setObjectName("TframeDefaults");
    edProgram->setObjectName("edProgram");
    btnBrowse->setObjectName("btnBrowse");
    edProtectPassword->setObjectName("edProtectPassword");
    edProtectPassword->setEchoMode(QLineEdit::Password);
    edProtectPassword->setStyleSheet("lineedit-password-character: 42;");

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 12, 4, 4);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(12);
    auto* client = new QHBoxLayout;
    client->addWidget(edProgram, 1);
    client->addWidget(btnBrowse);
    grid->addWidget(new QLabel("Email Client:", this), 0, 0);
    grid->addLayout(client, 0, 1, 1, 2);
    grid->addWidget(chkAutoScan, 1, 0);
    grid->addWidget(edBackgroundScan, 1, 1);
    grid->addWidget(m_minutes, 1, 2);
    grid->addWidget(chkAutoDelSpam, 2, 0);
    grid->addWidget(edtSpamXDays, 2, 1);
    grid->addWidget(m_days, 2, 2);
    grid->addWidget(chkPasswordProtect, 3, 0);
    grid->addWidget(edProtectPassword, 3, 1, 1, 2);
    grid->addWidget(chkNoAskApprove, 4, 0, 1, 3);
    grid->addWidget(chkNoChallenge, 5, 0, 1, 3);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(6, 1);

    connect(edProgram, &QLineEdit::textChanged, this, &TframeDefaults::StoreClientExpiryAndPassword);
    connect(edProtectPassword, &QLineEdit::textChanged, this, &TframeDefaults::StoreClientExpiryAndPassword);
    connect(edtSpamXDays, &QSpinBox::valueChanged, this, &TframeDefaults::StoreClientExpiryAndPassword);
    for (QCheckBox* box : {chkAutoDelSpam, chkPasswordProtect})
        connect(box, &QCheckBox::clicked, this, [this] {
            UpdateEnabling();
            StoreClientExpiryAndPassword();
        });
    connect(chkAutoScan, &QCheckBox::clicked, this, [this](bool on) {
        UpdateEnabling();
        if (!m_loading)
            ProgramSettings.AutoScan = on;
    });
    connect(edBackgroundScan, &QSpinBox::valueChanged, this, [this](int minutes) {
        if (!m_loading)
            ProgramSettings.AutoScanMin = minutes;
    });
    connect(chkNoAskApprove, &QCheckBox::clicked, this, [this](bool on) {
        if (!m_loading)
            ProgramSettings.NoAskApprove = on;
    });
    connect(chkNoChallenge, &QCheckBox::clicked, this, [this](bool on) {
        if (!m_loading)
            ProgramSettings.NoChallenge = on;
    });
    connect(btnBrowse, &QPushButton::clicked, this, &TframeDefaults::Browse);
}

void TframeDefaults::Load() {
    m_loading = true;
    edProgram->setText(QString::fromStdString(ProgramSettings.EmailClient));
    chkAutoScan->setChecked(ProgramSettings.AutoScan);
    edBackgroundScan->setValue(ProgramSettings.AutoScanMin);
    chkAutoDelSpam->setChecked(ProgramSettings.AutoDelSpam);
    edtSpamXDays->setValue(ProgramSettings.AutoDelSpamDays);
    chkPasswordProtect->setChecked(ProgramSettings.PasswordProtect);
    edProtectPassword->setText(QString::fromStdString(ProgramSettings.Password));
    chkNoAskApprove->setChecked(ProgramSettings.NoAskApprove);
    chkNoChallenge->setChecked(ProgramSettings.NoChallenge);
    UpdateEnabling();
    m_loading = false;
}

void TframeDefaults::StoreClientExpiryAndPassword() {
    if (m_loading)
        return;
    ProgramSettings.EmailClient = edProgram->text().toStdString();
    ProgramSettings.AutoDelSpam = chkAutoDelSpam->isChecked();
    // The setting holds one byte: a longer period keeps mail for 255 days.
    ProgramSettings.AutoDelSpamDays = static_cast<uint8_t>(std::min(edtSpamXDays->value(), 255));
    ProgramSettings.PasswordProtect = chkPasswordProtect->isChecked();
    ProgramSettings.Password = edProtectPassword->text().toStdString();
}

void TframeDefaults::UpdateEnabling() {
    edBackgroundScan->setEnabled(chkAutoScan->isChecked());
    m_minutes->setEnabled(chkAutoScan->isChecked());
    edtSpamXDays->setEnabled(chkAutoDelSpam->isChecked());
    m_days->setEnabled(chkAutoDelSpam->isChecked());
    edProtectPassword->setEnabled(chkPasswordProtect->isChecked());
}

void TframeDefaults::Browse() {
    auto [program, arguments] = SplitCommandLine(edProgram->text().toStdString());
    QString folder = QFileInfo(QString::fromStdString(program)).path();
    QString chosen = GuiPrompts::AskOpenFileName(this, QString(), folder, "All Files (*);;EXE files (*.exe)");
    if (!chosen.isEmpty())
        edProgram->setText(chosen);
}
