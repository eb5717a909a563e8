// The player on the deterministic device: positions, events and their order, the queue, errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "player/qt/null_wave_out.h"
#include "player_harness.h"
#include "stream/file_errors.h"

namespace sw::test {
namespace {

using Strings = std::vector<std::string>;

std::vector<std::string> Progress(int count, uint32_t position) {
    return std::vector<std::string>(size_t(count), "progress " + std::to_string(position));
}

Strings Concat(Strings a, const Strings& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A stream whose reads fail the way a vanished disk does.
class FailingStream : public ByteStream {
  public:
    int64_t Read(void*, int64_t) override { throw StreamReadError(); }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t, SeekOrigin) override { return 0; }
    int64_t Size() override { return 0; }
    void SetSize(int64_t) override {}
};

TEST(PlayerOpen, OpenLeavesDevicePausedAtFrameZeroWithNothingQueued) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    ASSERT_EQ(p.Open(h.Cut()), 0);
    EXPECT_EQ(p.PlayerMode(), kModePausing);
    EXPECT_EQ(p.PlayerState(), kStateOpen);
    EXPECT_EQ(p.Position(), 0u);
    EXPECT_EQ(p.QueuedBuffers(), 0);
    EXPECT_TRUE(h.Device().IsOpen());
    EXPECT_TRUE(h.Device().Paused());
    EXPECT_EQ(h.Device().OpenDevice(), -1);
    EXPECT_EQ(h.Device().OpenFormat().Bytes(), BuildWaveFormat(h.Cut()->FrameInfo).Bytes());
    // The stored volume (both channels 0xA000) reaches the device before it is paused.
    EXPECT_EQ(h.Device().DeviceVolume(), 0xA000A000u);
    EXPECT_EQ(h.Controls(), (Strings{"open -1", "pause"}));
    EXPECT_TRUE(h.Written().empty());
    EXPECT_EQ(h.Log(), (Strings{"state 1"}));
}

TEST(PlayerOpen, PlayAfterOpenRestartsAndQueuesNumBuffersFrames) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(h.Controls(), (Strings{"restart"}));
    EXPECT_EQ(h.Written(), Range(0, 15));
    EXPECT_TRUE(h.Prerolled().empty());
    EXPECT_EQ(p.QueuedBuffers(), 16);
    EXPECT_EQ(p.Position(), 0u);
    // Every queued frame reports the audible frame; the mode event follows the fill.
    EXPECT_EQ(h.Log(), Concat(Progress(16, 0), {"mode 1"}));
}

TEST(PlayerOpen, AutoplayRightAfterOpenReportsTheStateBeforeTheFramesAndTheMode) {
    // The cutter's Autoplay plays as soon as the file is open; a client that heard the mode
    // before the open state would show "Playing" for a closed player.
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    ASSERT_TRUE(p.Play());
    EXPECT_EQ(p.PlayerMode(), kModePlayAll);
    EXPECT_EQ(h.Written(), Range(0, 15));
    EXPECT_EQ(h.Log(), Concat(Concat({"state 1"}, Progress(16, 0)), {"mode 1"}));
}

TEST(PlayerOpen, OpenWithoutCutObjectReturns11AndStaysClosed) {
    PlayerHarness h;
    EXPECT_EQ(h.Player().Open(nullptr), 11);
    EXPECT_EQ(h.Player().PlayerState(), kStateClosed);
    EXPECT_EQ(h.Player().PlayerMode(), kModeNone);
    EXPECT_FALSE(h.Device().IsOpen());
    EXPECT_EQ(h.Log(), (Strings{"state 0"}));
}

TEST(PlayerOpen, UnplayableFormatReturns8WithoutOpeningTheDevice) {
    PlayerHarness h;
    h.Device().RejectFormats(true);
    EXPECT_EQ(h.Player().Open(h.Cut()), 8);
    EXPECT_TRUE(h.Controls().empty());
    EXPECT_FALSE(h.Device().IsOpen());
    EXPECT_EQ(h.Player().CutObject(), nullptr);
    EXPECT_EQ(h.Player().PlayerState(), kStateClosed);
}

TEST(PlayerOpen, MissingSoundServerIsReportedAsItselfNotAsAFormatProblem) {
    TempDir dir;
    WriteNumberedFrames(dir.File("a.mp3"), 10);
    CutObjectPtr cut = IndexedCutObject(dir.File("a.mp3"));
    TCutPlayerThread player(std::make_unique<NullWaveOut>());
    const int code = player.Open(cut.get());
    EXPECT_EQ(code, kWaveNoDriver);
    EXPECT_NE(player.Output().ErrorText(code).find("sound server"), std::string::npos);
    EXPECT_EQ(player.PlayerState(), kStateClosed);
}

TEST(PlayerOpen, OpeningAnotherFileClosesTheFirst) {
    PlayerHarness h;
    TempDir dir;
    WriteNumberedFrames(dir.File("b.mp3"), 30);
    CutObjectPtr other = IndexedCutObject(dir.File("b.mp3"));
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Clear();
    ASSERT_EQ(p.Open(other.get()), 0);
    EXPECT_EQ(p.CutObject(), other.get());
    EXPECT_EQ(h.Controls(), (Strings{"pause", "reset", "close", "open -1", "pause"}));
    EXPECT_EQ(p.QueuedBuffers(), 0);
    EXPECT_EQ(h.Log(), (Strings{"state 0", "state 1"}));
}

TEST(PlayerQueue, EachReturnedBufferQueuesOneMoreFrame) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Clear();
    h.Play(1);
    EXPECT_EQ(h.Written(), (std::vector<int32_t>{16}));
    EXPECT_EQ(p.Position(), 1u);
    EXPECT_EQ(h.Log(), (Strings{"progress 1"}));
    h.Play(3);
    EXPECT_EQ(h.Written(), Range(16, 19));
    EXPECT_EQ(p.Position(), 4u);
    EXPECT_EQ(p.QueuedBuffers(), 16);
}

TEST(PlayerQueue, ReturnedBuffersArriveOnlyThroughTheEventLoop) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Device().Advance(2);
    EXPECT_EQ(p.QueuedBuffers(), 16);
    EXPECT_EQ(p.Position(), 0u);
    ProcessEvents();
    EXPECT_EQ(p.Position(), 2u);
    EXPECT_EQ(p.QueuedBuffers(), 16);
}

TEST(PlayerQueue, ClearingActiveLetsTheQueuePlayOutAndSettingItRefillsAtOnce) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    p.SetActive(false);
    h.Clear();
    h.Play(16);
    EXPECT_TRUE(h.Written().empty());
    EXPECT_EQ(p.QueuedBuffers(), 0);
    EXPECT_EQ(p.Position(), 16u);
    p.SetActive(true);
    EXPECT_EQ(h.Written(), Range(16, 31));
}

TEST(PlayerQueue, NumBuffersAndCueBuffersSettingsSetTheQueueDepths) {
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 3);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    EXPECT_EQ(h.Written(), Range(0, 3));
    p.Pause();
    ProcessEvents();
    h.Clear();
    p.Cue();
    ProcessEvents();
    EXPECT_EQ(h.Written(), Range(0, 2));
}

TEST(PlayerQueue, UnloadedQueueDepthSettingsFallBackToDefaults) {
    PlayerHarness h;
    h.Player().SetQueueDepths(0, 0);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    EXPECT_EQ(h.Written(), Range(0, 15));
}

TEST(PlayerQueue, EmptyIndexQueuesNothingInsteadOfReadingFrameMinusOne) {
    PlayerHarness h;
    h.Cut()->IndexStream->SetSize(0);
    h.Cut()->MarkOut = -1;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    EXPECT_TRUE(h.Written().empty());
    EXPECT_EQ(p.LastError(), 0);
    p.SetPosition(10);
    EXPECT_EQ(p.Position(), 0u);
}

TEST(PlayerModes, PauseHoldsTheAudibleFrameAndPlayResumesThere) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Play(5);
    ASSERT_EQ(p.Position(), 5u);
    h.Clear();
    EXPECT_TRUE(p.Pause());
    EXPECT_EQ(h.Controls(), (Strings{"reset", "pause"}));
    EXPECT_EQ(p.Position(), 5u);
    ProcessEvents();
    EXPECT_EQ(p.QueuedBuffers(), 0);
    EXPECT_TRUE(h.Device().Paused());
    EXPECT_EQ(h.Device().Advance(3), 0);
    EXPECT_TRUE(h.Written().empty());
    EXPECT_EQ(h.Log(), (Strings{"mode 4"}));
    h.Clear();
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(h.Controls(), (Strings{"restart"}));
    EXPECT_EQ(h.Written(), Range(5, 20));
    EXPECT_EQ(p.Position(), 5u);
}

TEST(PlayerModes, StopGoesBackToFrameZeroPausedWithNothingQueued) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Play(5);
    h.Clear();
    EXPECT_TRUE(p.Stop());
    ProcessEvents();
    EXPECT_EQ(p.PlayerMode(), kModeStopped);
    EXPECT_EQ(p.Position(), 0u);
    EXPECT_EQ(p.QueuedBuffers(), 0);
    EXPECT_TRUE(h.Device().Paused());
    EXPECT_TRUE(h.Written().empty());
    EXPECT_EQ(h.Controls(), (Strings{"reset", "pause"}));
}

TEST(PlayerModes, PlayMarkWithAnInvalidRangeDoesNothingAndFiresNoEvent) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    const std::pair<int32_t, int32_t> ranges[] = {{30, 20}, {10, 100}, {-1, 20}};
    for (const auto& [in, out] : ranges) {
        h.Cut()->MarkIn = in;
        h.Cut()->MarkOut = out;
        EXPECT_FALSE(p.PlayMark()) << in << "-" << out;
    }
    EXPECT_EQ(p.PlayerMode(), kModePausing);
    EXPECT_TRUE(h.Log().empty());
    EXPECT_TRUE(h.Device().Events().empty());
}

TEST(PlayerModes, PlayMarkEndsBeforeTheMarkOutFrame) {
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 6);
    h.Cut()->MarkIn = 10;
    h.Cut()->MarkOut = 20;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Stop();
    h.Clear();
    EXPECT_TRUE(p.PlayMark());
    EXPECT_EQ(h.Written(), Range(10, 13));
    for (int i = 0; i < 20; ++i) {
        h.Play(1);
    }
    EXPECT_EQ(h.Written(), Range(10, 19));
    EXPECT_EQ(p.PlayerMode(), kModeEnded);
    EXPECT_EQ(p.QueuedBuffers(), 0);
    EXPECT_EQ(p.Position(), 20u);
    const Strings& log = h.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(std::count(log.begin(), log.end(), "mode 6"), 1);
    EXPECT_LT(std::find(log.begin(), log.end(), "mode 2"),
              std::find(log.begin(), log.end(), "mode 6"));
}

TEST(PlayerModes, PlayMarkWithLoopModeGoesOnFromMarkIn) {
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 6);
    h.Cut()->MarkIn = 10;
    h.Cut()->MarkOut = 14;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    p.SetLoopMode(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Stop();
    h.Clear();
    p.PlayMark();
    h.Play(4);
    EXPECT_EQ(h.Written(), (std::vector<int32_t>{10, 11, 12, 13, 10, 11, 12, 13}));
    EXPECT_EQ(p.PlayerMode(), kModePlayMark);
    // Jumping back to MarkIn is a jump for the decoder too.
    EXPECT_EQ(h.Feed(), (Strings{"p7", "p8", "p9", "w10", "w11", "w12", "w13", "p7", "p8", "p9",
                                 "w10", "w11", "w12", "w13"}));
}

TEST(PlayerModes, PlayMarkFromPausingOutsideTheRangeStartsAtMarkIn) {
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 6);
    h.Cut()->MarkIn = 10;
    h.Cut()->MarkOut = 20;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    EXPECT_TRUE(p.PlayMark());
    EXPECT_EQ(h.Controls(), (Strings{"reset"}));
    EXPECT_EQ(h.Written(), Range(10, 13));
    // Inside the range, Play Mark resumes where the pause held.
    p.Pause();
    ProcessEvents();
    p.SetPosition(15);
    h.Clear();
    EXPECT_TRUE(p.PlayMark());
    EXPECT_EQ(h.Controls(), (Strings{"restart"}));
    EXPECT_EQ(h.Written(), Range(15, 18));
}

TEST(PlayerModes, PlayAllEndsBeforeTheLastFrame) {
    PlayerHarness h(20);
    h.Player().SetQueueDepths(4, 6);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    for (int i = 0; i < 30; ++i) {
        h.Play(1);
    }
    EXPECT_EQ(h.Written(), Range(0, 18));
    EXPECT_EQ(p.PlayerMode(), kModeEnded);
    EXPECT_EQ(p.NextFrame(), 0);
}

TEST(PlayerModes, PlayAllWithLoopModeWrapsToFrameZero) {
    PlayerHarness h(20);
    h.Player().SetQueueDepths(4, 6);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    p.SetLoopMode(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    for (int i = 0; i < 17; ++i) {
        h.Play(1);
    }
    std::vector<int32_t> expected = Range(0, 18);
    expected.push_back(0);
    expected.push_back(1);
    EXPECT_EQ(h.Written(), expected);
    EXPECT_EQ(p.PlayerMode(), kModePlayAll);
}

TEST(PlayerModes, CueingRepeatsCueBuffersFramesFromTheCuePosition) {
    PlayerHarness h;
    h.Player().SetQueueDepths(16, 3);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetPosition(40);
    h.Clear();
    EXPECT_TRUE(p.Cue());
    ProcessEvents();
    EXPECT_EQ(h.Written(), Range(40, 42));
    h.Play(2);
    EXPECT_EQ(h.Written(), (std::vector<int32_t>{40, 41, 42, 40, 41}));
    EXPECT_EQ(p.Position(), 40u);
}

TEST(PlayerModes, ModesOutsideTheTableAreIgnored) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    for (int mode : {-1, 0, 7, 100}) {
        p.SetPlayerMode(mode);
    }
    EXPECT_EQ(p.PlayerMode(), kModePausing);
    EXPECT_TRUE(h.Log().empty());
}

TEST(PlayerModes, ModeRequestsWithoutAFileDoNothing) {
    PlayerHarness h;
    EXPECT_FALSE(h.Player().Play());
    EXPECT_EQ(h.Player().PlayerMode(), kModeNone);
    EXPECT_TRUE(h.Log().empty());
}

TEST(PlayerPosition, WritingBeyondTheLastFrameClampsToIt) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetPosition(1000);
    EXPECT_EQ(p.Position(), 99u);
    p.SetPosition(-35);
    EXPECT_EQ(p.Position(), 0u);
}

TEST(PlayerPosition, WritingWhilePausingResetsPausesAndReports) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    p.SetPosition(50);
    EXPECT_EQ(h.Controls(), (Strings{"reset", "pause"}));
    EXPECT_EQ(h.Log(), (Strings{"progress 50"}));
    EXPECT_EQ(p.Position(), 50u);
    EXPECT_TRUE(h.Written().empty());
    EXPECT_TRUE(h.Device().Paused());
}

TEST(PlayerPosition, WritingWhilePlayingRefillsFromTheNewFrameAfterAPreroll) {
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 6);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Clear();
    p.SetPosition(50);
    EXPECT_EQ(h.Controls(), (Strings{"reset"}));
    ProcessEvents();
    EXPECT_EQ(h.Feed(), (Strings{"p47", "p48", "p49", "w50", "w51", "w52", "w53"}));
    EXPECT_EQ(p.Position(), 50u);
    EXPECT_EQ(p.QueuedBuffers(), 4);
}

TEST(PlayerPosition, PrerolledFramesAreNeitherQueuedNorReported) {
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 6);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetPosition(30);
    h.Clear();
    p.Play();
    EXPECT_EQ(h.Prerolled(), (std::vector<int32_t>{27, 28, 29}));
    EXPECT_EQ(p.QueuedBuffers(), 4);
    EXPECT_EQ(h.Log(), Concat(Progress(4, 30), {"mode 1"}));
    h.Play(4);
    EXPECT_EQ(p.Position(), 34u);
}

TEST(PlayerPosition, FlushGoesOnFromTheAudibleFrame) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    EXPECT_EQ(p.Flush(), 5);
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Play(2);
    h.Clear();
    EXPECT_EQ(p.Flush(), 0);
    EXPECT_EQ(p.NextFrame(), 2);
    ProcessEvents();
    EXPECT_EQ(h.Written(), Range(2, 17));
    EXPECT_EQ(p.Position(), 2u);
}

TEST(PlayerPosition, FlushWhilePausingLeavesTheDevicePaused) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetPosition(12);
    h.Clear();
    EXPECT_EQ(p.Flush(), 0);
    EXPECT_EQ(h.Controls(), (Strings{"reset", "pause"}));
    EXPECT_TRUE(h.Device().Paused());
    EXPECT_EQ(p.Position(), 12u);
}

TEST(PlayerDevice, ChangingWaveDeviceWhilePlayingKeepsModeAndPosition) {
    PlayerHarness h;
    h.Player().SetQueueDepths(4, 6);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Play(3);
    ASSERT_EQ(p.Position(), 3u);
    h.Clear();
    p.SetWaveDevice(1);
    EXPECT_EQ(h.Device().OpenDevice(), 1);
    EXPECT_EQ(p.WaveDevice(), 1);
    EXPECT_EQ(p.PlayerMode(), kModePlayAll);
    EXPECT_EQ(p.Position(), 3u);
    EXPECT_EQ(h.Written(), Range(3, 6));
}

TEST(PlayerDevice, ChangingWaveDeviceWhilePausingKeepsTheHeldFrame) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetPosition(25);
    p.SetWaveDevice(0);
    EXPECT_EQ(p.PlayerMode(), kModePausing);
    EXPECT_EQ(p.Position(), 25u);
    EXPECT_TRUE(h.Device().Paused());
}

TEST(PlayerDevice, WaveDeviceWhileClosedIsOnlyStored) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetWaveDevice(1);
    EXPECT_TRUE(h.Device().Events().empty());
    ASSERT_EQ(p.Open(h.Cut()), 0);
    EXPECT_EQ(h.Device().OpenDevice(), 1);
}

TEST(PlayerDevice, CloseReturnsEveryQueuedBufferAndClearsTheState) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    h.Clear();
    EXPECT_EQ(p.Close(), 0);
    EXPECT_EQ(p.QueuedBuffers(), 0);
    EXPECT_FALSE(h.Device().IsOpen());
    EXPECT_EQ(p.PlayerMode(), kModeNone);
    EXPECT_EQ(p.PlayerState(), kStateClosed);
    EXPECT_EQ(p.CutObject(), nullptr);
    EXPECT_TRUE(p.Active());
    EXPECT_EQ(h.Controls(), (Strings{"pause", "reset", "close"}));
    EXPECT_EQ(h.Log(), (Strings{"state 0"}));
}

TEST(PlayerDevice, FailedCloseLeavesThePlayerOpenAndInactive) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Device().FailNext(TestWaveOut::Op::Close, kWaveStillPlaying);
    EXPECT_EQ(p.Close(), kWaveStillPlaying);
    EXPECT_EQ(p.PlayerState(), kStateOpen);
    EXPECT_EQ(p.CutObject(), h.Cut());
    EXPECT_FALSE(p.Active());
}

TEST(PlayerVolume, MutingSavesTheDeviceVolumeAndUnmutingRestoresExactlyIt) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetVolume(0x1234ABCD);
    EXPECT_EQ(h.Device().DeviceVolume(), 0x1234ABCDu);
    p.SetMuteMode(true);
    EXPECT_EQ(h.Device().DeviceVolume(), 0u);
    // A second mute must not save the silence over the level.
    p.SetMuteMode(true);
    EXPECT_EQ(p.Volume(), 0x1234ABCDu);
    p.SetMuteMode(false);
    EXPECT_EQ(h.Device().DeviceVolume(), 0x1234ABCDu);
    EXPECT_EQ(p.Volume(), 0x1234ABCDu);
}

TEST(PlayerVolume, VolumeWrittenWhileMutedWaitsForUnmute) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetMuteMode(true);
    p.SetVolume(0x55554444);
    EXPECT_EQ(h.Device().DeviceVolume(), 0u);
    p.SetMuteMode(false);
    EXPECT_EQ(h.Device().DeviceVolume(), 0x55554444u);
}

TEST(PlayerVolume, OpeningMutedKeepsTheChosenVolumeForUnmute) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetVolume(0x30003000);
    p.SetMuteMode(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    EXPECT_EQ(h.Device().DeviceVolume(), 0u);
    p.SetMuteMode(false);
    EXPECT_EQ(h.Device().DeviceVolume(), 0x30003000u);
}

TEST(PlayerVolume, VolumeChosenWhileOpenSurvivesTheNextOpen) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetVolume(0x22221111);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    EXPECT_EQ(h.Device().DeviceVolume(), 0x22221111u);
}

TEST(PlayerVolume, FailedVolumeReadIsReportedAndBecomesTheLastError) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    h.Device().FailNext(TestWaveOut::Op::GetVolume, kWaveNoMemory);
    EXPECT_EQ(p.Volume(), 0xA000A000u);
    EXPECT_EQ(p.LastError(), kWaveNoMemory);
    EXPECT_EQ(h.Log(), (Strings{"error 7"}));
}

TEST(PlayerErrors, FailedWriteIsStickyUntilClose) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    h.Device().FailNext(TestWaveOut::Op::Write, kWaveNoMemory);
    p.Play();
    EXPECT_EQ(h.Log(), (Strings{"error 7", "mode 1"}));
    EXPECT_EQ(p.QueuedBuffers(), 0);
    h.Clear();
    p.SetActive(true);
    EXPECT_TRUE(h.Written().empty());
    EXPECT_TRUE(h.Log().empty());
    p.Close();
    EXPECT_EQ(p.LastError(), 0);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.Play();
    EXPECT_EQ(p.QueuedBuffers(), 16);
}

TEST(PlayerErrors, FailedModeActionFiresOnErrorAndKeepsTheMode) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    h.Device().FailNext(TestWaveOut::Op::Restart, kWaveNoDriver);
    EXPECT_FALSE(p.Play());
    EXPECT_EQ(p.PlayerMode(), kModePausing);
    EXPECT_EQ(h.Log(), (Strings{"error 6"}));
    EXPECT_TRUE(h.Written().empty());
    // The next successful call to the service clears the error.
    EXPECT_TRUE(p.Play());
    EXPECT_EQ(p.QueuedBuffers(), 16);
}

TEST(PlayerErrors, FrameThatReadsNoBytesReports34) {
    PlayerHarness h(20);
    // An index entry past the end of the file, as a source truncated after its scan leaves.
    h.Cut()->IndexStream->Seek(0, SeekOrigin::End);
    h.Cut()->IndexStream->WriteInt32(h.Cut()->FileSize + 1000);
    h.Cut()->IndexStream->WriteInt32(h.Cut()->FileSize + 2000);
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    p.SetPosition(20);
    h.Clear();
    p.Play();
    EXPECT_EQ(h.Log(), (Strings{"error 34", "mode 1"}));
    EXPECT_EQ(p.LastError(), kWaveUnprepared);
    EXPECT_TRUE(h.Written().empty());
}

TEST(PlayerErrors, ReadErrorWhileQueuingReports1) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Clear();
    h.Cut()->FileStream = std::make_unique<FailingStream>();
    p.Play();
    EXPECT_EQ(p.LastError(), kWaveError);
    EXPECT_EQ(h.Log(), (Strings{"error 1", "mode 1"}));
}

TEST(PlayerErrors, FileWithoutSourceStreamReports34) {
    PlayerHarness h;
    TCutPlayerThread& p = h.Player();
    p.SetActive(true);
    ASSERT_EQ(p.Open(h.Cut()), 0);
    h.Cut()->FileStream.reset();
    p.Play();
    EXPECT_EQ(p.LastError(), kWaveUnprepared);
}

TEST(PlayerLifetime, DestroyingAnOpenPlayerTellsTheClientNothing) {
    TempDir dir;
    WriteNumberedFrames(dir.File("a.mp3"), 40);
    CutObjectPtr cut = IndexedCutObject(dir.File("a.mp3"));
    std::vector<std::string> heard;
    auto player = std::make_unique<TCutPlayerThread>(std::make_unique<TestWaveOut>());
    player->SetActive(true);
    ASSERT_EQ(player->Open(cut.get()), 0);
    player->Play();
    QObject::connect(player.get(), &TCutPlayerThread::OnPlayerStateChange,
                     [&heard](int state) { heard.push_back("state " + std::to_string(state)); });
    player.reset();
    ProcessEvents();
    EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace sw::test
