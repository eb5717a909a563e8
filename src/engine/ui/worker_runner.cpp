#include "engine/ui/worker_runner.h"

#include <QMetaObject>
#include <QPointer>
#include <atomic>
#include <system_error>
#include <thread>

#include "stream/status.h"

namespace sw {

namespace {

// The final status of the last scan or export worker, stored by the worker before its done
// notification and read by the starting operation after the progress window has closed. One
// worker runs at a time, each under a modal progress window, so one value serves them all.
std::atomic<int> LastThreadResult{0};

}  // namespace

std::optional<int> RunWorker(TProcessForm& form, const std::function<int(WorkerControl&)>& work) {
    WorkerControl control;
    std::thread worker;
    try {
        worker = std::thread([&form, &control, &work] {
            int status = kStatusUnknownError;
            try {
                status = work(control);
            } catch (...) {
                status = kStatusUnknownError;
            }
            LastThreadResult.store(status);
            const int32_t finalValue = control.progress.load(std::memory_order_relaxed);
            // Queued on the window, so it runs inside the modal loop after the status is stored;
            // it is dropped if the window is gone.
            QMetaObject::invokeMethod(
                &form, [&form, finalValue] { form.WorkerFinished(finalValue); },
                Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        LastThreadResult.store(kStatusOutOfMemory);
        return std::nullopt;
    }
    form.Watch(&control);
    form.exec();
    if (form.WorkerRunning()) {
        // The loop ended some other way (the application quitting): stop the worker, since its
        // control and the window are about to go.
        control.RequestTerminate();
        form.Watch(nullptr);
    }
    worker.join();
    return LastThreadResult.load();
}

}  // namespace sw
