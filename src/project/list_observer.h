#pragma once

namespace sw {

// How a list model tells the views over it that rows come, go, move or change. The calls pair up
// as a Qt item model's begin/end notifications do, so an adapter forwards each one to one: every
// "about to" call comes while the model still has its old rows, its partner once it has the new
// ones. Rows are numbered from 0; ranges are inclusive.
class ListObserver {
  public:
    virtual ~ListObserver() = default;

    virtual void RowsAboutToBeInserted(int /*first*/, int /*last*/) {}
    virtual void RowsInserted() {}
    virtual void RowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
    virtual void RowsRemoved() {}
    // The row goes before the row numbered `before` in the old numbering; the old row count for
    // the end of the list (Qt's destinationChild).
    virtual void RowAboutToBeMoved(int /*from*/, int /*before*/) {}
    virtual void RowMoved() {}
    virtual void RowsChanged(int /*first*/, int /*last*/) {}
    virtual void AboutToReset() {}
    virtual void ResetDone() {}
    // The model wants its window shown (an import or a new cue while it is hidden).
    virtual void ShowRequested() {}
};

}  // namespace sw
