// The cutter window on a private PulseAudio server with a null sink: a click on "Play complete
// file" to the first buffer played, each jog/shuttle tick to the first buffer of its new position
// played, and the share of one core while the cutter plays and updates its labels and seek bar,
// beside the same share of the player without the window and of mpg123 playing the same file to
// the same server. Prints a markdown table.
//
//   cutter_bench [FILE.mp3]
//
// The window runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise. Without FILE
// a 60 s 128 kbit/s test file is made with sox and lame. A buffer counts as played when the wave
// output hands it back done (PlayedBuffersWaveOut), never when a reset hands it back unplayed.
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/settings/global_settings.h"
#include "cutter/ui/cutter_form.h"
#include "event_loop_time.h"
#include "played_buffers_wave_out.h"
#include "player/qt/cut_player_thread.h"
#include "player/qt/wave_out_factory.h"
#include "player_fixture.h"
#include "pulse_server.h"
#include "terminal_prompts.h"
#include "widgets/ui/knob.h"

namespace {

using sw::TCutPlayerThread;
using sw::bench::PlayedBuffersWaveOut;
using sw::bench::ProcessCpuSeconds;
using sw::bench::RunFor;
using sw::bench::RunUntil;
using Clock = PlayedBuffersWaveOut::Clock;

constexpr int kRuns = 15;
constexpr int kCpuSeconds = 10;

// User and system time of another process and all its threads, from /proc; -1 when it is gone.
double OtherProcessCpuSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // The command name may hold spaces; the fields counted here follow its closing parenthesis.
    const size_t close = text.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::vector<std::string> fields;
    size_t at = close + 2;
    while (at < text.size()) {
        const size_t space = text.find(' ', at);
        fields.push_back(text.substr(at, space - at));
        if (space == std::string::npos) {
            break;
        }
        at = space + 1;
    }
    // Fields 14 and 15 of the file (utime, stime) are the 12th and 13th after the name.
    if (fields.size() < 13) {
        return -1;
    }
    return (std::stod(fields[11]) + std::stod(fields[12])) / double(sysconf(_SC_CLK_TCK));
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

struct Spread {
    double median = -1;
    double low = -1;
    double high = -1;
    size_t heard = 0;
    size_t missed = 0;
};

// Runs that were never heard are -1: counted apart, outside the median.
Spread SpreadOf(std::vector<double> ms) {
    Spread s;
    const auto kept = std::remove(ms.begin(), ms.end(), -1.0);
    s.missed = size_t(ms.end() - kept);
    ms.erase(kept, ms.end());
    s.heard = ms.size();
    if (!ms.empty()) {
        std::sort(ms.begin(), ms.end());
        s.median = ms[ms.size() / 2];
        s.low = ms.front();
        s.high = ms.back();
    }
    return s;
}

std::string SpreadText(const Spread& s) {
    char text[160];
    if (s.heard == 0) {
        std::snprintf(text, sizeof text, "never heard (%zu runs)", s.missed);
        return text;
    }
    std::snprintf(text, sizeof text, "%.1f ms (%.1f-%.1f)", s.median, s.low, s.high);
    std::string result = text;
    if (s.missed > 0) {
        result += ", " + std::to_string(s.missed) + " not heard before the next tick";
    }
    return result;
}

// Milliseconds from since to the first buffer played after it; -1 when none is within timeout.
double FirstPlayedAfter(const PlayedBuffersWaveOut& out, Clock::time_point since,
                        int64_t playedBefore, int timeout) {
    if (!RunUntil([&] { return out.Played() > playedBefore; }, timeout)) {
        return -1;
    }
    return Milliseconds(out.LastPlayedAt() - since);
}

// Notes each tick of the jog timer as it fires, before the cutter's own handler seeks.
class TickWatch : public QObject {
  public:
    TickWatch(QTimer& timer, const PlayedBuffersWaveOut& out) : out_(out) {
        timer.installEventFilter(this);
    }
    int ticks = 0;
    Clock::time_point at{};
    int64_t playedBefore = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Timer) {
            ++ticks;
            at = Clock::now();
            playedBefore = out_.Played();
        }
        return false;
    }

  private:
    const PlayedBuffersWaveOut& out_;
};

// Each tick of the jog timer with the knob held at knob, kRuns of them: how long from the tick
// to the first buffer of its new position played. One tick's seek unheard when the next comes.
Spread JogTicks(sw::TCutterForm& form, const PlayedBuffersWaveOut& out, int knob) {
    auto* timer = form.findChild<QTimer*>("JogTimer");
    auto* jog = form.findChild<sw::TKnob*>("JogShuttle");
    TickWatch watch(*timer, out);
    std::vector<double> ms;
    jog->SetPosition(knob);
    while (int(ms.size()) < kRuns) {
        const int seen = watch.ticks;
        if (!RunUntil([&] { return watch.ticks > seen; }, 1000)) {
            break;  // the timer did not run: the player is not open
        }
        const Clock::time_point tick = watch.at;
        const int64_t before = watch.playedBefore;
        RunUntil([&] { return out.Played() > before || watch.ticks > seen + 1; }, 1000);
        const bool played = out.Played() > before;
        // The next tick's seek threw away whatever this one queued and had not played yet.
        const bool overtaken = watch.ticks > seen + 1 && (!played || out.LastPlayedAt() > watch.at);
        ms.push_back(played && !overtaken ? Milliseconds(out.LastPlayedAt() - tick) : -1.0);
    }
    jog->SetPosition(0);
    RunFor(300);
    return SpreadOf(ms);
}

// Share of one core taken by this process over seconds of the event loop, in per cent.
double ProcessShare(int seconds) {
    const double cpu = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    RunFor(seconds * 1000);
    return (ProcessCpuSeconds() - cpu) / (double(wall.nsecsElapsed()) / 1e9) * 100;
}

// The player alone, with no window: what the cutter's share is made of besides painting.
double PlayerShare(sw::TCutObject& cut) {
    TCutPlayerThread player(sw::CreateWaveOut());
    player.SetQueueDepths(sw::GlobalSettings().NumBuffers, sw::GlobalSettings().CueBuffers);
    player.SetActive(true);
    player.SetLoopMode(true);
    if (player.Open(&cut) != 0) {
        return -1;
    }
    player.Play();
    RunFor(500);
    const double share = ProcessShare(kCpuSeconds);
    player.Close();
    return share;
}

// mpg123 decoding and playing the same file to the same server; -1 when it cannot run.
double Mpg123Share(const std::string& file) {
    pid_t pid = sw::test::SpawnProcess({"mpg123", "-q", "-o", "pulse", file});
    if (pid <= 0) {
        return -1;
    }
    RunFor(500);
    const double before = OtherProcessCpuSeconds(pid);
    QElapsedTimer wall;
    wall.start();
    RunFor(kCpuSeconds * 1000);
    const double after = OtherProcessCpuSeconds(pid);
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    sw::test::StopProcess(pid);
    if (before < 0 || after < 0) {
        return -1;
    }
    return (after - before) / seconds * 100;
}

std::string ShareText(double share) {
    if (share < 0) {
        return "-";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f %%", share);
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    // Always a server of its own: the figures do not depend on what else plays on the machine,
    // and mpg123 plays to the same sink.
    sw::test::PulseServer server;
    if (!server.Start()) {
        std::fprintf(stderr, "cutter_bench: %s\n", server.Reason().c_str());
        return 1;
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
    sw::bench::TerminalPrompts prompts("cutter_bench");
    auto output = std::make_unique<PlayedBuffersWaveOut>(sw::CreateWaveOut());
    const PlayedBuffersWaveOut& out = *output;
    auto form = std::make_unique<sw::TCutterForm>(prompts, std::move(output));
    form->show();
    form->OpenCutObject(cut.get());
    TCutPlayerThread& player = *form->Player();
    if (player.PlayerState() != sw::kStateOpen) {
        std::fprintf(stderr, "cutter_bench: the cutter cannot open the device\n");
        return 1;
    }
    auto* play = form->findChild<QToolButton*>("PlayBtn");
    auto* pause = form->findChild<QToolButton*>("PauseBtn");

    // Paused somewhere else each time, the previous stream let go, then the click.
    std::vector<double> firstAudio;
    for (int run = 0; run < kRuns; ++run) {
        pause->click();
        player.SetPosition((1000 + int64_t(run) * 997) % std::max(cut->FrameCount(), 1));
        RunFor(150);
        const int64_t before = out.Played();
        const Clock::time_point click = Clock::now();
        play->click();
        firstAudio.push_back(FirstPlayedAfter(out, click, before, 2000));
        RunFor(100);
    }

    // The knob held at either end while the file plays; the jog timer's own ticks seek.
    const Spread forward = JogTicks(*form, out, settings.JogMaxSpeed);
    const Spread back = JogTicks(*form, out, -settings.JogMaxSpeed);

    // Playing with the labels and the seek bar following every buffer.
    player.SetPosition(0);
    RunFor(500);
    const int64_t playedBefore = out.Played();
    const double cutterShare = ProcessShare(kCpuSeconds);
    const double buffersPerSecond = double(out.Played() - playedBefore) / kCpuSeconds;
    form->OpenCutObject(nullptr);
    form.reset();
    RunFor(300);

    const double playerShare = PlayerShare(*cut);
    RunFor(300);
    const double mpg123Share = Mpg123Share(file);

    const Spread click = SpreadOf(firstAudio);
    std::printf("| cutter measurement (median of %d; min-max) | Slicewell | mpg123 | goal |\n",
                kRuns);
    std::printf("|---|---|---|---|\n");
    std::printf("| click on \"Play complete file\" to the first buffer played | %s | - | 60 ms |\n",
                SpreadText(click).c_str());
    std::printf(
        "| jog timer tick, knob at +%d (%d frames on), to the first buffer of the new position "
        "played | %s | - | 60 ms |\n",
        settings.JogMaxSpeed, settings.JogMaxSpeed, SpreadText(forward).c_str());
    std::printf(
        "| jog timer tick, knob at -%d (%d frames back), to the first buffer of the new "
        "position played | %s | - | 60 ms |\n",
        settings.JogMaxSpeed, settings.JogMaxSpeed + 2 * settings.NumBuffers,
        SpreadText(back).c_str());
    std::printf(
        "| CPU while playing %d kbit/s for %d s, window shown, labels and seek bar following "
        "every buffer (%.1f a second); all threads, share of one core | %s | %s | under 3 %% |\n",
        cut->FrameInfo.Bitrate, kCpuSeconds, buffersPerSecond, ShareText(cutterShare).c_str(),
        ShareText(mpg123Share).c_str());
    std::printf("| the same with the player alone, no window | %s | - | - |\n",
                ShareText(playerShare).c_str());
    return 0;
}
