#include "challenge/quarantine_view.h"

#include "records/account.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <cmath>

namespace {

bool ValidCategory(int category) {
    return category >= CategoryChallenged && category <= CategorySpam;
}

bool ValidAccount(int index) {
    return index >= 0 && index < Accounts.Count();
}

int CompareText(const std::string& a, const std::string& b) {
    int order = LowerAscii(a).compare(LowerAscii(b));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int CompareRows(const QuarantineRow& a, const QuarantineRow& b, int column) {
    switch (column) {
    case QuarantineView::SortFrom:
        return CompareText(a.Caption, b.Caption);
    case QuarantineView::SortSubject:
        return CompareText(a.Subject, b.Subject);
    case QuarantineView::SortDate:
        return a.DateKey < b.DateKey ? -1 : (a.DateKey > b.DateKey ? 1 : 0);
    default:
        return 0;
    }
}

QuarantineRow RowOf(const QuarantineEntry& item, SerialDateTime present) {
    QuarantineRow row;
    row.Caption = item.SenderName.empty() ? item.SenderAddress : item.SenderName;
    row.Subject = item.Subject;
    row.Id = item.Id;
    if (item.Date != 0) {
        row.DateText = ShortDateText(item.Date);
        row.DateKey = std::floor(item.Date);
    } else {
        // The list would show 1899 for it; such a date text counts as now.
        row.DateKey = present;
    }
    return row;
}

} // namespace

void QuarantineView::SetCurrentAccount(int index) {
    if (!ValidAccount(index))
        return;
    m_account = index;
    Fill();
}

void QuarantineView::SetCurrentCategory(int category) {
    if (!ValidCategory(category))
        return;
    m_category = category;
    Fill();
}

void QuarantineView::Fill() {
    m_rows.clear();
    m_selected.clear();
    if (!ValidAccount(m_account))
        return;
    const QuarantineIndex& items = Accounts.Item(m_account).Quarantine;
    m_rows.reserve(static_cast<size_t>(items.Count()));
    SerialDateTime present = Now();
    for (int i = items.Count() - 1; i >= 0; --i) {
        const QuarantineEntry& item = items.Item(i);
        if (item.Category == m_category)
            m_rows.push_back(RowOf(item, present));
    }
    if (m_sortColumn != OrderReceived)
        SortRows();
}

void QuarantineView::SortRows() {
    int column = m_sortColumn;
    int direction = m_sortDirection;
    // Stable, so rows that compare equal stay newest first.
    std::stable_sort(m_rows.begin(), m_rows.end(), [column, direction](const QuarantineRow& a, const QuarantineRow& b) {
        return CompareRows(a, b, column) * direction < 0;
    });
}

void QuarantineView::SetSortColumn(int column) {
    m_sortColumn = column;
    SortRows();
}

void QuarantineView::ToggleSortColumn(int column) {
    m_sortDirection = column == m_sortColumn ? -m_sortDirection : Ascending;
    SetSortColumn(column);
}

void QuarantineView::SortBy(int column, int direction) {
    m_sortDirection = direction;
    SetSortColumn(column);
}

void QuarantineView::SetOrderReceived() {
    if (m_sortColumn == OrderReceived)
        return;
    m_sortColumn = OrderReceived;
    Fill();
}

void QuarantineView::Select(int row, bool selected) {
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return;
    int id = m_rows[static_cast<size_t>(row)].Id;
    if (selected)
        m_selected.insert(id);
    else
        m_selected.erase(id);
}

void QuarantineView::SelectAll() {
    for (const QuarantineRow& row : m_rows)
        m_selected.insert(row.Id);
}

bool QuarantineView::IsSelected(int row) const {
    return row >= 0 && row < static_cast<int>(m_rows.size()) && m_selected.count(m_rows[static_cast<size_t>(row)].Id);
}

std::vector<int> QuarantineView::SelectedRows() const {
    std::vector<int> rows;
    for (int row = 0; row < static_cast<int>(m_rows.size()); ++row) {
        if (m_selected.count(m_rows[static_cast<size_t>(row)].Id))
            rows.push_back(row);
    }
    return rows;
}

QuarantineEntry* QuarantineView::SelectedEntry(int row) const {
    if (row < 0) {
        std::vector<int> selected = SelectedRows();
        if (selected.empty())
            return nullptr;
        row = selected.front();
    }
    if (row >= static_cast<int>(m_rows.size()) || !ValidAccount(m_account))
        return nullptr;
    return Accounts.Item(m_account).Quarantine.FindById(m_rows[static_cast<size_t>(row)].Id);
}

std::string QuarantineView::AccountCaption(int index) const {
    if (!ValidAccount(index))
        return {};
    const Account& account = Accounts.Item(index);
    std::string caption = account.ReplyAddress.empty() ? account.EmailAddress : account.ReplyAddress;
    caption += " - " + std::to_string(account.Quarantine.Count());
    if (!account.Enabled)
        caption += " (disabled)";
    return caption;
}

std::string QuarantineView::CategoryCaption(int category) const {
    if (!ValidCategory(category))
        return {};
    int count = 0;
    if (ValidAccount(m_account)) {
        const QuarantineIndex& items = Accounts.Item(m_account).Quarantine;
        for (int i = 0; i < items.Count(); ++i)
            count += items.Item(i).Category == category ? 1 : 0;
    }
    return std::string(CategoryName(category)) + " - " + std::to_string(count);
}

std::string QuarantineView::PageTitle() const {
    return std::string("Quarantine: ") + CategoryName(m_category);
}

std::string QuarantineView::InformationText() const {
    return CategoryInformationText(m_category);
}

const char* CategoryInformationText(int category) {
    switch (category) {
    case CategoryChallenged:
        return "These are messages from unknown senders; Quorvane has sent challenges to these senders, and is "
               "awaiting their responses.";
    case CategoryAutomated:
        return "These are possible automated messages/mailing lists, and require your manual approval, if neccessary.";
    case CategoryVirus:
        return "These are possible viruses/worms, and require your manual approval, if neccessary.";
    case CategorySpam:
        return "These are obvious spam messages.";
    default:
        return "";
    }
}
