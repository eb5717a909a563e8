// The waveform's levels of one file: how soon the window shows the estimate of every frame and
// the decoded levels after the cutter opens the file, and what the core takes for each step
// without a window. The window is the real one (offscreen unless a platform is chosen) over the
// real cutter, whose player has no sound server here; each run starts with an empty cache.
//   waveform_bench FILE [--runs N]   timings, as lines of text
//   waveform_bench FILE --decode     one decode of the whole file in the core, for its memory
//   waveform_bench FILE --estimate   the core's estimate of the whole file, 50 times
#include <QApplication>
#include <QEvent>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "cutter/envelope_builder.h"
#include "cutter/ui/cutter_form.h"
#include "cutter/ui/cutter_waveform_link.h"
#include "cutter/ui/waveform_canvas.h"
#include "cutter/ui/waveform_form.h"
#include "event_loop_time.h"
#include "in_process_timing.h"
#include "player/qt/null_wave_out.h"
#include "project/project_document.h"
#include "terminal_prompts.h"

namespace {

using sw::bench::Clock;
using sw::bench::Median;
using sw::bench::MillisecondsSince;

struct Project {
    sw::bench::TerminalPrompts prompts{"waveform_bench"};
    sw::CoreScanRunner scans{sw::GlobalSettings()};
    sw::ProjectDocument document{sw::GlobalSettings(), prompts, scans};
};

// The times from the cutter's open to the first picture showing every frame's estimate, and to
// the first showing every frame decoded.
struct WindowTimes {
    double coarse = 0;
    double exact = 0;
};

WindowTimes WindowRun(Project& project, sw::TCutterForm& cutter, bool untilExact) {
    sw::TCutObject* cut = project.document.Bin().At(0);
    cutter.OpenCutObject(nullptr);
    sw::CutterWaveformLink link(cutter);
    sw::TWaveformForm form(link, project.document.Cues(), project.document.Bin());
    form.resize(1200, 260);
    form.show();
    sw::bench::RunFor(50);
    const int32_t frames = cut->FrameCount();
    WindowTimes times;
    const Clock::time_point start = Clock::now();
    cutter.OpenCutObject(cut);
    const sw::WaveformCanvas& canvas = form.Canvas();
    sw::bench::RunUntil([&] { return canvas.DrawnCoarseFrames() == frames; }, 60000);
    times.coarse = MillisecondsSince(start);
    if (untilExact) {
        sw::bench::RunUntil([&] { return canvas.DrawnExactFrames() == frames; }, 600000);
        times.exact = MillisecondsSince(start);
    }
    cutter.OpenCutObject(nullptr);
    return times;
}

struct CoreTimes {
    double coarse = 0;
    double exact = 0;
};

CoreTimes CoreRun(sw::TCutObject& cut, bool exact) {
    CoreTimes times;
    std::atomic<bool> terminate{false};
    Clock::time_point start = Clock::now();
    const sw::EnvelopeSource source = sw::EnvelopeSourceOf(cut);
    sw::LevelEnvelope envelope(cut.FrameCount());
    sw::SourceFrameReader frames(source);
    sw::BuildCoarseLevels(envelope, frames, terminate);
    times.coarse = MillisecondsSince(start);
    if (exact) {
        start = Clock::now();
        sw::SourceFrameReader again(source);
        sw::BuildExactLevels(envelope, again, source.sampleRate, source.channels, terminate);
        times.exact = MillisecondsSince(start);
        if (!envelope.Complete()) {
            std::fprintf(stderr, "waveform_bench: the decode stopped short: %s\n",
                         envelope.Failure().c_str());
        }
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 15;
    bool decodeOnly = false;
    bool estimateOnly = false;
    if (argc == 4 && std::strcmp(argv[2], "--runs") == 0) {
        runs = std::max(1, std::atoi(argv[3]));
    } else if (argc == 3 && std::strcmp(argv[2], "--decode") == 0) {
        decodeOnly = true;
    } else if (argc == 3 && std::strcmp(argv[2], "--estimate") == 0) {
        estimateOnly = true;
    } else if (argc != 2) {
        std::fprintf(stderr, "usage: waveform_bench FILE [--runs N | --decode | --estimate]\n");
        return 2;
    }
    sw::GlobalSettings() = sw::DefaultGlobalSettings();
    sw::GlobalSettings().SaveIndexStream = false;
    sw::GlobalSettings().CutterAutoPlay = false;

    Project project;
    project.document.Bin().ParseMP3List("", {argv[1]});
    if (project.document.Bin().Count() != 1) {
        std::fprintf(stderr, "waveform_bench: %s was not imported\n", argv[1]);
        return 1;
    }
    sw::TCutObject* cut = project.document.Bin().At(0);
    // The core's steps run without a window system, so their memory is theirs.
    if (estimateOnly) {
        std::vector<double> times;
        for (int run = 0; run < 50; ++run) {
            times.push_back(CoreRun(*cut, false).coarse);
        }
        std::printf("estimated %d frames in %.1f ms (median of 50)\n", cut->FrameCount(),
                    Median(times));
        return 0;
    }
    if (decodeOnly) {
        const CoreTimes times = CoreRun(*cut, true);
        std::printf("decoded %d frames in %.1f ms\n", cut->FrameCount(), times.exact);
        return 0;
    }

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    sw::TCutterForm cutter(project.prompts, std::make_unique<sw::NullWaveOut>());
    cutter.show();
    std::vector<double> windowCoarse, coreCoarse, coreExact;
    const WindowTimes whole = WindowRun(project, cutter, true);
    for (int run = 0; run < runs; ++run) {
        windowCoarse.push_back(WindowRun(project, cutter, false).coarse);
        coreCoarse.push_back(CoreRun(*cut, false).coarse);
    }
    const int exactRuns = std::max(1, std::min(runs, 5));
    for (int run = 0; run < exactRuns; ++run) {
        coreExact.push_back(CoreRun(*cut, true).exact);
    }
    std::printf("%d frames\n", cut->FrameCount());
    std::printf("estimate drawn in the window: %.1f ms (median of %d, max %.1f)\n",
                Median(windowCoarse), runs,
                *std::max_element(windowCoarse.begin(), windowCoarse.end()));
    std::printf("estimate in the core: %.1f ms (median of %d)\n", Median(coreCoarse), runs);
    std::printf("decoded levels drawn in the window: %.1f ms (one run)\n", whole.exact);
    std::printf("decoded levels in the core: %.1f ms (median of %d)\n", Median(coreExact),
                exactRuns);
    std::printf("envelope: %zu bytes a frame, %zu more while it is made\n",
                sizeof(sw::FrameLevel) + sizeof(uint16_t), sizeof(int32_t));
    return 0;
}
