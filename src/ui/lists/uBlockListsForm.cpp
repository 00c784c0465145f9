#include "ui/lists/uBlockListsForm.h"

#include "records/sender_lists.h"
#include "ui/lists/uFrameBlockList.h"

#include <QVBoxLayout>

TBlockListsForm::TBlockListsForm(QWidget* parent)
    : QWidget(parent), WBListFrame(new TFrameBlockList(TFrameBlockList::ListKind::Approved, this)),
      BBListFrame(new TFrameBlockList(TFrameBlockList::ListKind::Blacklist, this)) {
    WBListFrame->setObjectName("WBListFrame");
    BBListFrame->setObjectName("BBListFrame");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WBListFrame);
    layout->addWidget(BBListFrame);
    for (TFrameBlockList* frame : {WBListFrame, BBListFrame}) {
        connect(frame, &TFrameBlockList::OnListChanged, this, &TBlockListsForm::FrameChanged);
        connect(frame, &TFrameBlockList::AddressBooksDetected, this, &TBlockListsForm::EmitApprovedCount);
    }
    ShowApprovedOnly();
    SetListObserver([this] { ShowLists(); });
}

TBlockListsForm::~TBlockListsForm() {
    SetListObserver(nullptr);
}

void TBlockListsForm::ShowLists() {
    WBListFrame->ShowList(WhiteList);
    BBListFrame->ShowList(BlackList);
}

void TBlockListsForm::ListsChanged() {
    WhiteList.Assign(WBListFrame->Entries());
    BlackList.Assign(BBListFrame->Entries());
    SaveLists();
}

void TBlockListsForm::ShowApprovedOnly() {
    BBListFrame->hide();
    WBListFrame->show();
}

void TBlockListsForm::ShowBlacklistOnly() {
    WBListFrame->hide();
    BBListFrame->show();
}

int TBlockListsForm::ApprovedCount() const {
    return WBListFrame->Count();
}

void TBlockListsForm::FrameChanged() {
    ListsChanged();
    EmitApprovedCount();
}

void TBlockListsForm::EmitApprovedCount() {
    emit ApprovedCountChanged(ApprovedCount());
}
