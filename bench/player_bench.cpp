// Player latency and load on a real sound server. Prints a markdown table.
//
//   player_bench [FILE.mp3]
//
// Without FILE a 128 kbit/s test file is made with sox and lame. Without a reachable server (or
// with SLICEWELL_BENCH_PRIVATE_SERVER=1) a private PulseAudio server with a null sink is started
// for the run. Measured, not asserted: first audio within 60 ms and under 2 % of a core are the
// goals.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "event_loop_time.h"
#include "frame_builder.h"
#include "player/qt/cut_player_thread.h"
#include "player/qt/pulse_wave_out.h"
#include "player_fixture.h"
#include "pulse_server.h"

namespace {

using sw::TCutPlayerThread;
using sw::bench::ProcessCpuSeconds;
using sw::bench::RunFor;
using sw::bench::RunUntil;

struct Stats {
    double median = 0;
    double min = 0;
    double max = 0;
};

Stats Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

// Milliseconds from Play (device paused, nothing queued) to the first buffer coming back.
Stats FirstAudio(sw::TCutObject& cut, int buffers, int runs) {
    TCutPlayerThread player;
    player.SetQueueDepths(buffers, 6);
    player.SetActive(true);
    player.SetVolume(0xFFFFFFFF);
    if (player.Open(&cut) != 0) {
        std::fprintf(stderr, "player_bench: cannot open the device\n");
        std::exit(1);
    }
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        const uint32_t start = uint32_t(50 + run * 7);
        player.Pause();
        player.SetPosition(start);
        RunFor(150);  // let the previous stream go
        QElapsedTimer timer;
        bool heard = false;
        double at = 0;
        auto connection =
            QObject::connect(&player, &TCutPlayerThread::OnProgress, [&](uint32_t position) {
                if (!heard && position > start) {
                    heard = true;
                    at = double(timer.nsecsElapsed()) / 1e6;
                }
            });
        timer.start();
        player.Play();
        RunUntil([&] { return heard; }, 2000);
        QObject::disconnect(connection);
        if (heard) {
            ms.push_back(at);
        }
    }
    player.Close();
    return Summarise(ms);
}

// Share of one core (all threads of the process) while the player plays for seconds.
double CpuShare(sw::TCutObject& cut, int seconds) {
    TCutPlayerThread player;
    player.SetActive(true);
    player.SetLoopMode(true);
    player.Open(&cut);
    player.Play();
    RunFor(500);
    const double cpu = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunFor(seconds * 1000);
    const double share = (ProcessCpuSeconds() - cpu) / (double(wall.nsecsElapsed()) / 1e9);
    player.Close();
    return share * 100;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    sw::test::PulseServer server;
    sw::PulseWaveOut probe;
    if (std::getenv("SLICEWELL_BENCH_PRIVATE_SERVER") != nullptr || probe.Connect() != 0) {
        std::fprintf(stderr, "player_bench: starting a private PulseAudio server\n");
        if (!server.Start()) {
            std::fprintf(stderr, "player_bench: %s\n", server.Reason().c_str());
            return 1;
        }
    }
    sw::test::TempDir dir;
    std::string file = argc > 1 ? argv[1] : dir.File("bench.mp3");
    if (argc <= 1 && !sw::test::MakeMp3(file, 30, 44100, 2, "-b 128")) {
        std::fprintf(stderr, "player_bench: sox and lame are needed to make the test file\n");
        return 1;
    }
    sw::CutObjectPtr cut = sw::test::IndexedCutObject(file);

    const int runs = 15;
    const Stats deep = FirstAudio(*cut, 16, runs);
    const Stats shallow = FirstAudio(*cut, 6, runs);
    const double cpu = CpuShare(*cut, 10);

    std::printf("| player measurement | result | goal |\n|---|---|---|\n");
    std::printf(
        "| Play to first buffer played, 16 buffers (median of %d; min-max) | %.1f ms "
        "(%.1f-%.1f) | 60 ms |\n",
        runs, deep.median, deep.min, deep.max);
    std::printf(
        "| Play to first buffer played, 6 buffers (median of %d; min-max) | %.1f ms "
        "(%.1f-%.1f) | 60 ms |\n",
        runs, shallow.median, shallow.min, shallow.max);
    std::printf(
        "| CPU while playing %d kbit/s, 10 s (all threads, share of one core) | %.2f %% "
        "| 2 %% |\n",
        cut->FrameInfo.Bitrate, cpu);
    return 0;
}
