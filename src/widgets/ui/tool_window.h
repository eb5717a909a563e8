#pragma once

class QWidget;

namespace sw {

// Makes a dialog a tool window (a title and a close box, no minimise or maximise box) that is
// centred on the screen it opens on each time it is shown, wherever its parent stands.
void MakeCentredToolWindow(QWidget* dialog);

}  // namespace sw
