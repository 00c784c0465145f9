#include "ui/quarantine/quarantine_model.h"

#include "challenge/quarantine_view.h"

QuarantineModel::QuarantineModel(const QuarantineView& view, QObject* parent)
    : QAbstractTableModel(parent), m_view(view) {}

int QuarantineModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_view.Rows().size());
}

int QuarantineModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant QuarantineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    const QuarantineRow& row = m_view.Rows()[static_cast<size_t>(index.row())];
    switch (index.column()) {
    case QuarantineView::SortFrom:
        return QString::fromStdString(row.Caption);
    case QuarantineView::SortSubject:
        return QString::fromStdString(row.Subject);
    default:
        return QString::fromStdString(row.DateText);
    }
}

QVariant QuarantineModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const Titles[] = {"From", "Subject", "Date"};
    return section >= 0 && section < 3 ? QString(Titles[section]) : QVariant();
}

void QuarantineModel::Reload() {
    beginResetModel();
    endResetModel();
}
