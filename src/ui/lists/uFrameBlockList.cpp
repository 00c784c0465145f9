#include "ui/lists/uFrameBlockList.h"

#include "import/uABImport.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "records/block_list.h"
#include "records/email_syntax.h"
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

QString ImportFilter(TFrameBlockList::ListKind kind) {
    return kind == TFrameBlockList::ListKind::Approved ? "Text (*.txt)" : "Text files with e-mails (*.txt)";
}

// Only the space is trimmed: a tab makes the line an invalid address.
std::string TrimSpaces(const std::string& line) {
    size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

// The lines of an import file that are addresses or masks, trimmed, in order.
std::vector<std::string> ImportableLines(const std::string& content) {
    std::vector<std::string> entries;
    for (const std::string& line : SplitLines(content)) {
        std::string entry = TrimSpaces(line);
        if (entry.empty() || entry[0] == '#' || entry[0] == ';' || !IsValidEmail(entry))
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
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

TFrameBlockList::TFrameBlockList(ListKind kind, QWidget* parent) : QWidget(parent), m_kind(kind) {
    CreateActions();
    // Created before the tool bar, the list box comes first in the tab order
    // and has the focus when the frame is shown.
    CreateListBox();
    CreateToolBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_toolBar);
    layout->addWidget(lboxEMailMasks, 1);
}

void TFrameBlockList::CreateActions() {
    AAddEMailMask = MakeAction(this, "AAddEMailMask", "Add", "Add email address", Glyph::Add);
    ADelEMailMask = MakeAction(this, "ADelEMailMask", "Delete", "Delete selected email addresses", Glyph::Delete);
    AImportEMailMask =
        MakeAction(this, "AImportEMailMask", "Import", "Import email addresses from a text file", Glyph::Import);
    m_detectAddressBooks = MakeAction(this, "actImportAddressBook", "Detect Address Book",
                                      "Detect email addresses from address book", Glyph::AddressBook);
    m_detectAddressBooks->setVisible(m_kind == ListKind::Approved);
    // Insert and Delete belong to the list box, and only without Shift, Ctrl
    // or Alt: a shortcut matches its exact modifiers.
    AAddEMailMask->setShortcut(Qt::Key_Insert);
    ADelEMailMask->setShortcut(Qt::Key_Delete);
    for (QAction* action : {AAddEMailMask, ADelEMailMask})
        action->setShortcutContext(Qt::WidgetShortcut);
    connect(AAddEMailMask, &QAction::triggered, this, &TFrameBlockList::AAddEMailMaskExecute);
    connect(ADelEMailMask, &QAction::triggered, this, &TFrameBlockList::ADelEMailMaskExecute);
    connect(AImportEMailMask, &QAction::triggered, this, &TFrameBlockList::AImportEMailMaskExecute);
    connect(m_detectAddressBooks, &QAction::triggered, this, &TFrameBlockList::btnImportAddressBookClick);
}

void TFrameBlockList::CreateToolBar() {
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName("tbBlockList");
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolBar->setIconSize(QSize(16, 16));
    const std::pair<QAction*, const char*> buttons[] = {{AAddEMailMask, "btnNew"},
                                                        {ADelEMailMask, "btnDel"},
                                                        {AImportEMailMask, "btnImport"},
                                                        {m_detectAddressBooks, "btnImportAddressBook"}};
    for (const auto& [action, name] : buttons) {
        m_toolBar->addAction(action);
        m_toolBar->widgetForAction(action)->setObjectName(name);
    }
}

void TFrameBlockList::CreateListBox() {
    lboxEMailMasks = new QListWidget(this);
    lboxEMailMasks->setObjectName("lboxEMailMasks");
    lboxEMailMasks->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lboxEMailMasks->setSortingEnabled(true);
    // Columns filled top to bottom, scrolling sideways, as a two-column list box.
    lboxEMailMasks->setFlow(QListView::TopToBottom);
    lboxEMailMasks->setWrapping(true);
    lboxEMailMasks->setResizeMode(QListView::Adjust);
    lboxEMailMasks->setUniformItemSizes(true);
    lboxEMailMasks->addAction(AAddEMailMask);
    lboxEMailMasks->addAction(ADelEMailMask);
    lboxEMailMasks->viewport()->installEventFilter(this);
}

void TFrameBlockList::ShowList(const TBlockList& list) {
    lboxEMailMasks->clearSelection();
    lboxEMailMasks->clear();
    // One sort at the end instead of one search per entry.
    lboxEMailMasks->setSortingEnabled(false);
    for (const std::string& entry : list.Strings())
        AddEntry(entry);
    lboxEMailMasks->sortItems();
    lboxEMailMasks->setSortingEnabled(true);
}

std::vector<std::string> TFrameBlockList::Entries() const {
    std::vector<std::string> entries;
    entries.reserve(static_cast<size_t>(lboxEMailMasks->count()));
    for (int row = 0; row < lboxEMailMasks->count(); ++row)
        entries.push_back(lboxEMailMasks->item(row)->data(Qt::UserRole).toByteArray().toStdString());
    return entries;
}

int TFrameBlockList::Count() const {
    return lboxEMailMasks->count();
}

void TFrameBlockList::AddEntry(const std::string& entry) {
    auto* item = new QListWidgetItem(QString::fromStdString(entry));
    // The bytes themselves go back to the list: an entry that is not valid
    // UTF-8 (read from an older file) must survive being shown and edited.
    item->setData(Qt::UserRole, QByteArray::fromStdString(entry));
    lboxEMailMasks->addItem(item);
}

void TFrameBlockList::AAddEMailMaskExecute() {
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
    emit OnListChanged(this);
}

void TFrameBlockList::ADelEMailMaskExecute() {
    if (lboxEMailMasks->selectedItems().isEmpty()) {
        ShowMessageBox("No address selected.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    if (ShowMessageBox("Are you sure?", "Confirm", MsgButtons::YesNo, MsgIcon::Warning) != MsgResult::Yes)
        return;
    for (int row = lboxEMailMasks->count() - 1; row >= 0; --row)
        if (lboxEMailMasks->item(row)->isSelected())
            delete lboxEMailMasks->takeItem(row);
    emit OnListChanged(this);
}

void TFrameBlockList::AImportEMailMaskExecute() {
    QString fileName =
        GuiPrompts::AskOpenFileName(this, QString(), QFile::decodeName(ProgramFolder().c_str()), ImportFilter(m_kind));
    if (fileName.isEmpty())
        return;
    std::string content;
    if (!ReadWholeFile(QFile::encodeName(fileName).toStdString(), content)) {
        ShowMessageBox("Unable to import file.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    for (const std::string& entry : ImportableLines(content))
        AddEntry(entry);
    emit OnListChanged(this);
}

void TFrameBlockList::btnImportAddressBookClick() {
    {
        DetectionLock lock(CurrentScanView(), [this](bool enabled) { SetToolBarEnabled(enabled); });
        SyncAddressBooks(true);
    }
    emit AddressBooksDetected(this);
}

void TFrameBlockList::SetToolBarEnabled(bool enabled) {
    m_toolBar->setEnabled(enabled);
    // The actions too: they also carry the list box's keys.
    for (QAction* action : {AAddEMailMask, ADelEMailMask, AImportEMailMask, m_detectAddressBooks})
        action->setEnabled(enabled);
}

bool TFrameBlockList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lboxEMailMasks->viewport() && event->type() == QEvent::Resize)
        FitColumns();
    return QWidget::eventFilter(watched, event);
}

void TFrameBlockList::FitColumns() {
    QSize grid(std::max(1, lboxEMailMasks->viewport()->width() / 2), lboxEMailMasks->fontMetrics().height() + 4);
    // The sideways scroll bar coming or going resizes the viewport again.
    if (grid != lboxEMailMasks->gridSize())
        lboxEMailMasks->setGridSize(grid);
}
