#include "ui/scan/scan_page.h"

#include "ui/scan/scan_animation.h"

#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QLabel* NamedLabel(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText); // account names and server texts
    return label;
}

} // namespace

ScanPage::ScanPage(QWidget* parent)
    : QWidget(parent),
      m_headlineLabel(NamedLabel("headlineLabel", "Click Start to scan your email accounts for spam.", this)),
      m_currentActionLabel(NamedLabel("currentActionLabel", QString(), this)), m_detailsText(new QPlainTextEdit(this)),
      m_scannedLabel(NamedLabel("scannedLabel", "0", this)), m_spamLabel(NamedLabel("spamLabel", "0 (0.00%)", this)),
      m_progressBar(new QProgressBar(this)), m_animation(new ScanAnimation(this)),
      m_startButton(new QPushButton("&Start", this)), m_cancelButton(new QPushButton("&Cancel", this)),
      m_scannedCaption(NamedLabel("scannedCaption", "Scanned     :", this)) {
    setObjectName("scanPage");

    QFont headline = m_headlineLabel->font();
    headline.setBold(true);
    headline.setPointSizeF(headline.pointSizeF() * 1.15);
    m_headlineLabel->setFont(headline);
    m_headlineLabel->setWordWrap(true);
    m_currentActionLabel->setWordWrap(true);
    m_currentActionLabel->setMinimumHeight(m_currentActionLabel->fontMetrics().height());

    m_detailsText->setObjectName("detailsText");
    m_detailsText->setReadOnly(true);
    m_detailsText->setUndoRedoEnabled(false);
    m_detailsText->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    m_progressBar->setObjectName("scanProgressBar");
    m_progressBar->setTextVisible(false);
    m_progressBar->setMaximum(1);
    m_progressBar->setValue(0);

    m_startButton->setObjectName("startScanButton");
    m_cancelButton->setObjectName("cancelScanButton");
    m_cancelButton->setEnabled(false);
    m_startButton->setDefault(true);
    connect(m_startButton, &QPushButton::clicked, this, &ScanPage::StartRequested);
    connect(m_cancelButton, &QPushButton::clicked, this, &ScanPage::CancelRequested);

    // The caption opens the help contents; it looks and acts like a link.
    m_scannedCaption->setCursor(Qt::PointingHandCursor);
    m_scannedCaption->setToolTip("Open the help contents");
    m_scannedCaption->installEventFilter(this);
    auto* spamCaption = NamedLabel("spamCaption", "Spam detected :", this);

    auto* statistics = new QGridLayout;
    statistics->setHorizontalSpacing(10);
    statistics->addWidget(m_scannedCaption, 0, 0);
    statistics->addWidget(m_scannedLabel, 0, 1);
    statistics->addWidget(spamCaption, 1, 0);
    statistics->addWidget(m_spamLabel, 1, 1);
    statistics->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(m_animation, 0, Qt::AlignTop);
    auto* headlines = new QVBoxLayout;
    headlines->addWidget(m_headlineLabel);
    headlines->addWidget(m_currentActionLabel);
    top->addLayout(headlines, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addLayout(statistics, 1);
    buttons->addWidget(m_startButton, 0, Qt::AlignBottom);
    buttons->addWidget(m_cancelButton, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(m_progressBar);
    layout->addWidget(m_detailsText, 1);
    layout->addLayout(buttons);
}

bool ScanPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_scannedCaption && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit ScannedLabelClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ScanPage::SetHeadline(const QString& text) {
    m_headlineLabel->setText(text);
}

void ScanPage::SetCurrentAction(const QString& text) {
    m_currentActionLabel->setText(text);
}

void ScanPage::ClearDetails() {
    m_detailsText->clear();
}

void ScanPage::AddDetailsLine(const QString& line) {
    m_detailsText->appendPlainText(line);
}

void ScanPage::ScrollDetailsToTop() {
    m_detailsText->verticalScrollBar()->setValue(0);
}

void ScanPage::SetScannedText(const QString& text) {
    m_scannedLabel->setText(text);
}

void ScanPage::SetSpamText(const QString& text) {
    m_spamLabel->setText(text);
}

void ScanPage::SetProgressMaximum(int maximum) {
    // A bar whose maximum is 0 turns into a busy indicator.
    m_progressBar->setMaximum(maximum > 0 ? maximum : 1);
}

int ScanPage::ProgressPosition() const {
    return m_progressBar->value();
}

void ScanPage::SetProgressPosition(int position) {
    m_progressBar->setValue(position);
}

void ScanPage::StartAnimation() {
    m_animation->Start();
}

void ScanPage::StopAnimation() {
    m_animation->Stop();
}

bool ScanPage::StartEnabled() const {
    return m_startButton->isEnabled();
}

void ScanPage::SetStartEnabled(bool enabled) {
    m_startButton->setEnabled(enabled);
}

bool ScanPage::CancelEnabled() const {
    return m_cancelButton->isEnabled();
}

void ScanPage::SetCancelEnabled(bool enabled) {
    m_cancelButton->setEnabled(enabled);
}

void ScanPage::FocusStart() {
    m_startButton->setFocus();
}
