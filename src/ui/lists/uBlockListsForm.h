#pragma once

#include <QWidget>

class TFrameBlockList;

// TBlockListsForm: the two sender-list editors, WBListFrame over WhiteList
// and BBListFrame over BlackList, one of them visible at a time. Each change
// made in a frame is stored in its list and saved at once (ListsChanged);
// the form is the lists' observer, so whatever saves them (this form, the
// address-book synchronisation, the quarantine's approvals) shows them here
// again first. At most one form may exist at a time.
class TBlockListsForm : public QWidget {
    Q_OBJECT
public:
    explicit TBlockListsForm(QWidget* parent = nullptr);
    ~TBlockListsForm() override;

    // Shows WhiteList in the approved frame and BlackList in the blacklist frame.
    void ShowLists();
    // Stores both frames' entries in WhiteList and BlackList and saves them
    // (SaveLists, which shows them again). Throws std::runtime_error when a
    // list file cannot be written.
    void ListsChanged();

    // The approved frame alone (the "Approved Senders" page), or the blacklist
    // frame alone (the settings page's "Blacklist" tab).
    void ShowApprovedOnly();
    void ShowBlacklistOnly();

    // The entries the approved frame shows.
    int ApprovedCount() const;

signals:
    // After an add, delete, import or address-book detection made in either
    // frame, once the lists are saved and shown again.
    void ApprovedCountChanged(int count);

private:
    // OnListChanged of either frame.
    void FrameChanged();
    void EmitApprovedCount();

    TFrameBlockList* WBListFrame;
    TFrameBlockList* BBListFrame;
};
