#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QAction;
class QListWidget;
class QToolBar;
class SenderList;

// SenderListEditor: the editor of one sender list. A tool bar (addEntryButton,
// deleteEntryButton, importEntriesButton and, in the approved frame only, detectAddressBooksButton)
// over the list box m_entryList, which shows its entries sorted, in two
// columns, several selectable at once; Insert and Delete in the list box add
// and delete. The list box is only an edit buffer: after each add, delete and
// import the frame fires ListChanged, and its owner stores the entries in
// the model and shows them again with ShowList.
class SenderListEditor : public QWidget {
    Q_OBJECT
public:
    // The approved frame detects address books and names its import files
    // "Text"; the blacklist frame "Text files with e-mails".
    enum class ListKind { Approved, Blacklist };

    explicit SenderListEditor(ListKind kind, QWidget* parent = nullptr);

    // Empties the list box and its selection and fills it with list's entries.
    void ShowList(const SenderList& list);
    // The list box's entries as the bytes they were shown from or entered as,
    // in the list box's order.
    std::vector<std::string> Entries() const;
    int Count() const;

    // Asks for an address or mask; adds it lower-cased when IsValidEmail
    // accepts it, otherwise says it is not valid.
    void AskAndAddEntry();
    // Deletes the selected entries after "Are you sure?".
    void DeleteSelected();
    // Adds the valid addresses of a text file, one a line; '#' and ';' start
    // comment lines.
    void ImportFile();
    // Adds the addresses of every address book to ApprovedSenders (SyncAddressBooks),
    // with the main window's navigation, its Close command and this tool bar
    // locked meanwhile. The lock is lifted before an error of SaveLists
    // (std::runtime_error) is passed on.
    void DetectAddressBooks();

signals:
    // After an add, delete or import changed the list box.
    void ListChanged(SenderListEditor* frame);
    // After an address-book detection, once the lists were saved and shown.
    void AddressBooksDetected(SenderListEditor* frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateToolBar();
    void CreateListBox();
    void AddEntry(const std::string& entry);
    void SetToolBarEnabled(bool enabled);
    // Two columns of half the visible width each; more scroll sideways.
    void FitColumns();

    ListKind m_kind;
    QAction* m_addAction = nullptr;
    QAction* m_deleteAction = nullptr;
    QAction* m_importAction = nullptr;
    QAction* m_detectAddressBooks = nullptr;
    QToolBar* m_toolBar = nullptr;
    QListWidget* m_entryList = nullptr;
};
