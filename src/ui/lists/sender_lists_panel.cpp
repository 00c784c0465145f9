#include "ui/lists/sender_lists_panel.h"

#include "records/sender_lists.h"
#include "ui/lists/sender_list_editor.h"

#include <QVBoxLayout>

SenderListsPanel::SenderListsPanel(QWidget* parent)
    : QWidget(parent), m_approvedEditor(new SenderListEditor(SenderListEditor::ListKind::Approved, this)),
      m_blockedEditor(new SenderListEditor(SenderListEditor::ListKind::Blacklist, this)) {
    m_approvedEditor->setObjectName("approvedEditor");
    m_blockedEditor->setObjectName("blockedEditor");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_approvedEditor);
    layout->addWidget(m_blockedEditor);
    for (SenderListEditor* frame : {m_approvedEditor, m_blockedEditor}) {
        connect(frame, &SenderListEditor::ListChanged, this, &SenderListsPanel::FrameChanged);
        connect(frame, &SenderListEditor::AddressBooksDetected, this, &SenderListsPanel::EmitApprovedCount);
    }
    ShowApprovedOnly();
    SetListObserver([this] { ShowLists(); });
}

SenderListsPanel::~SenderListsPanel() {
    SetListObserver(nullptr);
}

void SenderListsPanel::ShowLists() {
    m_approvedEditor->ShowList(ApprovedSenders);
    m_blockedEditor->ShowList(BlockedSenders);
}

void SenderListsPanel::ListsChanged() {
    ApprovedSenders.Assign(m_approvedEditor->Entries());
    BlockedSenders.Assign(m_blockedEditor->Entries());
    SaveLists();
}

void SenderListsPanel::ShowApprovedOnly() {
    m_blockedEditor->hide();
    m_approvedEditor->show();
}

void SenderListsPanel::ShowBlacklistOnly() {
    m_approvedEditor->hide();
    m_blockedEditor->show();
}

int SenderListsPanel::ApprovedCount() const {
    return m_approvedEditor->Count();
}

void SenderListsPanel::FrameChanged() {
    ListsChanged();
    EmitApprovedCount();
}

void SenderListsPanel::EmitApprovedCount() {
    emit ApprovedCountChanged(ApprovedCount());
}
