#include "project/ui/item_list_view.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QStyle>
#include <algorithm>

namespace sw {

ItemListView::ItemListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    // Rows of one height let the view lay out thousands of cues without measuring each one.
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setContextMenuPolicy(Qt::CustomContextMenu);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
}

void ItemListView::setModel(QAbstractItemModel* model) {
    if (this->model() != nullptr) {
        disconnect(this->model(), nullptr, this, nullptr);
    }
    QTreeView::setModel(model);
    if (model != nullptr) {
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                [this](const QModelIndex&, int first, int last) { RowsLeaving(first, last); });
        connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &ItemListView::ListLeaving);
    }
}

void ItemListView::RowsLeaving(int first, int last) {
    TItemDragObject& holder = TItemDragObject::Instance();
    const TItemDragObject::DraggedItem& dragged = holder.Item();
    if (dragged.list != this || !DraggedItemAt) {
        return;
    }
    for (int row = first; row <= last; ++row) {
        const TItemDragObject::DraggedItem leaving = DraggedItemAt(row);
        if (leaving.cutObject == dragged.cutObject && leaving.cue == dragged.cue) {
            holder.Clear();
            return;
        }
    }
}

void ItemListView::ListLeaving() {
    if (TItemDragObject::Instance().Item().list == this) {
        TItemDragObject::Instance().Clear();
    }
}

int ItemListView::SelectedRow() const {
    if (selectionModel() == nullptr) {
        return -1;
    }
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex())) {
        return current.row();
    }
    const std::vector<int> rows = SelectedRows();
    return rows.empty() ? -1 : rows.front();
}

std::vector<int> ItemListView::SelectedRows() const {
    std::vector<int> rows;
    if (selectionModel() == nullptr) {
        return rows;
    }
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ItemListView::EditName(int row) {
    if (model() == nullptr || row < 0 || row >= model()->rowCount()) {
        return;
    }
    const QModelIndex index = model()->index(row, 0);
    setCurrentIndex(index);
    edit(index);
}

void ItemListView::startDrag(Qt::DropActions) {
    if (!StartDrag || !StartDrag()) {
        return;
    }
    const TItemDragObject::DraggedItem item = TItemDragObject::Instance().Item();
    const QString text = model()->index(item.row, 0).data().toString();
    TItemDragObject::Instance().Run(this, item, text);
}

bool ItemListView::HoldSelectedRow() {
    const int row = SelectedRow();
    if (row < 0 || !DraggedItemAt) {
        return false;
    }
    TItemDragObject::Instance().SetItem(DraggedItemAt(row));
    return true;
}

bool ItemListView::CarriesOwnRow(const QMimeData* data) const {
    return TItemDragObject::Instance().CarriesItemOf(data, this);
}

TItemDragObject::DraggedItem ItemListView::TakeHeldRow() {
    const TItemDragObject::DraggedItem item = TItemDragObject::Instance().Item();
    TItemDragObject::Instance().Clear();
    return item;
}

bool ItemListView::TakesDrag(const QMimeData* data) const {
    return DragOver && DragOver(data);
}

void ItemListView::dragEnterEvent(QDragEnterEvent* event) {
    if (TakesDrag(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void ItemListView::dragMoveEvent(QDragMoveEvent* event) {
    if (!TakesDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    // The base class draws the drop indicator; the decision stays ours.
    QTreeView::dragMoveEvent(event);
    event->acceptProposedAction();
}

void ItemListView::dropEvent(QDropEvent* event) {
    if (TakesDrag(event->mimeData())) {
        const QModelIndex target = indexAt(event->position().toPoint());
        const int before = target.isValid() ? target.row() : model()->rowCount();
        event->setDropAction(Qt::MoveAction);
        event->accept();
        if (DragDrop) {
            DragDrop(before);
        }
    } else {
        event->ignore();
    }
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}

void ItemListView::SetColumnWidths(const std::vector<ColumnWidth>& columns) {
    // The cell's own padding on both sides, as the style draws it.
    const int padding = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 4);
    constexpr int kNarrowestName = 60;
    std::vector<int> widths;
    int extra = 0;
    for (const ColumnWidth& column : columns) {
        const int needed =
            column.widest.isEmpty() ? 0 : fontMetrics().horizontalAdvance(column.widest) + padding;
        widths.push_back(std::max(column.designed, needed));
        extra += widths.back() - column.designed;
    }
    if (!widths.empty()) {
        widths[0] = std::max(kNarrowestName, widths[0] - extra);
    }
    for (size_t i = 0; i < widths.size(); ++i) {
        header()->resizeSection(static_cast<int>(i), widths[i]);
    }
    // The name column takes what the others leave: it gives way when the vertical scroll bar
    // appears, so the last column is never cut, and widens with a maximised window.
    header()->setMinimumSectionSize(kNarrowestName);
    header()->setSectionResizeMode(0, QHeaderView::Stretch);
}

}  // namespace sw
