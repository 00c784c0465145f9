#include "ui/settings/challenge_email_tab.h"

#include "platform/message_box.h"
#include "records/program_settings.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// The templates' lines end with CR LF; the fields' with LF.
std::string TemplateText(const QString& text) {
    QString lines = text;
    lines.replace('\n', "\r\n");
    return lines.toStdString();
}

QString FieldText(const std::string& text) {
    QString lines = QString::fromStdString(text);
    lines.remove('\r');
    return lines;
}

QPlainTextEdit* TextField(const char* name, QWidget* parent) {
    auto* field = new QPlainTextEdit(parent);
    field->setObjectName(name);
    field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    field->setLineWrapMode(QPlainTextEdit::NoWrap);
    return field;
}

} // namespace

ChallengeEmailTab::ChallengeEmailTab(QWidget* parent)
    : QWidget(parent), m_challengeText(TextField("challengeText", this)),
      m_postResponseText(TextField("postResponseText", this)),
      m_resetButton(new QPushButton("Reset to defaults", this)) {
    setObjectName("ChallengeEmailTab");
    m_resetButton->setObjectName("resetButton");
    auto* note = new QLabel("%Sender-Name%   = Sender's name\n%My-Name%          = Your name", this);
    note->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 8, 4, 4);
    grid->addWidget(new QLabel("Challenge Message:", this), 0, 0);
    grid->addWidget(m_challengeText, 1, 0, 1, 2);
    grid->addWidget(new QLabel("Post-Response Message:", this), 2, 0);
    grid->addWidget(m_postResponseText, 3, 0, 1, 2);
    grid->addWidget(note, 4, 0);
    grid->addWidget(m_resetButton, 4, 1, Qt::AlignRight | Qt::AlignTop);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(3, 2);

    connect(m_challengeText, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loading)
            ChallengeTemplate = TemplateText(m_challengeText->toPlainText());
    });
    connect(m_postResponseText, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loading)
            PostResponseTemplate = TemplateText(m_postResponseText->toPlainText());
    });
    connect(m_resetButton, &QPushButton::clicked, this, &ChallengeEmailTab::ResetToDefaults);
}

void ChallengeEmailTab::Load() {
    m_loading = true;
    m_challengeText->setPlainText(FieldText(ChallengeTemplate));
    m_postResponseText->setPlainText(FieldText(PostResponseTemplate));
    m_loading = false;
}

void ChallengeEmailTab::ResetToDefaults() {
    if (ShowMessageBox("Are you sure you want to reset to the default challenge/post-response email messages?",
                       "Confirm", MsgButtons::YesNo, MsgIcon::Warning) == MsgResult::No)
        return;
    m_challengeText->setPlainText(FieldText(DefaultChallengeTemplate()));
    m_postResponseText->setPlainText(FieldText(DefaultPostResponseTemplate()));
}
