#pragma once

#include "platform/date_time.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

struct QuarantineEntry;

// One row of the quarantine list.
struct QuarantineRow {
    // From column: the sender's display name, or the address when it has none.
    std::string Caption;
    std::string Subject;
    // The date part in the user's short date format; empty for an entry
    // without a valid date.
    std::string DateText;
    // What the Date column sorts by: the date part, or the present moment for
    // an entry without a valid date.
    SerialDateTime DateKey = 0;
    int Id = 0;
};

// The state of the quarantine view, kept apart from its widgets so that the
// quarantine actions and the command line drive it without a window: the
// current account and category, the rows shown (rebuilt, never patched), the
// sort order and the selection. The account collection is Accounts.
class QuarantineView {
public:
    static constexpr int OrderReceived = -1;
    static constexpr int SortFrom = 0, SortSubject = 1, SortDate = 2;
    static constexpr int Ascending = 1, Descending = -1;

    // Account tab index (0-based); the account number is one more.
    int CurrentAccount() const { return m_account; }
    int CurrentCategory() const { return m_category; }
    // Shows another account (an index outside Accounts is
    // ignored); the category stays.
    void SetCurrentAccount(int index);
    // Shows another category (0 to 3; others ignored).
    void SetCurrentCategory(int category);

    // FillQuarantineList for the current account: one row per entry of the
    // current category, from the last entry of the index to the first, so the
    // most recently quarantined message comes first; then sorted when a sort
    // column is set. The selection is cleared. With no account (or a current
    // account that no longer exists) the list is empty.
    void Fill();

    const std::vector<QuarantineRow>& Rows() const { return m_rows; }

    int SortColumn() const { return m_sortColumn; }
    int SortDirection() const { return m_sortDirection; }
    // SetSortColumn: sorts the rows by column (-1 leaves their order).
    void SetSortColumn(int column);
    // A header click: the same column reverses the direction, another one
    // sorts ascending.
    void ToggleSortColumn(int column);
    // The menu's sort actions: direction and column at once.
    void SortBy(int column, int direction);
    // "Order Received": back to the order of the index, newest first.
    void SetOrderReceived();

    // Selection by row position; positions outside the rows are ignored. A
    // selected row stays selected when the rows are sorted.
    void Select(int row, bool selected = true);
    void SelectAll();
    void ClearSelection() { m_selected.clear(); }
    bool IsSelected(int row) const;
    // Selected row positions, in row order.
    std::vector<int> SelectedRows() const;
    int SelectedCount() const { return static_cast<int>(m_selected.size()); }

    // SelectedEntry: the entry of the current account's index that the row
    // carries (row -1: the first selected row), or nullptr.
    QuarantineEntry* SelectedEntry(int row = -1) const;

    // "Preview" needs exactly one selected row; Approve, Release and Delete
    // at least one.
    bool PreviewEnabled() const { return SelectedCount() == 1; }
    bool ActionsEnabled() const { return SelectedCount() > 0; }

    // Captions as RefreshCaptions sets them. Account tab: its ReplyAddress
    // (else EmailAddress), " - ", the number of its entries, and " (disabled)"
    // for a disabled account. Category tab of the current account: the
    // category name, " - " and its count.
    std::string AccountCaption(int index) const;
    std::string CategoryCaption(int category) const;
    // "Quarantine: " and the current category's name.
    std::string PageTitle() const;
    // The information strip of the current category.
    std::string InformationText() const;

private:
    void SortRows();

    int m_account = 0;
    int m_category = 0;
    int m_sortColumn = OrderReceived;
    int m_sortDirection = Descending;
    std::vector<QuarantineRow> m_rows;
    // The ids of the selected rows.
    std::set<int> m_selected;
};

// The information strip's text of a category; "" for an unknown one.
const char* CategoryInformationText(int category);
