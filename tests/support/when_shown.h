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

// Runs act on the next modal dialog as soon as its own event loop shows it: each prompt blocks in
// its own exec(), so the answer has to come from inside that loop.
inline void WhenModal(std::function<void(QWidget*)> act) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start(5);
}

}  // namespace sw::test
