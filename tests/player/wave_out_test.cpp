// The wave-output contract as the test and null services keep it, and the error box.
#include <gtest/gtest.h>

#include "player/qt/null_wave_out.h"
#include "player/qt/show_wave_out_error.h"
#include "player/qt/wave_out_factory.h"
#include "player/test_wave_out.h"
#include "player_fixture.h"
#include "scripted_prompts.h"

namespace sw::test {
namespace {

// Records what comes back, and in which order.
class Recorder : public WaveOutListener {
  public:
    void WaveOutDone(std::unique_ptr<WaveBuffer> buffer) override {
        done.push_back(buffer->data.empty() ? -1 : buffer->data[0]);
        doneFlags.push_back(buffer->flags);
    }
    std::vector<int> done;
    std::vector<uint32_t> doneFlags;
};

std::unique_ptr<WaveBuffer> Buffer(uint8_t tag) {
    auto buffer = std::make_unique<WaveBuffer>();
    buffer->data = {tag, 0, 0, 0};
    buffer->length = 4;
    return buffer;
}

MpegLayer3WaveFormat Format() {
    return BuildWaveFormat(DecodeFrameHeader(MakeHeaderWord({})));
}

TEST(TestWaveOut, BuffersComeBackOnlyWhenTheClockAdvancesAndNotWhilePaused) {
    TestWaveOut out;
    Recorder recorder;
    out.SetListener(&recorder);
    ASSERT_EQ(out.Open(-1, Format()), 0);
    for (uint8_t tag = 1; tag <= 3; ++tag) {
        ASSERT_EQ(out.Write(Buffer(tag)), 0);
    }
    ProcessEvents();
    EXPECT_TRUE(recorder.done.empty());
    out.Pause();
    EXPECT_EQ(out.Advance(2), 0);
    out.Restart();
    EXPECT_EQ(out.Advance(2), 2);
    ProcessEvents();
    EXPECT_EQ(recorder.done, (std::vector<int>{1, 2}));
    EXPECT_EQ(recorder.doneFlags, (std::vector<uint32_t>{kBufferDone, kBufferDone}));
}

TEST(TestWaveOut, ResetReturnsEveryBufferInOrderAndLeavesTheOutputRunning) {
    TestWaveOut out;
    Recorder recorder;
    out.SetListener(&recorder);
    ASSERT_EQ(out.Open(-1, Format()), 0);
    out.Write(Buffer(7));
    out.Write(Buffer(8));
    out.Pause();
    ASSERT_EQ(out.Reset(), 0);
    EXPECT_FALSE(out.Paused());
    // Not from inside the call: only the event loop (or an explicit dispatch) delivers.
    EXPECT_TRUE(recorder.done.empty());
    EXPECT_EQ(out.DispatchPending(1), 1);
    EXPECT_EQ(recorder.done, (std::vector<int>{7}));
    ProcessEvents();
    EXPECT_EQ(recorder.done, (std::vector<int>{7, 8}));
}

TEST(TestWaveOut, CloseWithQueuedBuffersFailsWithStillPlaying) {
    TestWaveOut out;
    ASSERT_EQ(out.Open(-1, Format()), 0);
    out.Write(Buffer(1));
    EXPECT_EQ(out.Close(), kWaveStillPlaying);
    out.Reset();
    EXPECT_EQ(out.Close(), 0);
    EXPECT_EQ(out.Close(), kWaveInvalidHandle);
    ProcessEvents();
}

TEST(TestWaveOut, QueryChecksDeviceNumberAndFormat) {
    TestWaveOut out({"A", "B"});
    EXPECT_EQ(out.Query(-1, Format()), 0);
    EXPECT_EQ(out.Query(1, Format()), 0);
    EXPECT_EQ(out.Query(2, Format()), kWaveBadDeviceId);
    EXPECT_EQ(out.Query(-2, Format()), kWaveBadDeviceId);
    MpegLayer3WaveFormat pcm = Format();
    pcm.wFormatTag = 1;
    EXPECT_EQ(out.Query(-1, pcm), kWaveBadFormat);
    EXPECT_FALSE(out.IsOpen());
    std::string name;
    EXPECT_EQ(out.DeviceName(1, name), 0);
    EXPECT_EQ(name, "B");
}

TEST(NullWaveOut, HasNoDevicesAndOpeningNamesTheMissingServer) {
    NullWaveOut out;
    EXPECT_EQ(out.DeviceCount(), 0);
    const int code = out.Open(-1, Format());
    EXPECT_EQ(code, kWaveNoDriver);
    EXPECT_NE(out.ErrorText(code).find("sound server"), std::string::npos);
    EXPECT_EQ(out.Write(Buffer(1)), kWaveInvalidHandle);
}

TEST(WaveOutFactory, WithoutASoundServerTheNullServiceIsChosen) {
    // An empty runtime folder and home: libpulse finds no server and must not start one.
    TempDir empty;
    const std::string savedRuntime = getenv("XDG_RUNTIME_DIR") ? getenv("XDG_RUNTIME_DIR") : "";
    const std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    const std::string savedServer = getenv("PULSE_SERVER") ? getenv("PULSE_SERVER") : "";
    setenv("XDG_RUNTIME_DIR", empty.Path().c_str(), 1);
    setenv("HOME", empty.Path().c_str(), 1);
    setenv("PULSE_SERVER", ("unix:" + empty.File("none")).c_str(), 1);
    std::unique_ptr<WaveOut> out = CreateWaveOut();
    const int devices = WaveOutDeviceCount();
    setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    setenv("HOME", savedHome.c_str(), 1);
    if (savedServer.empty()) {
        unsetenv("PULSE_SERVER");
    } else {
        setenv("PULSE_SERVER", savedServer.c_str(), 1);
    }
    EXPECT_NE(dynamic_cast<NullWaveOut*>(out.get()), nullptr);
    EXPECT_EQ(devices, 0);
}

TEST(ShowWaveOutError, ShowsTheServiceTextCaptionedErrorMessage) {
    TestWaveOut out;
    ScriptedPrompts prompts;
    prompts.ExpectError();
    ShowWaveOutError(prompts, out, kWaveNotSupported);
    ASSERT_EQ(prompts.History().size(), 1u);
    EXPECT_EQ(prompts.History()[0].caption, "Error message");
    EXPECT_EQ(prompts.History()[0].text, out.ErrorText(kWaveNotSupported));
    EXPECT_FALSE(prompts.History()[0].text.empty());
}

TEST(ShowWaveOutError, CodeWithoutTextShowsTheUnknownErrorText) {
    TestWaveOut out;
    ScriptedPrompts prompts;
    prompts.ExpectError();
    ShowWaveOutError(prompts, out, 4711);
    EXPECT_EQ(prompts.Texts(), (std::vector<std::string>{"An unknown error occured"}));
    // Success is not an error: nothing is shown.
    ShowWaveOutError(prompts, out, 0);
    EXPECT_EQ(prompts.History().size(), 1u);
}

TEST(ShowWaveOutError, EveryCodeThePlayerAddsHasAText) {
    TestWaveOut out;
    for (int code : {1, 5, 8, 11, 34}) {
        EXPECT_FALSE(out.ErrorText(code).empty()) << code;
    }
}

}  // namespace
}  // namespace sw::test
