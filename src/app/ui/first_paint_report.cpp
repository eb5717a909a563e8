#include "app/ui/first_paint_report.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>

namespace sw {
namespace {

class FirstPaintFilter : public QObject {
  public:
    FirstPaintFilter(QWidget* window, bool quit) : QObject(window), quit_(quit) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            // The filter sees the paint before the window draws it; the report waits until the
            // paint and the flush to the display that follows it are done.
            QTimer::singleShot(0, this, [this] { Report(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    void Report() {
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        std::printf("first paint %lld\n", ns);
        std::fflush(stdout);
        if (quit_) {
            QCoreApplication::quit();
        }
    }

    bool quit_;
    bool reported_ = false;
};

}  // namespace

void ReportFirstPaint(QWidget* window) {
    const QByteArray mode = qgetenv("SLICEWELL_FIRST_PAINT");
    if (mode.isEmpty() || window == nullptr) {
        return;
    }
    window->installEventFilter(new FirstPaintFilter(window, mode == "quit"));
}

}  // namespace sw
