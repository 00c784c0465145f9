#pragma once

#include <QWidget>

class SenderListEditor;

// SenderListsPanel: the two sender-list editors, m_approvedEditor over ApprovedSenders
// and m_blockedEditor over BlockedSenders, one of them visible at a time. Each change
// made in a frame is stored in its list and saved at once (ListsChanged);
// the form is the lists' observer, so whatever saves them (this form, the
// address-book synchronisation, the quarantine's approvals) shows them here
// again first. At most one form may exist at a time.
class SenderListsPanel : public QWidget {
    Q_OBJECT
public:
    explicit SenderListsPanel(QWidget* parent = nullptr);
    ~SenderListsPanel() override;

    // Shows ApprovedSenders in the approved frame and BlockedSenders in the blacklist frame.
    void ShowLists();
    // Stores both frames' entries in ApprovedSenders and BlockedSenders and saves them
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
    // ListChanged of either frame.
    void FrameChanged();
    void EmitApprovedCount();

    SenderListEditor* m_approvedEditor;
    SenderListEditor* m_blockedEditor;
};
