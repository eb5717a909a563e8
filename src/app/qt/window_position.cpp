#include "app/qt/window_position.h"

#include <QGuiApplication>
#include <QMdiSubWindow>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include "app/placement_rules.h"
#include "app/qt/settings_location.h"
#include "app/qt/stored_values.h"

namespace sw {

namespace {

// The widget whose geometry and visibility stand for the window on screen.
QWidget* Frame(QWidget* window) {
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    if (sub != nullptr && sub->widget() == window) {
        return sub;
    }
    return window;
}

QString GroupName(QWidget* window) {
    if (!window->objectName().isEmpty()) {
        return window->objectName();
    }
    return Frame(window)->objectName();
}

bool FixedSize(const QWidget* widget) {
    return widget->minimumSize() == widget->maximumSize() ||
           widget->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint);
}

// A top-level window placed where no screen is any more (a monitor removed since the last run)
// could never be reached again, so it stays where it was designed.
bool OnSomeScreen(const QRect& bounds) {
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen->availableGeometry().intersects(bounds)) {
            return true;
        }
    }
    return false;
}

WindowRect RectOf(const QRect& rect) {
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

}  // namespace

void KeepOnScreen(QWidget* window) {
    const QRect bounds(window->pos(), window->size());
    const QScreen* screen = QGuiApplication::screenAt(bounds.center());
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    const WindowRect fitted = FitIntoArea(RectOf(bounds), RectOf(screen->availableGeometry()));
    if (!FixedSize(window)) {
        window->resize(fitted.width, fitted.height);
    }
    window->move(fitted.left, fitted.top);
}

bool SaveWindowPosition(QWidget* window, bool visible) {
    if (window == nullptr || GroupName(window).isEmpty()) {
        return false;
    }
    const QWidget* frame = Frame(window);
    std::unique_ptr<QSettings> store = OpenSettingsStore();
    store->beginGroup(GroupName(window));
    store->setValue(QStringLiteral("Left"), frame->x());
    store->setValue(QStringLiteral("Top"), frame->y());
    store->setValue(QStringLiteral("Width"), frame->width());
    store->setValue(QStringLiteral("Height"), frame->height());
    store->setValue(QStringLiteral("Visible"), visible ? 1 : 0);
    store->endGroup();
    store->sync();
    return store->status() == QSettings::NoError;
}

bool RestoreWindowPosition(QWidget* window) {
    if (window == nullptr) {
        return false;
    }
    QWidget* frame = Frame(window);
    const QString group = GroupName(window);
    std::unique_ptr<QSettings> store = OpenSettingsStore();
    if (group.isEmpty() || !store->childGroups().contains(group)) {
        frame->show();
        return false;
    }
    store->beginGroup(group);

    const std::optional<int32_t> left = StoredInt(*store, QStringLiteral("Left"));
    const std::optional<int32_t> top = StoredInt(*store, QStringLiteral("Top"));
    const std::optional<int32_t> width = StoredInt(*store, QStringLiteral("Width"));
    const std::optional<int32_t> height = StoredInt(*store, QStringLiteral("Height"));
    const std::optional<bool> visible = StoredBool(*store, QStringLiteral("Visible"));
    store->endGroup();

    if (!FixedSize(window) && !FixedSize(frame)) {
        // A zero or negative size would leave a window nobody can see or grab.
        const int w = width && *width > 0 ? *width : frame->width();
        const int h = height && *height > 0 ? *height : frame->height();
        frame->resize(w, h);
    }
    if (left || top) {
        const QPoint position(left.value_or(frame->x()), top.value_or(frame->y()));
        if (!frame->isWindow() || OnSomeScreen(QRect(position, frame->size()))) {
            frame->move(position);
        }
    }
    if (frame->isWindow()) {
        KeepOnScreen(frame);
    }

    if (visible.value_or(true)) {
        frame->showNormal();
    } else {
        frame->hide();
    }
    return true;
}

}  // namespace sw
