#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace sw::test {

// Runs action on the first visible top-level widget of type T as soon as one shows up, from
// within the event loop that shows it: the way a test answers a modal dialog that the code under
// test opens and waits for. For the Qt tests only.
template <class T>
void WhenShown(std::function<void(T&)> action) {
    auto* timer = new QTimer();
    timer->setInterval(1);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<T*>(widget); window && window->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(*window);
                return;
            }
        }
    });
    timer->start();
}

}  // namespace sw::test
