#include "progress.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <future>
#include <thread>

#include "app/settings/global_settings.h"

namespace sw::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void OnStopSignal(int) {
    stopRequested = 1;
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kStopSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

// The worker thread is started with the stop signals blocked, so it inherits that mask; this
// thread takes them back right after.
std::thread StartWithoutStopSignals(const std::function<void()>& body) {
    const sigset_t blocked = StopSignals();
    sigset_t previous;
    ::pthread_sigmask(SIG_BLOCK, &blocked, &previous);
    std::thread thread(body);
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return thread;
}

constexpr int kBarWidth = 30;

void DrawBar(const std::string& label, int64_t value, int64_t total) {
    if (total <= 0) {
        return;
    }
    if (value > total) {
        value = total;
    }
    if (value < 0) {
        value = 0;
    }
    const int filled = static_cast<int>(value * kBarWidth / total);
    const int percent = static_cast<int>(value * 100 / total);
    std::string bar(static_cast<size_t>(filled), '=');
    bar.append(static_cast<size_t>(kBarWidth - filled), ' ');
    std::fprintf(stderr, "\r%s [%s] %3d%%", label.c_str(), bar.c_str(), percent);
    std::fflush(stderr);
}

void ClearBar() {
    std::fprintf(stderr, "\r\x1b[K");
    std::fflush(stderr);
}

}  // namespace

void InstallStopRequestHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Restarted: a signal arriving while this thread reads or writes a file must not make that
    // call fail.
    action.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

bool StopRequested() {
    return stopRequested != 0;
}

void RunWatched(const std::string& label, int64_t total, WorkerControl& control,
                const std::function<void()>& work) {
    const bool drawing = ::isatty(STDERR_FILENO) == 1;
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    if (StopRequested()) {
        control.RequestTerminate();
    }
    std::thread worker = StartWithoutStopSignals([&work, &done] {
        try {
            work();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    bool drawn = false;
    while (finished.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (StopRequested()) {
            control.RequestTerminate();
        }
        if (drawing) {
            DrawBar(label, control.progress.load(), total);
            drawn = true;
        }
    }
    worker.join();
    if (drawn) {
        ClearBar();
    }
    finished.get();
}

int CliFrontEnd::Run(const WorkerTask& task, const std::function<int(WorkerControl&)>& work) {
    WorkerControl control;
    const char* label = task.kind == WorkerTask::Kind::Scan ? "Scanning" : "Exporting";
    return RunWithProgress(label, task.total, control, [&] { return work(control); });
}

void CliFrontEnd::Note(const std::string& text) {
    std::fprintf(stderr, "slicewell-cli: %s\n", text.c_str());
}

CutObjectOptions CliCutObjectOptions() {
    return CutObjectOptionsOf(GlobalSettings());
}

}  // namespace sw::cli
