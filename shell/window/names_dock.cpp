#include "shell/window/names_dock.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "platform/qt/qt_text.h"
#include "script/library_client.h"
#include "shell/completion.h"

namespace vex {

namespace {

// The name column holds what is inserted; a role keeps it apart from what is shown.
constexpr int kInsertRole = Qt::UserRole + 1;

QString KindText(NameKind kind) {
    switch (kind) {
    case NameKind::Variable:
        return QStringLiteral("variable");
    case NameKind::UserFunction:
        return QStringLiteral("function");
    case NameKind::Matrix:
        return QStringLiteral("matrix");
    default:
        return {};
    }
}

} // namespace

NamesDock::NamesDock(const Library& library, std::function<void(const QString&)> insert,
                     QWidget* parent)
    : QDockWidget(QStringLiteral("Names"), parent), library_(library), insert_(std::move(insert)) {
    setObjectName(QStringLiteral("namesDock"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
}

QTreeWidget* NamesDock::tree() {
    // Made when the dock first shows: most runs never open it.
    if (tree_) return tree_;
    tree_ = new QTreeWidget(this);
    tree_->setColumnCount(3);
    tree_->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Value"), QStringLiteral("Kind")});
    tree_->setRootIsDecorated(false);
    tree_->setUniformRowHeights(true);
    tree_->setSortingEnabled(false);
    tree_->setTextElideMode(Qt::ElideRight);
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    setWidget(tree_);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int) {
        if (item && insert_) insert_(item->data(0, kInsertRole).toString());
    });
    return tree_;
}

void NamesDock::MarkStale() {
    stale_ = true;
    // Lines entered in a row read the names once, when the events next run.
    if (!isVisible() || queued_) return;
    queued_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            queued_ = false;
            if (isVisible()) Refresh();
        },
        Qt::QueuedConnection);
}

void NamesDock::setVisible(bool visible) {
    // The list is in place before the dock is laid out, so the dock takes its width.
    if (visible) tree();
    QDockWidget::setVisible(visible);
}

void NamesDock::showEvent(QShowEvent* event) {
    QDockWidget::showEvent(event);
    Refresh();
}

void NamesDock::Refresh() {
    if (!stale_) return;
    stale_ = false;
    QList<QTreeWidgetItem*> items;
    for (const NameEntry& e : ParseNameList(library_.NameList())) {
        if (!DefinedInRun(e.kind)) continue;
        // A function shows its definition; its name is what goes into the line.
        QString shown = Text(e.name), value = Text(e.description);
        if (e.kind == NameKind::UserFunction) {
            const qsizetype eq = value.indexOf(QStringLiteral(" = "));
            if (eq >= 0) {
                shown = value.left(eq);
                value = value.mid(eq + 3);
            }
        }
        auto* item = new QTreeWidgetItem({shown, value, KindText(e.kind)});
        item->setData(0, kInsertRole, Text(e.name));
        item->setToolTip(1, Text(e.description));
        items << item;
    }
    tree()->setUpdatesEnabled(false);
    tree_->clear();
    tree_->addTopLevelItems(items);
    tree_->resizeColumnToContents(0);
    tree_->resizeColumnToContents(2);
    tree_->setUpdatesEnabled(true);
}

} // namespace vex
