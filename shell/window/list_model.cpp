#include "shell/window/list_model.h"

#include <iterator>

#include "platform/qt/qt_text.h"

namespace vex {

namespace {

// Most characters a cell shows: a row of millions of characters is kept whole, but
// laying it out at every repaint would hold the window for seconds.
constexpr size_t kMaxCellText = 4096;

// A cell shows the start of a long text and an ellipsis.
QString CellText(const std::u16string& s) {
    if (s.size() > kMaxCellText)
        return Text(std::u16string_view(s).substr(0, kMaxCellText)) + QChar(0x2026);
    return Text(s);
}

} // namespace

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.rows.size());
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() ||
        static_cast<size_t>(index.row()) >= list_.rows.size())
        return {};
    const ListRow& row = list_.rows[static_cast<size_t>(index.row())];
    return CellText(index.column() == 0 ? row.number : row.text);
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return section == 0 ? QStringLiteral("#") : QStringLiteral("E: Expression, =: Result");
}

size_t ListModel::Append(const EntryResult& entry) {
    if (entry.text.empty()) return 0;
    const int first = static_cast<int>(list_.rows.size());
    beginInsertRows({}, first, first + static_cast<int>(entry.rows.size()));
    const size_t added = AppendEntry(list_, entry);
    endInsertRows();
    return added;
}

void ListModel::AppendRows(std::vector<ListRow>& rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(list_.rows.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    list_.rows.insert(list_.rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
    list_.saved = false;
    endInsertRows();
    rows.clear();
}

void ListModel::Remove(const std::vector<size_t>& rows) {
    if (rows.empty()) return;
    beginResetModel();
    RemoveRows(list_, rows);
    endResetModel();
}

void ListModel::Clear() {
    beginResetModel();
    ClearList(list_);
    endResetModel();
}

} // namespace vex
