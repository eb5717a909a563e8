#pragma once

#include <sys/resource.h>

#include <QEventLoop>
#include <QTimer>
#include <functional>

namespace sw::bench {

// User and system time of this process, every thread, in seconds.
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop as the application does, with nothing else to do, for milliseconds.
inline void RunFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until done() or timeout milliseconds, checking every millisecond.
inline bool RunUntil(const std::function<bool()>& done, int timeout) {
    if (done()) {
        return true;
    }
    QEventLoop loop;
    QTimer check;
    check.setTimerType(Qt::PreciseTimer);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done()) {
            loop.quit();
        }
    });
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    check.start(1);
    loop.exec();
    return done();
}

}  // namespace sw::bench
