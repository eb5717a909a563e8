#pragma once

#include <QTreeView>
#include <functional>
#include <vector>

#include "widgets/item_drag_object.h"

namespace sw {

// The list of the project bin and of the cue list: a report of whole rows with multiple
// selection, in-place rename of column 0 (F2 or the form's Rename command), and rows reordered
// by dragging them through the process-wide drag holder. Drops of anything but this list's own
// rows pass on to the form (files from the desktop). What a move means is the form's business.
class ItemListView : public QTreeView {
    Q_OBJECT

  public:
    explicit ItemListView(QWidget* parent = nullptr);

    // The row a dragged item stands for; an empty item refuses the drag.
    std::function<TItemDragObject::DraggedItem(int row)> DraggedItemAt;
    // The dragged item goes before row `before` (rowCount to append). The form finds the item's
    // row again, since the list may have changed while the drag ran.
    std::function<void(const TItemDragObject::DraggedItem& item, int before)> MoveItem;

    // The row the list's commands act on: the current row when it is selected, else the first
    // selected row; -1 when nothing is selected.
    int SelectedRow() const;
    // Every selected row, ascending.
    std::vector<int> SelectedRows() const;
    // Starts the in-place edit of row's name.
    void EditName(int row);
    // Gives the columns their designed widths, widening one whose widest text would not fit in
    // the desktop's font (a play time cut to "00:00:1..." tells the user nothing) and taking
    // what it needs from the name column, so the window's designed size still shows every
    // column. An empty widest text keeps the designed width.
    struct ColumnWidth {
        int designed = 0;
        QString widest;
    };
    void SetColumnWidths(const std::vector<ColumnWidth>& columns);

    void setModel(QAbstractItemModel* model) override;

  protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // A row that leaves the list while it is dragged must not stay in the drag holder.
    void RowsLeaving(int first, int last);
    void ListLeaving();
};

}  // namespace sw
