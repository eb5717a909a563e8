#pragma once

class QWidget;

namespace sw {

// Each persistent window keeps its placement in its own group of the settings store, named after
// the window's objectName ("MainForm", "ProjectForm", "CutterForm", "CueListForm"): "Left",
// "Top", "Width", "Height" and "Visible". A form that sits inside a QMdiSubWindow is placed by
// that sub-window, so a form may pass itself.
//
// A window has a fixed size when its minimum size equals its maximum size (what
// QWidget::setFixedSize makes) or when it carries Qt::MSWindowsFixedSizeDialogHint; such a
// window keeps its designed size and takes only the stored position.

// Writes the window's current bounds and the given visibility. False when the window has no
// name or the store could not be written.
bool SaveWindowPosition(QWidget* window, bool visible);

// Applies the stored placement and shows or hides the window. Without a stored group (the first
// start) the window is shown where it was designed and the result is false. A top-level window
// is kept within the screen it opens on (KeepOnScreen).
bool RestoreWindowPosition(QWidget* window);

// Shrinks a top-level window to its screen's available area if needed and moves it wholly onto
// it: a placement stored at another scale (3200 x 1962 on a 1600 x 1000 screen) would open out of
// reach.
void KeepOnScreen(QWidget* window);

}  // namespace sw
