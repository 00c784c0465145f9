#include "ui/preview/preview_dialog.h"

#include "challenge/preview_text.h"
#include "platform/mail_transport_error.h"
#include "platform/message_box.h"
#include "records/window_state.h"
#include "ui/preview/message_text_view.h"
#include "ui/preview/preview_cascade.h"
#include "ui/shell/qt_text.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int MinimumWidth = 300;
constexpr int MinimumHeight = 350;
const char* const SelectOnPress = "selectOnPress";

QRect WorkAreaRect() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Whether another preview window of the program stands at this position.
bool PreviewAt(const QWidget* self, QPoint position) {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != self && window->isVisible() && qobject_cast<PreviewDialog*>(window) && window->pos() == position)
            return true;
    return false;
}

} // namespace

PreviewDialog::PreviewDialog(QWidget* parent) : QDialog(parent), m_header(new QGridLayout) {
    setObjectName("PreviewDialog");
    setWindowTitle(PreviewCaption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint);
    setMinimumSize(MinimumWidth, MinimumHeight);
    resize(600, 400);

    m_header->setHorizontalSpacing(10);
    m_header->setVerticalSpacing(2);
    m_from = AddHeaderRow("From:", "fromEdit");
    m_to = AddHeaderRow("To:", "toEdit");
    m_cc = AddHeaderRow("CC:", "ccEdit");
    m_ccCaption = qobject_cast<QLabel*>(m_header->itemAtPosition(2, 0)->widget());
    m_date = AddHeaderRow("Date:", "dateEdit");
    m_subject = AddHeaderRow("Subject:", "subjectEdit");
    m_header->setColumnStretch(1, 1);
    m_cc->hide();
    m_ccCaption->hide();

    m_attachmentNotice = new QLabel(PreviewAttachmentNotice, this);
    m_attachmentNotice->setObjectName("attachmentNotice");
    m_attachmentNotice->setWordWrap(true);
    m_attachmentNotice->setAutoFillBackground(true);
    m_attachmentNotice->setBackgroundRole(QPalette::ToolTipBase);
    m_attachmentNotice->setForegroundRole(QPalette::ToolTipText);
    m_attachmentNotice->setContentsMargins(8, 5, 8, 5);
    m_attachmentNotice->hide();

    m_bodyView = new MessageTextView(this);

    auto* status = new QStatusBar(this);
    status->setObjectName("previewStatusBar");
    status->setSizeGripEnabled(true);
    auto* notice = new QLabel(PreviewStatusNotice, status);
    notice->setObjectName("statusNoticeLabel");
    status->addWidget(notice, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 8, 0, 0);
    layout->setSpacing(6);
    auto* header = new QWidget(this);
    header->setLayout(m_header);
    m_header->setContentsMargins(10, 0, 10, 0);
    layout->addWidget(header);
    layout->addWidget(m_attachmentNotice);
    layout->addWidget(m_bodyView, 1);
    layout->addWidget(status);
}

PreviewDialog::~PreviewDialog() {
    if (m_loaded)
        DeletePreviewFiles(m_message);
}

QLineEdit* PreviewDialog::AddHeaderRow(const char* caption, const char* name) {
    int row = m_header->rowCount();
    auto* label = new QLabel(caption, this);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setFrame(false);
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Window));
    field->setPalette(colours);
    field->installEventFilter(this);
    m_header->addWidget(label, row, 0);
    m_header->addWidget(field, row, 1);
    return field;
}

void PreviewDialog::LoadMessage(const std::string& path) {
    LoadPreviewMessage(path, m_message);
    m_loaded = true;
    ShowPreviewMessage();
}

void PreviewDialog::ShowPreviewMessage() {
    setEnabled(false);
    PreviewContent content = PreviewContentOf(m_message);
    m_from->setText(QtText(content.From));
    m_to->setText(QtText(content.To));
    m_date->setText(QtText(content.Date));
    m_subject->setText(QtText(content.Subject));
    m_cc->setText(QtText(content.Cc));
    m_cc->setVisible(content.ShowCc);
    m_ccCaption->setVisible(content.ShowCc);
    for (QLineEdit* field : {m_from, m_to, m_cc, m_date, m_subject})
        field->setCursorPosition(0);
    QCoreApplication::processEvents();
    m_attachmentNotice->setVisible(content.ShowAttachmentNotice);
    m_bodyView->SetMessageText(QtText(content.Text));
    setEnabled(true);
}

void PreviewDialog::LoadPreviewGeometry() {
    QRect area = WorkAreaRect();
    PreviewGeometry geometry = ::LoadPreviewGeometry(WorkArea{area.width(), area.height()});
    resize(geometry.Width, geometry.Height);
    QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QPoint position = CascadePreviewPosition(QPoint(geometry.Left, geometry.Top), size(), screen,
                                             [this](QPoint at) { return PreviewAt(this, at); });
    move(position);
    if (geometry.Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void PreviewDialog::SavePreviewGeometry() {
    QRect bounds = isMaximized() ? normalGeometry() : QWidget::geometry();
    PreviewGeometry geometry;
    geometry.Left = bounds.x();
    geometry.Top = bounds.y();
    geometry.Width = bounds.width();
    geometry.Height = bounds.height();
    geometry.Maximized = isMaximized();
    ::SavePreviewGeometry(geometry);
}

void PreviewDialog::done(int result) {
    SavePreviewGeometry();
    QDialog::done(result);
}

bool PreviewDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (!field)
        return QDialog::eventFilter(watched, event);
    // A click into a header field selects all of it, for copying; later
    // clicks place the caret.
    if (event->type() == QEvent::FocusIn) {
        field->setProperty(SelectOnPress, true);
        QTimer::singleShot(0, field, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::MouseButtonPress && field->property(SelectOnPress).toBool()) {
        field->setProperty(SelectOnPress, false);
        field->setFocus();
        field->selectAll();
        return true;
    } else if (event->type() == QEvent::FocusOut) {
        field->setProperty(SelectOnPress, false);
    }
    return QDialog::eventFilter(watched, event);
}

void ShowPreview(QWidget* parent, const std::string& path) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    auto preview = std::make_unique<PreviewDialog>(parent);
    try {
        preview->LoadPreviewGeometry();
        preview->LoadMessage(path);
    } catch (const MailTransportError& error) {
        QApplication::restoreOverrideCursor();
        ShowMessageBox(PreviewErrorText(error.what()), "Notice", MsgButtons::Ok, MsgIcon::Error);
        return;
    }
    QApplication::restoreOverrideCursor();
    preview->exec();
}
