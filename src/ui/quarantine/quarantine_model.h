#pragma once

#include <QAbstractTableModel>

class QuarantineView;

// The rows of the quarantine view for m_messageList: From, Subject and Date, read
// straight from the view's rows, which the view fills and sorts itself.
class QuarantineModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit QuarantineModel(const QuarantineView& view, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The view's rows changed (filled or sorted).
    void Reload();

private:
    const QuarantineView& m_view;
};
