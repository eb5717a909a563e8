#include "progress.h"

#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <future>
#include <thread>

namespace sw::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
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

void RunWatched(const std::string& label, int64_t total, WorkerControl& control,
                const std::function<void()>& work) {
    const bool drawing = ::isatty(STDERR_FILENO) == 1;
    interrupted = 0;
    struct sigaction previous {};
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previous);

    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread worker([&work, &done] {
        try {
            work();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    bool drawn = false;
    while (finished.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
        if (interrupted) {
            control.RequestTerminate();
        }
        if (drawing) {
            DrawBar(label, control.progress.load(), total);
            drawn = true;
        }
    }
    worker.join();
    ::sigaction(SIGINT, &previous, nullptr);
    if (drawn) {
        ClearBar();
    }
    finished.get();
}

}  // namespace sw::cli
