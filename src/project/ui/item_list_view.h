#pragma once

#include <QTreeView>
#include <functional>
#include <vector>

#include "widgets/ui/item_drag_object.h"

class QMimeData;

namespace sw {

// The list of the project bin and of the cue list: a report of whole rows with multiple
// selection, in-place rename of column 0 (F2 or the form's Rename command), and rows reordered
// by dragging them through the process-wide drag holder. Drops of anything but this list's own
// rows pass on to the form (files from the desktop). What a move means is the form's business.
class ItemListView : public QTreeView {
    Q_OBJECT

  public:
    explicit ItemListView(QWidget* parent = nullptr);

    // The row a dragged item stands for.
    std::function<TItemDragObject::DraggedItem(int row)> DraggedItemAt;
    // The form's handlers of a row's drag, which do its work (CutObjectsListStartDrag,
    // CueListDragOver, ...); the view's Qt overrides only call them. StartDrag makes the list's
    // selected row the drag holder's item (false: nothing to drag); DragOver says whether a
    // drag's data may drop on this list; DragDrop puts the holder's row before row `before`
    // (rowCount to append) and clears the holder.
    std::function<bool()> StartDrag;
    std::function<bool(const QMimeData* data)> DragOver;
    std::function<void(int before)> DragDrop;
    // What the handlers share: the drag holder's item becomes the selected row's (false when no
    // row is selected); whether data carries one of this list's own rows; the held row, taken
    // out of the holder.
    bool HoldSelectedRow();
    bool CarriesOwnRow(const QMimeData* data) const;
    static TItemDragObject::DraggedItem TakeHeldRow();

    // The row the list's commands act on: the current row when it is selected, else the first
    // selected row; -1 when nothing is selected.
    int SelectedRow() const;
    // Every selected row, ascending.
    std::vector<int> SelectedRows() const;
    // Starts the in-place edit of row's name.
    void EditName(int row);
    // Gives the columns their designed widths, widening one whose widest text would not fit in
    // the desktop's font (a play time cut to "00:00:1..." tells the user nothing). The first
    // column, the name, stretches over the rest of the view: it gives way to a scroll bar and
    // grows with the window. An empty widest text keeps the designed width.
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
    bool TakesDrag(const QMimeData* data) const;
    // A row that leaves the list while it is dragged must not stay in the drag holder.
    void RowsLeaving(int first, int last);
    void ListLeaving();
};

}  // namespace sw
