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
    : QWidget(parent), lblScanTop(NamedLabel("lblScanTop", "Click Start to scan your email accounts for spam.", this)),
      lblCurrentAction(NamedLabel("lblCurrentAction", QString(), this)), memoScanDetails(new QPlainTextEdit(this)),
      lblMsgsScanned(NamedLabel("lblMsgsScanned", "0", this)),
      lblSpamDetected(NamedLabel("lblSpamDetected", "0 (0.00%)", this)), Progress(new QProgressBar(this)),
      scanAnimation(new ScanAnimation(this)), btnStartScan(new QPushButton("&Start", this)),
      btnStopScan(new QPushButton("&Cancel", this)),
      m_scannedCaption(NamedLabel("lblScannedCaption", "Scanned     :", this)) {
    setObjectName("tsScan");

    QFont headline = lblScanTop->font();
    headline.setBold(true);
    headline.setPointSizeF(headline.pointSizeF() * 1.15);
    lblScanTop->setFont(headline);
    lblScanTop->setWordWrap(true);
    lblCurrentAction->setWordWrap(true);
    lblCurrentAction->setMinimumHeight(lblCurrentAction->fontMetrics().height());

    memoScanDetails->setObjectName("memoScanDetails");
    memoScanDetails->setReadOnly(true);
    memoScanDetails->setUndoRedoEnabled(false);
    memoScanDetails->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    Progress->setObjectName("Progress");
    Progress->setTextVisible(false);
    Progress->setMaximum(1);
    Progress->setValue(0);

    btnStartScan->setObjectName("btnStartScan");
    btnStopScan->setObjectName("btnStopScan");
    btnStopScan->setEnabled(false);
    btnStartScan->setDefault(true);

    // The caption opens the help contents; it looks and acts like a link.
    m_scannedCaption->setCursor(Qt::PointingHandCursor);
    m_scannedCaption->setToolTip("Open the help contents");
    m_scannedCaption->installEventFilter(this);
    auto* spamCaption = NamedLabel("lblSpamCaption", "Spam detected :", this);

    auto* statistics = new QGridLayout;
    statistics->setHorizontalSpacing(10);
    statistics->addWidget(m_scannedCaption, 0, 0);
    statistics->addWidget(lblMsgsScanned, 0, 1);
    statistics->addWidget(spamCaption, 1, 0);
    statistics->addWidget(lblSpamDetected, 1, 1);
    statistics->setColumnStretch(1, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(scanAnimation, 0, Qt::AlignTop);
    auto* headlines = new QVBoxLayout;
    headlines->addWidget(lblScanTop);
    headlines->addWidget(lblCurrentAction);
    top->addLayout(headlines, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addLayout(statistics, 1);
    buttons->addWidget(btnStartScan, 0, Qt::AlignBottom);
    buttons->addWidget(btnStopScan, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(Progress);
    layout->addWidget(memoScanDetails, 1);
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
