#include "ui/lists/sender_list_editor.h"

#include "import/address_book_sync.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "records/email_syntax.h"
#include "records/sender_list.h"
#include "records/sender_list_import.h"
#include "records/text_helpers.h"
#include "scan/scan_view.h"
#include "ui/shell/gui_prompts.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

enum class Glyph { Add, Delete, Import, AddressBook };

// Draws one tool-bar image on a 32 by 32 square.
void DrawGlyph(QPainter& painter, Glyph glyph) {
    switch (glyph) {
    case Glyph::Add:
        painter.setPen(QPen(QColor(0x2e, 0x9d, 0x3a), 6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(16, 6, 16, 26);
        painter.drawLine(6, 16, 26, 16);
        break;
    case Glyph::Delete:
        painter.setPen(QPen(QColor(0xd2, 0x3b, 0x30), 6, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(8, 8, 24, 24);
        painter.drawLine(24, 8, 8, 24);
        break;
    case Glyph::Import:
        painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 2));
        painter.setBrush(Qt::white);
        painter.drawRect(11, 3, 17, 26);
        painter.drawLine(15, 9, 24, 9);
        painter.drawLine(19, 14, 24, 14);
        painter.drawLine(19, 24, 24, 24);
        painter.setPen(QPen(QColor(0x2f, 0x6f, 0xc9), 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(3, 19, 14, 19);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x2f, 0x6f, 0xc9));
        painter.drawPolygon(QPolygon({QPoint(13, 12), QPoint(21, 19), QPoint(13, 26)}));
        break;
    case Glyph::AddressBook: {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0x3d, 0x6f, 0xb5));
        painter.drawRoundedRect(6, 2, 22, 28, 2, 2);
        painter.setBrush(QColor(0x2a, 0x4f, 0x85));
        painter.drawRect(6, 2, 5, 28);
        painter.setBrush(Qt::white);
        painter.drawEllipse(QPointF(19.5, 12), 4, 4);
        QPainterPath shoulders;
        shoulders.moveTo(12.5, 25);
        shoulders.arcTo(QRectF(12.5, 17, 14, 16), 180, -180);
        painter.drawPath(shoulders);
        break;
    }
    }
}

QIcon GlyphIcon(Glyph glyph) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 32.0, size / 32.0);
        DrawGlyph(painter, glyph);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QAction* MakeAction(QWidget* owner, const char* name, const QString& caption, const QString& hint, Glyph glyph) {
    auto* action = new QAction(GlyphIcon(glyph), caption, owner);
    action->setObjectName(name);
    action->setToolTip(hint);
    return action;
}

QString ImportFilter(SenderListEditor::ListKind kind) {
    return kind == SenderListEditor::ListKind::Approved ? "Text (*.txt)" : "Text files with e-mails (*.txt)";
}

// While the address books are read, window messages run: the lock keeps the
// user from starting another operation meanwhile (a list edit then would be
// overwritten, a scan would change the lists underneath). It puts every
// control back as it found it, also when the detection fails.
class DetectionLock {
public:
    DetectionLock(ScanView& view, std::function<void(bool)> setOwnControlsEnabled)
        : m_view(view), m_setOwnControlsEnabled(std::move(setOwnControlsEnabled)) {
        m_view.SetBusyCursor(true);
        for (ScanControl control : {ScanControl::Scan, ScanControl::Quarantine, ScanControl::Settings,
                                    ScanControl::Help, ScanControl::About, ScanControl::CloseCommand}) {
            m_before.emplace_back(control, m_view.ControlEnabled(control));
            m_view.SetControlEnabled(control, false);
        }
        m_setOwnControlsEnabled(false);
    }
    ~DetectionLock() {
        m_setOwnControlsEnabled(true);
        for (const auto& [control, enabled] : m_before)
            m_view.SetControlEnabled(control, enabled);
        m_view.SetBusyCursor(false);
    }
    DetectionLock(const DetectionLock&) = delete;
    DetectionLock& operator=(const DetectionLock&) = delete;

private:
    ScanView& m_view;
    std::function<void(bool)> m_setOwnControlsEnabled;
    std::vector<std::pair<ScanControl, bool>> m_before;
};

} // namespace

SenderListEditor::SenderListEditor(ListKind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
    CreateActions();
    // Created before the tool bar, the list box comes first in the tab order
    // and has the focus when the frame is shown.
    CreateListBox();
    CreateToolBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_entryList, 1);
}

void SenderListEditor::CreateActions() {
    m_addAction = MakeAction(this, "addEntryAction", "Add", "Add email address", Glyph::Add);
    m_deleteAction = MakeAction(this, "deleteEntryAction", "Delete", "Delete selected email addresses", Glyph::Delete);
    m_importAction =
        MakeAction(this, "importEntriesAction", "Import", "Import email addresses from a text file", Glyph::Import);
    m_detectAddressBooks = MakeAction(this, "detectAddressBooksAction", "Detect Address Book",
                                      "Detect email addresses from address book", Glyph::AddressBook);
    m_detectAddressBooks->setVisible(m_kind == ListKind::Approved);
    // Insert and Delete belong to the list box, and only without Shift, Ctrl
    // or Alt: a shortcut matches its exact modifiers.
    m_addAction->setShortcut(Qt::Key_Insert);
    m_deleteAction->setShortcut(Qt::Key_Delete);
    for (QAction* action : {m_addAction, m_deleteAction})
        action->setShortcutContext(Qt::WidgetShortcut);
    connect(m_addAction, &QAction::triggered, this, &SenderListEditor::AskAndAddEntry);
    connect(m_deleteAction, &QAction::triggered, this, &SenderListEditor::DeleteSelected);
    connect(m_importAction, &QAction::triggered, this, &SenderListEditor::ImportFile);
    connect(m_detectAddressBooks, &QAction::triggered, this, &SenderListEditor::DetectAddressBooks);
}

void SenderListEditor::CreateToolBar() {
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName("senderListToolBar");
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setIconSize(QSize(16, 16));
    const std::pair<QAction*, const char*> buttons[] = {{m_addAction, "addEntryButton"},
                                                        {m_deleteAction, "deleteEntryButton"},
                                                        {m_importAction, "importEntriesButton"},
                                                        {m_detectAddressBooks, "detectAddressBooksButton"}};
    for (const auto& [action, name] : buttons) {
        m_toolBar->addAction(action);
        m_toolBar->widgetForAction(action)->setObjectName(name);
    }
}

void SenderListEditor::CreateListBox() {
    m_entryList = new QListWidget(this);
    m_entryList->setObjectName("entryList");
    m_entryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_entryList->setSortingEnabled(true);
    // Columns filled top to bottom, scrolling sideways, as a two-column list box.
    m_entryList->setFlow(QListView::TopToBottom);
    m_entryList->setWrapping(true);
    m_entryList->setResizeMode(QListView::Adjust);
    m_entryList->setUniformItemSizes(true);
    m_entryList->addAction(m_addAction);
    m_entryList->addAction(m_deleteAction);
    m_entryList->viewport()->installEventFilter(this);
}

void SenderListEditor::ShowList(const SenderList& list) {
    m_entryList->clearSelection();
    m_entryList->clear();
    // One sort at the end instead of one search per entry.
    m_entryList->setSortingEnabled(false);
    for (const std::string& entry : list.Strings())
        AddEntry(entry);
    m_entryList->sortItems();
    m_entryList->setSortingEnabled(true);
}

std::vector<std::string> SenderListEditor::Entries() const {
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(m_entryList->count()));
    for (int row = 0; row < m_entryList->count(); ++row)
        entries.push_back(m_entryList->item(row)->data(Qt::UserRole).toByteArray().toStdString());
    return entries;
}

int SenderListEditor::Count() const {
    return m_entryList->count();
}

void SenderListEditor::AddEntry(const std::string& entry) {
    auto* item = new QListWidgetItem(QString::fromStdString(entry));
    // The bytes themselves go back to the list: an entry that is not valid
    // UTF-8 (read from an older file) must survive being shown and edited.
    item->setData(Qt::UserRole, QByteArray::fromStdString(entry));
    m_entryList->addItem(item);
}

void SenderListEditor::AskAndAddEntry() {
    bool ok = false;
    QString text = GuiPrompts::AskText(
        this, "Add email address",
        "Enter the email address to add.  To add a whole domain name, use wildcards, i.e. *@domain.com\r\n", &ok);
    if (!ok || text.isEmpty())
        return;
    std::string entry = text.toStdString();
    if (!IsValidEmail(entry)) {
        ShowMessageBox("\"" + entry + "\" is not a valid email address, please try again", "Notice", MsgButtons::Ok,
                       MsgIcon::Warning);
        return;
    }
    AddEntry(LowerAscii(entry));
    emit ListChanged(this);
}

void SenderListEditor::DeleteSelected() {
    if (m_entryList->selectedItems().isEmpty()) {
        ShowMessageBox("No address selected.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    if (ShowMessageBox("Are you sure?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning) != MsgResult::Yes)
        return;
    for (int row = m_entryList->count() - 1; row >= 0; --row)
        if (m_entryList->item(row)->isSelected())
            delete m_entryList->takeItem(row);
    emit ListChanged(this);
}

void SenderListEditor::ImportFile() {
    QString fileName =
        GuiPrompts::AskOpenFileName(this, QString(), QFile::decodeName(ProgramFolder().c_str()), ImportFilter(m_kind));
    if (fileName.isEmpty())
        return;
    std::string content;
    if (!ReadWholeFile(QFile::encodeName(fileName).toStdString(), content)) {
        ShowMessageBox("Unable to import file.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    for (const std::string& entry : ImportableListEntries(content))
        AddEntry(entry);
    emit ListChanged(this);
}

void SenderListEditor::DetectAddressBooks() {
    {
        DetectionLock lock(CurrentScanView(), [this](bool enabled) { SetToolBarEnabled(enabled); });
        SyncAddressBooks(true);
    }
    emit AddressBooksDetected(this);
}

void SenderListEditor::SetToolBarEnabled(bool enabled) {
    m_toolBar->setEnabled(enabled);
    // The actions too: they also carry the list box's keys.
    for (QAction* action : {m_addAction, m_deleteAction, m_importAction, m_detectAddressBooks})
        action->setEnabled(enabled);
}

bool SenderListEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_entryList->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    return QWidget::eventFilter(watched, event);
}

void SenderListEditor::FitColumns() {
    QSize grid(std::max(1, m_entryList->viewport()->width() / 2), m_entryList->fontMetrics().height() + 4);
    // The sideways scroll bar coming or going resizes the viewport again.
    if (grid != m_entryList->gridSize())
        m_entryList->setGridSize(grid);
}
