#include "shell/window/list_fit.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

#include "shell/window_logic.h"

namespace vex {

ListFit::ListFit(QTableView* view) : QObject(view), view_(view) {
    QAbstractItemModel* model = view_->model();
    const auto widest = [this](int first, int last) {
        QAbstractItemModel* m = view_->model();
        // Numbers only grow along the list; the last rows are the widest.
        for (int row = std::max(first, last - 64); row <= last; ++row)
            widestChars_ =
                std::max(widestChars_, static_cast<int>(m->index(row, 0).data().toString().size()));
    };
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this, widest](const QModelIndex&, int first, int last) {
                widest(first, last);
                FitNumbers();
            });
    connect(model, &QAbstractItemModel::modelReset, this, [this, widest] {
        widestChars_ = 0;
        widest(0, view_->model()->rowCount() - 1);
        FitNumbers();
    });
    // Once at the end, the list stays there when a scroll bar appears and the rows'
    // room shrinks: the newest row is never left under the horizontal bar.
    QScrollBar* bar = view_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this,
            [this, bar](int value) { atEnd_ = value >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this](int, int maximum) { FollowEnd(maximum); });
}

int ListFit::NeededWidth() const {
    const QFontMetrics fm(view_->font());
    // Every digit as wide as the widest one, and the cell's margins on both sides.
    const int text = fm.horizontalAdvance(QLatin1Char('E')) +
                     std::max(widestChars_ - 1, 0) * fm.horizontalAdvance(QLatin1Char('8'));
    const int margin = view_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view_);
    return text + 2 * (margin + 1) + fm.averageCharWidth();
}

void ListFit::FitNumbers() {
    if (widestChars_ == 0) return;
    const int needed = NeededWidth();
    if (view_->columnWidth(0) >= needed) return;
    view_->setColumnWidth(0, needed);
    // The expression column gives up what the number column took.
    if (QWidget* client = view_->parentWidget())
        view_->setColumnWidth(1, std::max(ExprWidthFor(client->width(), needed), 8));
}

void ListFit::FollowEnd(int maximum) {
    if (atEnd_) view_->verticalScrollBar()->setValue(maximum);
}

} // namespace vex
