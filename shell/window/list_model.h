#pragma once
// The expression list as the list view sees it: two columns over the rows of an
// ExpressionList. Every change of the rows goes through here so the view follows.

#include <QAbstractTableModel>

#include "shell/expression_list.h"

namespace vex {

class ListModel final : public QAbstractTableModel {
  public:
    explicit ListModel(ExpressionList& list, QObject* parent = nullptr)
        : QAbstractTableModel(parent), list_(list) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The list operations, with the view told.
    size_t Append(const EntryResult& entry);
    // Moves rows (numbered already) to the end of the list; rows is empty after.
    void AppendRows(std::vector<ListRow>& rows);
    void Remove(const std::vector<size_t>& rows);
    void Clear();

  private:
    ExpressionList& list_;
};

} // namespace vex
