// Scans one file the way the windowed program does: ScanCutObject with its worker thread under
// the modal progress window (offscreen unless a platform is chosen), and prints the time the scan
// took. bench/run.sh compares the whole process with the command-line scan.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "engine/scan.h"
#include "engine/ui/scan_operation.h"
#include "engine/worker_control.h"
#include "in_process_timing.h"
#include "stream/cut_object.h"
#include "stream/prompts.h"
#include "terminal_prompts.h"

namespace {

using sw::bench::Clock;
using sw::bench::Median;
using sw::bench::MillisecondsSince;

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: scan_dialog_bench FILE\n");
        return 2;
    }
    sw::GlobalSettings() = sw::DefaultGlobalSettings();
    // Timing the scan, not the index file beside the source (which would also outlive the run).
    sw::GlobalSettings().SaveIndexStream = false;

    sw::CreateFailure failure = sw::CreateFailure::None;
    sw::CutObjectPtr cut(
        sw::CreateCutObject(argv[1], sw::CutObjectOptionsOf(sw::GlobalSettings()), &failure));
    if (!cut) {
        std::fprintf(stderr, "scan_dialog_bench: %s\n",
                     sw::CreateFailureText(failure, argv[1]).c_str());
        return 1;
    }
    sw::bench::TerminalPrompts prompts("scan_dialog_bench");
    // The first window of a process pays for Qt's fonts and styles; the program has shown its
    // own windows long before its first scan, so that cost is paid here and timed apart.
    const auto coldStart = Clock::now();
    int status = sw::ScanCutObject(cut.get(), prompts);
    const double coldMs = MillisecondsSince(coldStart);

    // Alternating runs, medians: the two paths see the same cache and machine state.
    constexpr int kRuns = 7;
    std::vector<double> windowRuns;
    std::vector<double> coreRuns;
    int coreStatus = 0;
    int32_t frames = 0;
    for (int run = 0; run < kRuns; ++run) {
        sw::CutObjectPtr windowed(
            sw::CreateCutObject(argv[1], sw::CutObjectOptionsOf(sw::GlobalSettings()), &failure));
        const auto windowStart = Clock::now();
        status = sw::ScanCutObject(windowed.get(), prompts);
        windowRuns.push_back(MillisecondsSince(windowStart));
        frames = windowed->FrameCount();

        // The same scan without window or worker thread, as the command-line tool runs it.
        sw::CutObjectPtr plain(
            sw::CreateCutObject(argv[1], sw::CutObjectOptionsOf(sw::GlobalSettings()), &failure));
        sw::WorkerControl control;
        const auto coreStart = Clock::now();
        coreStatus = sw::ScanFrames(*plain, control);
        coreRuns.push_back(MillisecondsSince(coreStart));
    }
    const double windowMs = Median(windowRuns);
    const double coreMs = Median(coreRuns);

    std::printf(
        "%d frames, status %d; behind the window %.1f ms (first window of the process "
        "%.1f ms), without it %.1f ms: ratio %.2f\n",
        frames, status, windowMs, coldMs, coreMs, windowMs / coreMs);
    return status == 0 && coreStatus == 0 ? 0 : 1;
}
