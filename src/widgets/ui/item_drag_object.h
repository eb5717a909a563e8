#pragma once

#include <QString>
#include <Qt>
#include <functional>

class QDrag;
class QMimeData;
class QWidget;

namespace sw {

struct TCutObject;
struct TCueObject;

// Drags between our own lists carry this type, so that a drop from another program is never
// taken for one of our rows, and our rows are never taken for a desktop file.
inline constexpr char kItemMimeType[] = "application/x-slicewell-list-item";

// The process-wide drag holder: the one row being dragged out of the project bin or the cue list.
// The bin and the cue list take a drop only when Item came from that very list (reordering);
// the cutter takes either kind. Item is cleared by the drop that takes it and also when a drag
// ends without one, so a stale row is never offered to the next drop.
class TItemDragObject {
  public:
    // What a row stands for, which tells a drop what to do with it: the cutter opens a bin
    // entry's file, and reviews a cue.
    enum class Kind { Other, BinEntry, Cue };

    struct DraggedItem {
        const QWidget* list = nullptr;    // the view the drag started from
        int row = -1;                     // the dragged row in that list when the drag began
        TCutObject* cutObject = nullptr;  // a bin entry, or the cut object of a cue
        TCueObject* cue = nullptr;        // set for a cue
        Kind kind = Kind::Other;
        bool Empty() const { return list == nullptr; }
    };

    static TItemDragObject& Instance();

    const DraggedItem& Item() const { return item_; }
    void SetItem(const DraggedItem& item) { item_ = item; }
    void Clear() { item_ = DraggedItem{}; }

    // True when mime is one of our drags and Item came from list.
    bool CarriesItemOf(const QMimeData* mime, const QWidget* list) const;
    // True when mime is one of our drags and Item is set (any list).
    bool CarriesItem(const QMimeData* mime) const;

    // A list frees an entry: forget it if it is the one being dragged, so no drop can reach a
    // freed record.
    void Forget(const TCutObject* cutObject);
    void Forget(const TCueObject* cue);

    // Runs the drag of item out of source with Qt's drag loop and returns the action the target
    // took. Item holds the row for the whole drag and is empty afterwards, dropped or not.
    Qt::DropAction Run(QWidget* source, const DraggedItem& item, const QString& text);

    // The loop that carries a drag from press to drop; QDrag::exec unless replaced. Platforms
    // without a pointer (the offscreen one the tests run on) end every drag at once, so tests
    // put in a loop that delivers the drag's enter, move and drop events to a target widget.
    using DragLoop = std::function<Qt::DropAction(QDrag& drag)>;
    void SetDragLoop(DragLoop loop) { loop_ = std::move(loop); }

  private:
    DraggedItem item_;
    DragLoop loop_;
};

}  // namespace sw
