#include "project/ui/child_form_placement.h"

#include <QAction>
#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QScreen>
#include <QWidget>

#include "app/qt/window_position.h"

namespace sw {

ChildFormPlacement::ChildFormPlacement(QWidget* form, QRect designed, QSize minimum)
    : form_(form), designed_(designed), minimum_(minimum) {}

QWidget* ChildFormPlacement::Host() const {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form_->parentWidget())) {
        return sub;
    }
    return form_;
}

void ChildFormPlacement::SetViewAction(QAction* action) {
    view_ = action;
    if (view_) {
        view_->setChecked(Host()->isVisible());
    }
}

void ChildFormPlacement::RestorePlacement() {
    QWidget* host = Host();
    host->setMinimumSize(minimum_);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        host->setMaximumSize(screen->size());
    }
    host->setGeometry(designed_);
    RestoreWindowPosition(form_);
    if (view_) {
        view_->setChecked(host->isVisible());
    }
}

void ChildFormPlacement::ToggleVisible() {
    const bool visible = Host()->isVisible();
    SaveWindowPosition(form_, visible);
    SetHostVisible(!visible);
}

void ChildFormPlacement::Show() {
    if (!Host()->isVisible()) {
        SetHostVisible(true);
    }
}

void ChildFormPlacement::SavePlacement() {
    SaveWindowPosition(form_, Host()->isVisible());
}

void ChildFormPlacement::SetHostVisible(bool visible) {
    QWidget* host = Host();
    host->setVisible(visible);
    if (visible) {
        form_->show();
        host->raise();
    }
    if (view_) {
        view_->setChecked(visible);
    }
}

}  // namespace sw
