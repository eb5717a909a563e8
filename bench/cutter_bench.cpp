// The cutter window on a real sound server: a click on "Play complete file" to the first buffer
// played, the process's CPU share while the cutter plays and updates its labels and seek bar,
// and how soon each jog/shuttle step is heard. Prints a markdown table.
//
//   cutter_bench [FILE.mp3]
//
// The window runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise. Without FILE
// a 128 kbit/s test file is made with sox and lame. Without a reachable server (or with
// SLICEWELL_BENCH_PRIVATE_SERVER=1) a private PulseAudio server with a null sink is started.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/global_settings.h"
#include "cutter/cutter_form.h"
#include "player/cut_player_thread.h"
#include "player/pulse_wave_out.h"
#include "player/wave_out_factory.h"
#include "player_fixture.h"
#include "pulse_server.h"
#include "widgets/knob.h"

namespace {

using sw::TCutPlayerThread;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Milliseconds until the player reports a position past `after` (a buffer that began there has
// been played), running the event loop as the program does; -1 after two seconds.
double MillisecondsUntilPast(TCutPlayerThread& player, uint32_t after, QElapsedTimer& since) {
    QEventLoop loop;
    double at = -1;
    auto heard = QObject::connect(&player, &TCutPlayerThread::OnProgress, [&](uint32_t frame) {
        if (at < 0 && frame > after) {
            at = double(since.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    });
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    if (at < 0) {
        loop.exec();
    }
    QObject::disconnect(heard);
    return at;
}

void RunFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Spread {
    double median = -1;
    double low = -1;
    double high = -1;
    size_t missed = 0;
};

Spread SpreadOf(std::vector<double> ms) {
    Spread s;
    const auto heard = std::remove(ms.begin(), ms.end(), -1.0);
    s.missed = size_t(ms.end() - heard);
    ms.erase(heard, ms.end());
    if (!ms.empty()) {
        std::sort(ms.begin(), ms.end());
        s.median = ms[ms.size() / 2];
        s.low = ms.front();
        s.high = ms.back();
    }
    return s;
}

// Nothing here should ask anything; whatever is shown goes to the terminal.
class TerminalPrompts : public sw::Prompts {
  public:
    void Error(const std::string& caption, const std::string& text) override {
        std::fprintf(stderr, "cutter_bench: %s: %s\n", caption.c_str(), text.c_str());
    }
    void Information(const std::string& caption, const std::string& text) override {
        Error(caption, text);
    }
    void Warning(const std::string& caption, const std::string& text) override {
        Error(caption, text);
    }
    Answer YesNo(const std::string& caption, const std::string& text) override {
        Error(caption, text);
        return Answer::No;
    }
    Answer YesNoCancel(const std::string& caption, const std::string& text) override {
        Error(caption, text);
        return Answer::Cancel;
    }
    std::vector<std::string> OpenFiles(const FileDialog&) override { return {}; }
    std::string SaveFile(const FileDialog&) override { return ""; }
    std::string Folder(FolderDialog&) override { return ""; }
};

QToolButton* Button(sw::TCutterForm& form, const char* name) {
    return form.findChild<QToolButton*>(QString::fromLatin1(name));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    sw::test::PulseServer server;
    sw::PulseWaveOut probe;
    if (std::getenv("SLICEWELL_BENCH_PRIVATE_SERVER") != nullptr || probe.Connect() != 0) {
        std::fprintf(stderr, "cutter_bench: starting a private PulseAudio server\n");
        if (!server.Start()) {
            std::fprintf(stderr, "cutter_bench: %s\n", server.Reason().c_str());
            return 1;
        }
    }
    sw::test::TempDir dir;
    const std::string file = argc > 1 ? argv[1] : dir.File("bench.mp3");
    if (argc <= 1 && !sw::test::MakeMp3(file, 60, 44100, 2, "-b 128")) {
        std::fprintf(stderr, "cutter_bench: sox and lame are needed to make the test file\n");
        return 1;
    }
    sw::CutObjectPtr cut = sw::test::IndexedCutObject(file);

    sw::TGlobalSettings& settings = sw::GlobalSettings();
    settings = sw::DefaultGlobalSettings();
    settings.CutterAutoPlay = false;
    settings.CutterLooped = true;
    TerminalPrompts prompts;
    sw::TCutterForm form(prompts, sw::CreateWaveOut());
    form.show();
    form.OpenCutObject(cut.get());
    TCutPlayerThread& player = *form.Player();
    if (player.PlayerState() != sw::kStateOpen) {
        std::fprintf(stderr, "cutter_bench: the cutter cannot open the device\n");
        return 1;
    }

    const int runs = 15;
    std::vector<double> firstAudio;
    for (int run = 0; run < runs; ++run) {
        Button(form, "PauseBtn")->click();
        player.SetPosition(100 + run * 37);
        RunFor(150);  // the previous stream goes
        const uint32_t start = player.Position();
        QElapsedTimer since;
        since.start();
        Button(form, "PlayBtn")->click();
        firstAudio.push_back(MillisecondsUntilPast(player, start, since));
    }

    // Jog forward: each 250 ms tick moves the position; how long until the new frame is heard.
    std::vector<double> jogSteps;
    form.findChild<sw::TKnob*>("JogShuttle")->SetPosition(40);
    RunFor(300);
    for (int tick = 0; tick < runs; ++tick) {
        QElapsedTimer since;
        since.start();
        // The tick moves from the audible frame by the knob's 40 frames.
        const uint32_t target = player.Position() + 40;
        form.JogTimerTimer();
        jogSteps.push_back(MillisecondsUntilPast(player, target, since));
        RunFor(200);
    }
    form.findChild<sw::TKnob*>("JogShuttle")->SetPosition(0);

    // Playing with the labels and the seek bar following every buffer.
    player.SetPosition(0);
    RunFor(500);
    const double cpuBefore = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunFor(10000);
    const double cpuShare =
        (ProcessCpuSeconds() - cpuBefore) / (double(wall.nsecsElapsed()) / 1e9) * 100;
    form.OpenCutObject(nullptr);

    const Spread play = SpreadOf(firstAudio);
    const Spread jog = SpreadOf(jogSteps);
    std::printf("| cutter measurement | result | goal |\n|---|---|---|\n");
    std::printf(
        "| click on \"Play complete file\" to first buffer played (median of %d; min-max) | "
        "%.1f ms (%.1f-%.1f)%s | 60 ms |\n",
        runs, play.median, play.low, play.high, play.missed ? ", some never heard" : "");
    std::printf(
        "| jog step to its first frame played (median of %d; min-max) | %.1f ms (%.1f-%.1f)%s "
        "| 60 ms |\n",
        runs, jog.median, jog.low, jog.high, jog.missed ? ", some never heard" : "");
    std::printf(
        "| CPU while the cutter plays %d kbit/s, 10 s, labels and seek bar updating (all "
        "threads, share of one core) | %.2f %% | 3 %% |\n",
        cut->FrameInfo.Bitrate, cpuShare);
    return 0;
}
