#include "gridentry/window/cell_model.h"

#include "platform/qt/qt_text.h"

namespace vex::grid {

int CellModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : state_.rows;
}

int CellModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : state_.cols;
}

QVariant CellModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const size_t k = static_cast<size_t>(index.row()) * state_.cols + index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return Text(state_.cells[k]);
    case Qt::AccessibleDescriptionRole:
        return Text(PlaceLabel({index.row() + 1, index.column() + 1}));
    case Qt::UserRole: // the cell's identifier
        return IdOf(index.row() + 1, index.column() + 1, state_.cols, cellBase_);
    default:
        return {};
    }
}

bool CellModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    std::u16string& cell =
        state_.cells[static_cast<size_t>(index.row()) * state_.cols + index.column()];
    const std::u16string text = Text16(value.toString());
    if (cell == text) return true;
    cell = text;
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags CellModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                           : Qt::NoItemFlags;
}

void CellModel::Reset() {
    beginResetModel();
    endResetModel();
}

void CellModel::AllChanged() {
    if (state_.rows > 0 && state_.cols > 0)
        Q_EMIT dataChanged(index(0, 0), index(state_.rows - 1, state_.cols - 1));
}

} // namespace vex::grid
