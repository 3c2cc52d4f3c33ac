#pragma once
// The grid's cells as a Qt table model over the Qt-free GridState.

#include <QAbstractTableModel>

#include "gridentry/grid_state.h"

namespace vex::grid {

// The cells as a table model: no widget per cell, so a 256 x 256 grid stays quick.
class CellModel final : public QAbstractTableModel {
  public:
    CellModel(GridState& state, int cellBase) : state_(state), cellBase_(cellBase) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void Reset();
    // Every cell's text was replaced (same shape).
    void AllChanged();

  private:
    GridState& state_;
    int cellBase_;
};

} // namespace vex::grid
