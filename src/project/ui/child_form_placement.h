#pragma once

#include <QPointer>
#include <QRect>

class QAction;
class QWidget;

namespace sw {

// How the bin and the cue list live in the frame: each is created once inside a child window and
// only shown or hidden, its View item and toolbar button checked while it shows. The placement
// is kept under the form's objectName ("ProjectForm", "CueListForm"); the window gets its
// designed place the first time, and never gets smaller than its minimum nor larger than the
// screen.
class ChildFormPlacement {
  public:
    ChildFormPlacement(QWidget* form, QRect designed, QSize minimum);

    // The child window around the form, or the form itself while it has none.
    QWidget* Host() const;
    void SetViewAction(QAction* action);

    // A window whose designed place follows from the others' (set before RestorePlacement).
    void SetDesigned(QRect designed) { designed_ = designed; }
    // Designed place and sizes, then the stored placement (which also shows or hides it).
    void RestorePlacement();
    // The View item, the toolbar button and the window's close box: stores the placement with
    // the visibility it had, then hides or shows the window.
    void ToggleVisible();
    // Shows the window when it is hidden (an import, a new cue).
    void Show();
    // At the program's end: the placement with the visibility it has.
    void SavePlacement();

  private:
    void SetHostVisible(bool visible);

    QWidget* form_;
    QRect designed_;
    QSize minimum_;
    QPointer<QAction> view_;
};

}  // namespace sw
