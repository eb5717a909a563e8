// The player and the PulseAudio service against a real server with a null sink: real time,
// buffer order, pause, volume, and the samples that actually reach the sink.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "player/preroll.h"
#include "player/qt/cut_player_thread.h"
#include "player/qt/pulse_wave_out.h"
#include "player/qt/wave_out_factory.h"
#include "player_fixture.h"
#include "pulse_server.h"

namespace sw::test {
namespace {

PulseServer* gServer = nullptr;

// Starts the server once for the whole program; every test skips with the reason when it could
// not start.
class ServerEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        gServer = &server_;
        server_.Start();
    }
    void TearDown() override { server_.Stop(); }

  private:
    PulseServer server_;
};

#define REQUIRE_SERVER()                                                               \
    if (!gServer->Running()) {                                                         \
        GTEST_SKIP() << "no PulseAudio server for audio tests: " << gServer->Reason(); \
    }

// Runs the event loop until done() holds or timeoutMs passes; true when done() held.
bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return true;
}

void RunFor(int milliseconds) {
    RunUntil([] { return false; }, milliseconds);
}

constexpr double kFrameSeconds = 1152.0 / 44100.0;

class AudioTest : public testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_SERVER();
        if (!MakeMp3(dir_.File("sweep.mp3"), 8, 44100, 2, "-b 128")) {
            GTEST_SKIP() << "sox or lame is not available to make the test file";
        }
        cut_ = IndexedCutObject(dir_.File("sweep.mp3"));
    }

    std::unique_ptr<PulseWaveOut> Service() {
        auto out = std::make_unique<PulseWaveOut>();
        EXPECT_EQ(out->Connect(), kWaveOk);
        return out;
    }

    TempDir dir_;
    CutObjectPtr cut_;
};

// Records when each buffer came back.
class Clock : public WaveOutListener {
  public:
    Clock() { timer.start(); }
    void WaveOutDone(std::unique_ptr<WaveBuffer> buffer) override {
        frames.push_back(buffer->data);
        milliseconds.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    QElapsedTimer timer;
    std::vector<std::vector<uint8_t>> frames;
    std::vector<double> milliseconds;
};

TEST_F(AudioTest, DevicesAreTheServersSinksWithTheirDescriptions) {
    EXPECT_EQ(WaveOutDeviceCount(), 1);
    EXPECT_EQ(WaveOutDeviceNames(), (std::vector<std::string>{PulseServer::kSinkDescription}));
    auto out = Service();
    const MpegLayer3WaveFormat format = BuildWaveFormat(cut_->FrameInfo);
    EXPECT_EQ(out->Query(-1, format), kWaveOk);
    EXPECT_EQ(out->Query(0, format), kWaveOk);
    EXPECT_EQ(out->Query(1, format), kWaveBadDeviceId);
    MpegLayer3WaveFormat odd = format;
    odd.nSamplesPerSec = 96000;
    EXPECT_EQ(out->Query(-1, odd), kWaveBadFormat);
    EXPECT_EQ(out->ErrorText(kWaveBackendErrorBase + 6), "Connection refused");
}

TEST_F(AudioTest, UnplayableFormatMakesThePlayersOpenReturn8) {
    cut_->FrameInfo.SampleRate = 96000;
    TCutPlayerThread player(Service());
    EXPECT_EQ(player.Open(cut_.get()), 8);
    EXPECT_EQ(player.PlayerState(), kStateClosed);
}

TEST_F(AudioTest, BuffersComeBackInOrderOnlyAfterTheirAudioPlayed) {
    auto out = Service();
    Clock clock;
    out->SetListener(&clock);
    ASSERT_EQ(out->Open(-1, BuildWaveFormat(cut_->FrameInfo)), kWaveOk);
    const int count = 40;
    clock.timer.restart();
    for (int32_t f = 0; f < count; ++f) {
        auto buffer = std::make_unique<WaveBuffer>();
        buffer->data = ReadFrame(*cut_, f);
        buffer->length = uint32_t(buffer->data.size());
        ASSERT_EQ(out->Write(std::move(buffer)), kWaveOk);
    }
    ASSERT_TRUE(RunUntil([&] { return int(clock.milliseconds.size()) == count; }, 5000));
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(clock.frames[size_t(i)], ReadFrame(*cut_, i))
            << "buffer " << i << " out of order";
        const double playedBy = (i + 1) * kFrameSeconds * 1000;
        EXPECT_GE(clock.milliseconds[i], playedBy - 2.0) << "buffer " << i;
        if (i > 0) {
            EXPECT_GE(clock.milliseconds[i], clock.milliseconds[i - 1]);
        }
    }
    // The last one comes back soon after its end, not at some later cleanup.
    EXPECT_LT(clock.milliseconds.back(), count * kFrameSeconds * 1000 + 250);
    EXPECT_EQ(out->Close(), kWaveOk);
}

TEST_F(AudioTest, PausedOutputReturnsNothingUntilRestarted) {
    auto out = Service();
    Clock clock;
    out->SetListener(&clock);
    ASSERT_EQ(out->Open(-1, BuildWaveFormat(cut_->FrameInfo)), kWaveOk);
    for (int32_t f = 0; f < 30; ++f) {
        auto buffer = std::make_unique<WaveBuffer>();
        buffer->data = ReadFrame(*cut_, f);
        buffer->length = uint32_t(buffer->data.size());
        out->Write(std::move(buffer));
    }
    ASSERT_TRUE(RunUntil([&] { return clock.milliseconds.size() >= 5; }, 3000));
    ASSERT_EQ(out->Pause(), kWaveOk);
    RunFor(60);
    const size_t held = clock.milliseconds.size();
    RunFor(400);
    EXPECT_EQ(clock.milliseconds.size(), held);
    const size_t left = 30 - clock.milliseconds.size();
    QElapsedTimer resumed;
    resumed.start();
    ASSERT_EQ(out->Restart(), kWaveOk);
    EXPECT_TRUE(RunUntil([&] { return clock.milliseconds.size() == 30; }, 3000));
    // The pause must not count as played time: the rest still takes its own length.
    EXPECT_GE(double(resumed.nsecsElapsed()) / 1e6, (double(left) - 1) * kFrameSeconds * 1000);
    out->Reset();
    RunFor(10);
    EXPECT_EQ(out->Close(), kWaveOk);
}

TEST_F(AudioTest, FirstBufferAfterALongPauseComesBackOnlyAfterItPlayed) {
    // A stream that sat idle before its first frame once reported the idle time as played.
    TCutPlayerThread player(Service());
    player.SetActive(true);
    ASSERT_EQ(player.Open(cut_.get()), kWaveOk);
    player.SetPosition(30);
    RunFor(300);
    QElapsedTimer timer;
    double firstBack = -1;
    QObject::connect(&player, &TCutPlayerThread::OnProgress, [&](uint32_t position) {
        if (position > 30 && firstBack < 0) {
            firstBack = double(timer.nsecsElapsed()) / 1e6;
        }
    });
    timer.start();
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(RunUntil([&] { return firstBack >= 0; }, 2000));
    EXPECT_GE(firstBack, kFrameSeconds * 1000 - 2.0);
    EXPECT_LT(firstBack, 250.0);
}

TEST_F(AudioTest, PlayingARangeTakesItsRealTime) {
    TCutPlayerThread player(Service());
    player.SetActive(true);
    ASSERT_EQ(player.Open(cut_.get()), kWaveOk);
    cut_->MarkIn = 50;
    cut_->MarkOut = 50 + 115;  // 115 frames: 3.004 s
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(player.PlayMark());
    ASSERT_TRUE(RunUntil(
        [&] { return player.PlayerMode() == kModeEnded && player.QueuedBuffers() == 0; }, 6000));
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    const double expected = 115 * kFrameSeconds;
    EXPECT_NEAR(seconds, expected, expected * 0.10);
    EXPECT_EQ(player.Position(), 165u);
    EXPECT_EQ(player.LastError(), 0);
}

TEST_F(AudioTest, PauseFreezesThePosition) {
    TCutPlayerThread player(Service());
    player.SetActive(true);
    ASSERT_EQ(player.Open(cut_.get()), kWaveOk);
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(RunUntil([&] { return player.Position() >= 10; }, 3000));
    ASSERT_TRUE(player.Pause());
    const uint32_t held = player.Position();
    RunFor(400);
    EXPECT_EQ(player.Position(), held);
    EXPECT_EQ(player.QueuedBuffers(), 0);
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(RunUntil([&] { return player.Position() >= held + 5; }, 3000));
    EXPECT_EQ(player.LastError(), 0);
}

TEST_F(AudioTest, VolumeReadsBackPerChannel) {
    TCutPlayerThread player(Service());
    ASSERT_EQ(player.Open(cut_.get()), kWaveOk);
    EXPECT_EQ(player.Volume(), 0xA000A000u);
    for (uint32_t volume : {0x4000C000u, 0xFFFF0000u, 0x0001FFFEu, 0xFFFFFFFFu}) {
        player.SetVolume(volume);
        EXPECT_EQ(player.Volume(), volume);
    }
    player.SetMuteMode(true);
    uint32_t device = 1;
    ASSERT_EQ(player.Output().GetVolume(device), kWaveOk);
    EXPECT_EQ(device, 0u);
    player.SetMuteMode(false);
    EXPECT_EQ(player.Volume(), 0xFFFFFFFFu);
    EXPECT_EQ(player.LastError(), 0);
}

// What reaches the sink from the target frame on equals libmpg123's continuous decode of the
// same frames: the pre-roll rebuilt the reservoir, and none of it was heard.
//
// A new PulseAudio stream joining a running sink blurs its first few milliseconds: mostly lost as
// silence (measured here: 112 sample frames), and on a loaded machine a few samples come out mixed
// with what the sink had rendered before the join. So the reference is located by a window from
// its second frame on, and differences are allowed only in that short lead-in; a pre-roll that
// failed spoils the whole first frame and more.
constexpr size_t kMaxBlurredSamples = 2 * 512;  // interleaved stereo samples, 11.6 ms

void ExpectHeardExactly(const std::vector<int16_t>& recorded, const std::vector<int16_t>& reference,
                        bool silenceBefore) {
    const size_t skip = 2 * 1152;
    ASSERT_GT(reference.size(), 2 * skip);
    const std::vector<int16_t> later(reference.begin() + long(skip), reference.end());
    const long found = FindSamples(recorded, later, skip);
    ASSERT_GE(found, long(skip)) << "the target frame's samples never reached the sink";
    const size_t at = size_t(found) - skip;
    ASSERT_LE(at + reference.size(), recorded.size()) << "the recording ends early";
    size_t differing = 0;
    size_t firstDiffering = 0;
    size_t lastDiffering = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
        if (recorded[at + i] == reference[i]) {
            continue;
        }
        if (differing == 0) {
            firstDiffering = i;
        }
        lastDiffering = i;
        ++differing;
    }
    if (differing > 0) {
        EXPECT_LT(lastDiffering, kMaxBlurredSamples)
            << differing << " samples differ from the decoder's own output, from sample "
            << firstDiffering << " to " << lastDiffering;
    }
    if (silenceBefore) {
        // Nothing but silence before it: the pre-rolled frames were decoded, not played.
        for (size_t i = 0; i < at; ++i) {
            ASSERT_EQ(recorded[i], 0) << "sound at sample " << i << " before the target";
        }
    }
}

class SinkAudio : public AudioTest {
  protected:
    void SetUp() override {
        AudioTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(gServer->StartRecording(dir_.File("sink.raw")));
    }

    std::vector<int16_t> Recorded() {
        RunFor(300);  // the monitor trails the sink a little
        gServer->StopRecording();
        return ReadSamples(dir_.File("sink.raw"));
    }
};

TEST_F(SinkAudio, RangeFromTheMiddleArrivesExactlyAsDecoded) {
    const int32_t first = 140;
    const int32_t out = 200;
    TCutPlayerThread player(Service());
    player.SetActive(true);
    player.SetVolume(0xFFFFFFFF);  // unity gain: the sink gets the decoder's samples unchanged
    ASSERT_EQ(player.Open(cut_.get()), kWaveOk);
    player.SetPosition(first);
    cut_->MarkIn = first;
    cut_->MarkOut = out;
    ASSERT_TRUE(player.PlayMark());
    ASSERT_TRUE(RunUntil(
        [&] { return player.PlayerMode() == kModeEnded && player.QueuedBuffers() == 0; }, 6000));
    const std::vector<int16_t> recorded = Recorded();
    const std::vector<int16_t> reference = ReferenceDecode(*cut_, first, out - 1);
    ExpectHeardExactly(recorded, reference, true);
}

TEST_F(SinkAudio, SeekWhilePlayingGoesOnExactlyFromTheNewFrame) {
    const int32_t target = 250;
    TCutPlayerThread player(Service());
    player.SetActive(true);
    player.SetVolume(0xFFFFFFFF);
    ASSERT_EQ(player.Open(cut_.get()), kWaveOk);
    ASSERT_TRUE(player.Play());
    ASSERT_TRUE(RunUntil([&] { return player.Position() >= 20; }, 3000));
    player.SetPosition(target);
    ASSERT_TRUE(RunUntil([&] { return player.Position() >= uint32_t(target + 40); }, 4000));
    player.Pause();
    const std::vector<int16_t> recorded = Recorded();
    const std::vector<int16_t> reference = ReferenceDecode(*cut_, target, target + 29);
    ExpectHeardExactly(recorded, reference, false);
}

// The command-line tool on the same server.
struct CliRun {
    int status = -1;
    std::string output;
};

CliRun RunCli(const std::string& arguments) {
    CliRun run;
    FILE* pipe = popen((std::string(SLICEWELL_CLI) + " " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST_F(AudioTest, CliListsTheDefaultDeviceAndTheSink) {
    const CliRun run = RunCli("devices");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output,
              std::string(" -1  Default device\n  0  ") + PulseServer::kSinkDescription + "\n");
}

TEST_F(AudioTest, CliPlaysAnInclusiveRangeInItsRealTimeAndEnds) {
    QElapsedTimer timer;
    timer.start();
    const CliRun run = RunCli("play '" + dir_.File("sweep.mp3") + "' --range 10-60 --device 0");
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    EXPECT_EQ(run.status, 0) << run.output;
    // The last line shows where playing stopped: one past LAST, with its time code.
    EXPECT_NE(run.output.find("frame 61  00:00:01.23  Ended"), std::string::npos) << run.output;
    EXPECT_GE(seconds, 51 * kFrameSeconds);
}

TEST_F(AudioTest, CliInterruptedByCtrlCClosesCleanlyWithStatus0) {
    pid_t pid = SpawnProcess({SLICEWELL_CLI, "play", dir_.File("sweep.mp3"), "--loop"});
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace sw::test

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new sw::test::ServerEnvironment);
    return RUN_ALL_TESTS();
}
