#include <cstdio>

#include "cli_error.h"
#include "commands.h"
#include "options.h"

#ifdef SLICEWELL_WITH_PLAYER
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <csignal>

#include "frame_range.h"
#include "player/qt/cut_player_thread.h"
#include "player/qt/wave_out_factory.h"
#include "sources.h"
#include "stream/status.h"
#include "stream/time_code.h"
#endif

namespace sw::cli {

namespace {

constexpr char kHelp[] =
    "Usage: slicewell-cli play FILE [--range FIRST-LAST] [--device N] [--loop]\n"
    "\n"
    "Plays FILE frame by frame and shows the audible frame and its time code. FILE's index\n"
    "file beside it is used when it matches; otherwise FILE is scanned in memory first.\n"
    "Without --range the whole file plays (\"Play All\", which stops before the file's last\n"
    "frame); with it frames FIRST to LAST play (\"Play Mark\", inclusive, counted from 0; a\n"
    "range that ends at the last frame stops before it). Playing ends at the end or with\n"
    "Ctrl+C; either way the device is closed cleanly and the exit status is 0.\n"
    "\n"
    "  --range FIRST-LAST  play only these frames\n"
    "  --device N          output device as listed by 'slicewell-cli devices' (default -1)\n"
    "  --loop              start over at the end until Ctrl+C\n";

#ifdef SLICEWELL_WITH_PLAYER

volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) {
    gInterrupted = 1;
}

int ParseDevice(const std::string& text) {
    size_t used = 0;
    int device = 0;
    try {
        device = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != text.size() || text.empty() || device < -1) {
        throw UsageError("--device takes -1 or a device number from 'slicewell-cli devices'");
    }
    return device;
}

#endif

}  // namespace

int RunPlay(const Arguments& args) {
    const ParsedArguments parsed =
        ParseArguments(args, {{"--range", true}, {"--device", true}, {"--loop", false}}, 1, 1);
    if (parsed.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
#ifdef SLICEWELL_WITH_PLAYER
    const std::string& fileName = parsed.positional[0];
    const auto rangeText = parsed.Value("--range");
    const auto deviceText = parsed.Value("--device");
    const int device = deviceText ? ParseDevice(*deviceText) : -1;
    CheckAudioKind(fileName);

    int argc = 1;
    char name[] = "slicewell-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    LoadedSource source = OpenSource(fileName);
    if (source.status != kStatusOk) {
        std::fprintf(stderr, "slicewell-cli: scanning %s: %s\n", fileName.c_str(),
                     StatusText(source.status).c_str());
        return source.status;
    }
    TCutObject& cut = *source.cut;
    const int32_t lastFrame = cut.FrameCount() - 1;
    if (rangeText) {
        const FrameRange range = ParseFrameRange(*rangeText);
        CheckFrameRange(range, cut.FrameCount());
        // Play Mark stops before MarkOut; one past LAST makes the range inclusive like export's.
        cut.MarkIn = range.first;
        cut.MarkOut = range.last < lastFrame ? range.last + 1 : lastFrame;
    }

    TCutPlayerThread player(CreateWaveOut());
    if (device >= player.Output().DeviceCount()) {
        throw UsageError("there is no device " + std::to_string(device) +
                         "; 'slicewell-cli devices' lists them");
    }
    player.SetWaveDevice(device);
    player.SetLoopMode(parsed.Has("--loop"));
    player.SetVolume(0xFFFFFFFF);  // unity gain: the decoded samples as they are
    player.SetActive(true);
    const int opened = player.Open(&cut);
    if (opened != 0) {
        std::fprintf(stderr, "slicewell-cli: cannot play %s: %s\n", fileName.c_str(),
                     player.Output().ErrorText(opened).c_str());
        return kStatusFailed;
    }

    int failure = 0;
    QObject::connect(&player, &TCutPlayerThread::OnError, [&](int code) {
        std::fprintf(stderr, "\nslicewell-cli: playing %s: %s\n", fileName.c_str(),
                     player.Output().ErrorText(code).c_str());
        failure = kStatusFailed;
        app.quit();
    });

    const bool terminal = isatty(STDOUT_FILENO) != 0;
    int64_t shown = -1;
    int ticks = 0;
    auto show = [&](bool force) {
        const uint32_t position = player.Position();
        if (!force && int64_t(position) == shown) {
            return;
        }
        shown = position;
        const std::string line = "frame " + std::to_string(position) + "  " +
                                 FrameToTimeCode(cut.FrameInfo, int32_t(position)) + "  " +
                                 PlayerModeName(player.PlayerMode());
        if (terminal) {
            std::printf("\r%-48s", line.c_str());
        } else {
            std::printf("%s\n", line.c_str());
        }
        std::fflush(stdout);
    };

    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        // A pipe gets one line a second; a terminal follows every frame.
        if (terminal || ++ticks % 50 == 0) {
            show(false);
        }
        const bool ended = player.PlayerMode() == kModeEnded && player.QueuedBuffers() == 0;
        if (ended || gInterrupted != 0) {
            app.quit();
        }
    });
    poll.start(20);
    if (rangeText) {
        player.PlayMark();
    } else {
        player.Play();
    }
    app.exec();
    show(true);
    if (terminal) {
        std::printf("\n");
    }
    player.Close();
    return failure;
#elif defined(SLICEWELL_PLAYBACK_VIA_EXEC)
    return RunInPlaybackTool("play", args);
#else
    std::fprintf(stderr, "slicewell-cli: playback is not built into this slicewell-cli\n");
    return 1;
#endif
}

}  // namespace sw::cli
