#include "app/ui/child_window.h"

#include <QCloseEvent>

namespace sw {

ChildWindow::ChildWindow(std::function<void()> onClose, QWidget* parent)
    : QMdiSubWindow(parent), onClose_(std::move(onClose)) {}

void ChildWindow::closeEvent(QCloseEvent* event) {
    if (terminating_) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    event->ignore();
    onClose_();
}

}  // namespace sw
