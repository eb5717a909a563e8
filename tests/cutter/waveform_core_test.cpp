// The waveform's levels, zoom and gestures without a window: estimates read from built frames,
// decoded levels of encoder output against the signal that went in, the worker stopped and
// resumed, and the mapping between pixels and frames at every zoom.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "cutter/coarse_level.h"
#include "cutter/envelope_builder.h"
#include "cutter/envelope_cache.h"
#include "cutter/envelope_worker.h"
#include "cutter/level_envelope.h"
#include "cutter/waveform_gestures.h"
#include "cutter/waveform_ruler.h"
#include "cutter/waveform_scale.h"
#include "frame_builder.h"
#include "stream/frame_header.h"

namespace sw {
namespace {

using test::HeaderSpec;
using test::MakeFrame;
using test::TempDir;

// Writes bit fields after a frame's header, most significant bit first.
class BitWriter {
  public:
    BitWriter(std::vector<uint8_t>& frame, size_t startByte) : frame_(frame), bit_(startByte * 8) {
        std::fill(frame_.begin() + long(startByte), frame_.end(), 0);
    }
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i, ++bit_) {
            if ((value >> i) & 1) {
                frame_[bit_ >> 3] |= uint8_t(0x80 >> (bit_ & 7));
            }
        }
    }

  private:
    std::vector<uint8_t>& frame_;
    size_t bit_;
};

struct Granule {
    uint32_t mainDataBits = 500;
    uint32_t bigValues = 100;
    uint32_t globalGain = 150;
    uint32_t tables[3] = {15, 15, 15};
    bool shortBlocks = false;
    uint32_t subblockGain = 0;
};

// An MPEG-1 Layer III stereo frame whose side information holds these four granules (granule 0
// left, granule 0 right, granule 1 left, granule 1 right).
std::vector<uint8_t> Layer3Frame(const std::vector<Granule>& granules) {
    std::vector<uint8_t> frame = MakeFrame();
    BitWriter bits(frame, 4);
    bits.Put(0, 9 + 3 + 8);
    for (const Granule& g : granules) {
        bits.Put(g.mainDataBits, 12);
        bits.Put(g.bigValues, 9);
        bits.Put(g.globalGain, 8);
        bits.Put(0, 4);
        bits.Put(g.shortBlocks ? 1 : 0, 1);
        if (g.shortBlocks) {
            bits.Put(2, 2);
            bits.Put(0, 1);
            bits.Put(g.tables[0], 5);
            bits.Put(g.tables[1], 5);
            for (int window = 0; window < 3; ++window) {
                bits.Put(g.subblockGain, 3);
            }
        } else {
            for (uint32_t table : g.tables) {
                bits.Put(table, 5);
            }
            bits.Put(0, 7);
        }
        bits.Put(0, 3);
    }
    return frame;
}

uint16_t Layer3Level(const Granule& loudest) {
    Granule quiet;
    quiet.mainDataBits = 0;
    const std::vector<uint8_t> frame = Layer3Frame({quiet, loudest, quiet, quiet});
    return CoarseFrameLevel(frame.data(), frame.size());
}

double Decibels(double level, double reference) {
    return 20 * std::log10(level / reference);
}

TEST(CoarseLevel, Layer3EstimateFollowsGainTablesAndSilentGranules) {
    // Breaks when the side information is read at the wrong bit, a silent granule counts, or the
    // loudest granule is not the one that decides.
    Granule base;
    base.globalGain = 180;
    const uint16_t level = Layer3Level(base);
    ASSERT_GT(level, 0);
    ASSERT_LT(level, kFullScaleLevel);
    // Four global gain steps are a factor of two (6 dB).
    base.globalGain += 8;
    EXPECT_NEAR(Decibels(Layer3Level(base), level), 12.0, 0.2);
    base.globalGain -= 8;
    // A table that holds larger values means a louder granule; without big values only ones.
    base.tables[1] = 24;
    EXPECT_GT(Layer3Level(base), level);
    base.tables[1] = 15;
    base.bigValues = 0;
    EXPECT_LT(Layer3Level(base), level);
    base.bigValues = 100;
    // Short windows are lowered by their subblock gain, 12 dB a step.
    base.shortBlocks = true;
    const uint16_t shortLevel = Layer3Level(base);
    base.subblockGain = 1;
    EXPECT_NEAR(Decibels(Layer3Level(base), shortLevel), -12.0, 0.2);

    Granule silent;
    silent.mainDataBits = 0;
    silent.globalGain = 250;
    const std::vector<uint8_t> quiet = Layer3Frame({silent, silent, silent, silent});
    EXPECT_EQ(CoarseFrameLevel(quiet.data(), quiet.size()), 0);
    // A granule's gain so high it would overflow is full scale, not a wrapped number.
    Granule loud;
    loud.globalGain = 255;
    EXPECT_EQ(Layer3Level(loud), kFullScaleLevel);
}

TEST(CoarseLevel, UntrustedFramesNeverReadPastTheirBytes) {
    // Breaks when a frame cut short inside its side information, or one without a valid header,
    // is read beyond its end or given a level.
    const std::vector<uint8_t> frame = Layer3Frame({Granule{}, Granule{}, Granule{}, Granule{}});
    for (size_t size = 0; size < 4 + 32; ++size) {
        // A copy of exactly size bytes, so that a sanitizer sees any read past it.
        const std::vector<uint8_t> cut(frame.begin(), frame.begin() + long(size));
        EXPECT_EQ(CoarseFrameLevel(cut.data(), cut.size()), 0) << size;
    }
    std::vector<uint8_t> noHeader = frame;
    noHeader[0] = 0x00;
    EXPECT_EQ(CoarseFrameLevel(noHeader.data(), noHeader.size()), 0);
    EXPECT_EQ(CoarseFrameLevel(nullptr, 0), 0);
}

// A Layer II (or I) stereo frame whose only allocated subband is `subband` of the right channel,
// with one scale factor of the given index.
std::vector<uint8_t> ScaleFactorFrame(int layerBits, int channelMode, int modeExtension,
                                      int subband, uint32_t scaleFactor) {
    HeaderSpec spec;
    spec.layerBits = layerBits;
    spec.bitrateIndex = layerBits == 2 ? 10 : 6;  // 192 kbit/s either way: 96 per channel
    spec.channelMode = channelMode;
    spec.modeExtension = modeExtension;
    std::vector<uint8_t> frame = MakeFrame(spec);
    BitWriter bits(frame, 4);
    // Layer II at 96 kbit/s per channel and 44.1 kHz: 30 subbands of 4, 3 and 2 bits.
    const bool layer1 = layerBits == 3;
    const int subbands = layer1 ? 32 : 30;
    const int bound = channelMode == 1 ? (modeExtension + 1) * 4 : subbands;
    for (int sb = 0; sb < subbands; ++sb) {
        const int width = layer1 ? 4 : (sb < 11 ? 4 : sb < 23 ? 3 : 2);
        for (int channel = 0; channel < (sb < bound ? 2 : 1); ++channel) {
            const bool allocated = sb == subband && (channel == 1 || sb >= bound);
            bits.Put(allocated ? 1 : 0, width);
        }
    }
    const int allocatedChannels = subband >= bound ? 2 : 1;
    if (!layer1) {
        for (int i = 0; i < allocatedChannels; ++i) {
            bits.Put(2, 2);  // one scale factor for all three parts
        }
    }
    for (int i = 0; i < allocatedChannels; ++i) {
        bits.Put(scaleFactor, 6);
    }
    return frame;
}

TEST(CoarseLevel, LayersOneAndTwoTakeTheLargestScaleFactor) {
    // Breaks when the allocation is read with the wrong table widths, the joint stereo bound is
    // ignored, or the scale factor scale is wrong (index 3 is full scale, each 3 halve it).
    for (const int layerBits : {2, 3}) {
        SCOPED_TRACE(layerBits == 2 ? "Layer II" : "Layer I");
        // A subband past the 4-bit part of the Layer II table shows a misread width.
        const std::vector<uint8_t> full = ScaleFactorFrame(layerBits, 0, 0, 20, 3);
        const uint16_t fullScale = CoarseFrameLevel(full.data(), full.size());
        EXPECT_NEAR(Decibels(fullScale, kFullScaleLevel), -1.0, 1.0);
        const std::vector<uint8_t> half = ScaleFactorFrame(layerBits, 0, 0, 20, 6);
        EXPECT_NEAR(Decibels(CoarseFrameLevel(half.data(), half.size()), fullScale), -6.02, 0.1);
        // Joint stereo, bound at subband 8: subband 20's allocation is one field for both.
        const std::vector<uint8_t> joint = ScaleFactorFrame(layerBits, 1, 1, 20, 6);
        EXPECT_NEAR(Decibels(CoarseFrameLevel(joint.data(), joint.size()), fullScale), -6.02, 0.1);
        const std::vector<uint8_t> silent = ScaleFactorFrame(layerBits, 0, 0, 99, 0);
        EXPECT_EQ(CoarseFrameLevel(silent.data(), silent.size()), 0);
    }
}

// The frames of a clean encoder output, found by walking their headers.
EnvelopeSource WalkedSource(const std::string& fileName) {
    EnvelopeSource source;
    source.fileName = fileName;
    const std::vector<uint8_t> bytes = test::ReadFileBytes(fileName);
    size_t at = 0;
    while (at + 4 <= bytes.size()) {
        const uint32_t word = HeaderWordFromBytes(&bytes[at]);
        if (!IsValidFrameHeader(word)) {
            ++at;
            continue;
        }
        const TFrameInfo info = DecodeFrameHeader(word);
        if (source.offsets.empty()) {
            source.sampleRate = info.SampleRate;
            source.channels = info.ChannelMode == 3 ? 1 : 2;
        }
        source.offsets.push_back(int32_t(at));
        at += size_t(info.FrameLength);
    }
    return source;
}

bool Run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Two and a half seconds of stereo: silence, then from 1.0 s to 1.5 s a 1 kHz tone at -6 dBFS in
// the right channel only, then silence; encoded by lame (without its Info frame) or twolame.
std::string BurstFile(const TempDir& dir, const std::string& encoder) {
    const std::string wav = dir.File("burst.wav");
    const std::string out = dir.File("burst." + encoder);
    const bool made =
        Run("sox -R -n -r 44100 -c 1 -b 16 " + dir.File("tone.wav") +
            " synth 0.5 sine 1000 gain -6.0206") &&
        Run("sox -R -n -r 44100 -c 1 -b 16 " + dir.File("quiet.wav") + " trim 0 1.0") &&
        Run("sox -R " + dir.File("quiet.wav") + " " + dir.File("tone.wav") + " " +
            dir.File("quiet.wav") + " " + dir.File("right.wav")) &&
        Run("sox -R -n -r 44100 -c 1 -b 16 " + dir.File("left.wav") + " trim 0 2.5") &&
        Run("sox -R -M " + dir.File("left.wav") + " " + dir.File("right.wav") + " " + wav) &&
        (encoder == "mp3" ? Run("lame --quiet -t -b 128 --cbr -m s " + wav + " " + out)
                          : Run("twolame --quiet -b 192 -m s " + wav + " " + out));
    return made ? out : "";
}

TEST(ExactLevels, ToneBurstShowsWhereItIsAtItsLevelAndTheEstimateNearIt) {
    // Breaks when decoded levels land on the wrong frames, take one channel instead of the
    // louder, are scaled wrongly, or when the estimate of real encoder output (Layer III and
    // Layer II tables) is far off the decoded level.
    for (const std::string encoder : {"mp3", "mp2"}) {
        SCOPED_TRACE(encoder);
        TempDir dir;
        const std::string file = BurstFile(dir, encoder);
        ASSERT_FALSE(file.empty()) << "sox, lame and twolame are needed";
        const EnvelopeSource source = WalkedSource(file);
        ASSERT_GT(source.offsets.size(), 90u);
        LevelEnvelope envelope(int32_t(source.offsets.size()));
        SourceFrameReader frames(source);
        std::atomic<bool> terminate{false};
        ASSERT_TRUE(BuildCoarseLevels(envelope, frames, terminate));
        ASSERT_TRUE(
            BuildExactLevels(envelope, frames, source.sampleRate, source.channels, terminate));
        ASSERT_TRUE(envelope.Complete());
        EXPECT_EQ(envelope.Failure(), "");

        // 1152 samples a frame: the tone covers frames 38.3 to 57.4 of the signal; the encoder
        // and decoder delay it by about one frame more.
        const double fullHalf = kFullScaleLevel / 2.0;
        for (int32_t frame = 41; frame <= 56; ++frame) {
            const ColumnLevel level = envelope.Column(frame, frame + 1);
            EXPECT_TRUE(level.exact);
            EXPECT_NEAR(Decibels(level.peak, fullHalf), 0.0, 1.0) << frame;
            EXPECT_NEAR(Decibels(level.rms, fullHalf / std::sqrt(2.0)), 0.0, 1.0) << frame;
        }
        for (int32_t frame : {2, 20, 34, 64, 80}) {
            EXPECT_LT(envelope.Column(frame, frame + 1).peak, 100) << frame;
        }
        // One column over the whole file holds the tone's peak and a sixth of its energy.
        const ColumnLevel whole = envelope.Column(0, envelope.Frames());
        EXPECT_NEAR(Decibels(whole.peak, fullHalf), 0.0, 1.0);

        // The estimate, read from the same frames before they were decoded.
        LevelEnvelope estimate(envelope.Frames());
        SourceFrameReader again(source);
        BuildCoarseLevels(estimate, again, terminate);
        for (int32_t frame = 42; frame <= 55; ++frame) {
            EXPECT_NEAR(Decibels(estimate.Column(frame, frame + 1).peak, fullHalf), 0.0, 8.0)
                << frame;
        }
        EXPECT_LT(estimate.Column(10, 11).peak, fullHalf / 100);
    }
}

// The frames of a short lame encode, again and again: every copy starts with an empty bit
// reservoir, so the joins decode cleanly. Long enough that decoding takes a while.
std::string LongFile(const TempDir& dir, int copies) {
    const std::string wav = dir.File("noise.wav");
    const std::string mp3 = dir.File("noise.mp3");
    if (!Run("sox -R -n -r 44100 -c 2 -b 16 " + wav + " synth 1 pinknoise gain -10") ||
        !Run("lame --quiet -t -b 128 --cbr " + wav + " " + mp3)) {
        return "";
    }
    const std::vector<uint8_t> once = test::ReadFileBytes(mp3);
    std::vector<uint8_t> all;
    for (int i = 0; i < copies; ++i) {
        test::Append(all, once);
    }
    const std::string file = dir.File("long" + std::to_string(copies) + ".mp3");
    test::WriteFileBytes(file, all);
    return file;
}

bool WaitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST(EnvelopeWorker, AnotherFileStopsTheWorkAndGoingBackResumesItExactly) {
    // Breaks when opening another file does not stop the running decode, when a stopped
    // envelope loses what it had, or when resuming (after the frames a decoder needs first)
    // gives other levels than one uninterrupted decode.
    TempDir dir;
    const std::string longFile = LongFile(dir, 300);
    const std::string otherFile = LongFile(dir, 1);
    ASSERT_FALSE(longFile.empty());
    const EnvelopeSource longSource = WalkedSource(longFile);
    const EnvelopeSource otherSource = WalkedSource(otherFile);
    auto first = std::make_shared<LevelEnvelope>(int32_t(longSource.offsets.size()));
    auto second = std::make_shared<LevelEnvelope>(int32_t(otherSource.offsets.size()));

    EnvelopeWorker worker;
    worker.Start(first, longSource);
    ASSERT_TRUE(WaitFor([&] { return first->ExactFrames() > 200; }));
    worker.Start(second, otherSource);
    EXPECT_EQ(worker.Current(), second.get());
    const int32_t stoppedAt = first->ExactFrames();
    EXPECT_LT(stoppedAt, first->Frames());
    EXPECT_EQ(first->CoarseFrames(), first->Frames());
    ASSERT_TRUE(WaitFor([&] { return !worker.Busy(); }));
    EXPECT_TRUE(second->Complete());
    EXPECT_EQ(first->ExactFrames(), stoppedAt);

    worker.Start(first, longSource);
    ASSERT_TRUE(WaitFor([&] { return !worker.Busy(); }));
    ASSERT_TRUE(first->Complete());

    LevelEnvelope uninterrupted(first->Frames());
    SourceFrameReader frames(longSource);
    std::atomic<bool> terminate{false};
    BuildExactLevels(uninterrupted, frames, longSource.sampleRate, longSource.channels, terminate);
    for (int32_t frame = 0; frame < first->Frames(); ++frame) {
        const ColumnLevel resumed = first->Column(frame, frame + 1);
        const ColumnLevel whole = uninterrupted.Column(frame, frame + 1);
        ASSERT_EQ(resumed.peak, whole.peak) << frame << " (resumed at " << stoppedAt << ")";
        ASSERT_EQ(resumed.rms, whole.rms) << frame;
    }

    // A file that cannot be read leaves a reason instead of a thread that never ends.
    auto missing = std::make_shared<LevelEnvelope>(10);
    EnvelopeSource gone = otherSource;
    gone.fileName = dir.File("gone.mp3");
    worker.Start(missing, gone);
    ASSERT_TRUE(WaitFor([&] { return !worker.Busy(); }));
    EXPECT_NE(missing->Failure(), "");
}

TEST(LevelEnvelope, ColumnsTakeDecodedLevelsBeforeEstimatesAndSilenceOutsideTheFile) {
    // Breaks when a column prefers an estimate over a decoded level, claims to be exact while
    // part of it is estimated, or reads past the frames published or the file's end.
    LevelEnvelope envelope(4);
    envelope.SetCoarse(0, 1000);
    envelope.SetCoarse(1, 20000);
    envelope.SetCoarse(2, 30000);
    envelope.PublishCoarse(2);
    EXPECT_EQ(envelope.Column(0, 4).peak, 20000);  // frame 2's estimate is not published
    envelope.SetExact(1, {4000, 3000});
    envelope.PublishExact(2);
    const ColumnLevel decoded = envelope.Column(0, 2);
    EXPECT_EQ(decoded.peak, 4000);
    EXPECT_TRUE(decoded.exact);
    EXPECT_EQ(decoded.rms, uint16_t(std::sqrt(3000.0 * 3000.0 / 2)));
    EXPECT_FALSE(envelope.Column(1, 3).exact);
    EXPECT_EQ(envelope.Column(-5, 0).peak, 0);
    EXPECT_EQ(envelope.Column(4, 9).peak, 0);
    EXPECT_EQ(envelope.Column(3, 1).peak, 0);

    // The cache: one envelope per file, never another file's for a reused address.
    EnvelopeCache cache;
    TCutObject cut;
    cut.FileName = "a.mp3";
    cut.FileSize = 100;
    const auto taken = cache.Take(cut);
    EXPECT_EQ(cache.Take(cut), taken);
    cut.FileName = "b.mp3";
    EXPECT_EQ(cache.Find(cut), nullptr);
    EXPECT_NE(cache.Take(cut), taken);
    EXPECT_EQ(cache.Count(), 1);
    cache.KeepOnly([](const TCutObject*) { return false; });
    EXPECT_EQ(cache.Count(), 0);
}

TEST(WaveformScale, PixelsAndFramesRoundTripAtEveryZoomAndTheEndIsExact) {
    // Breaks when a click lands on another frame than the one drawn under it, when zooming or
    // scrolling drifts past the file's end, or when the deepest zoom is not reached or passed.
    for (const int32_t frames : {1, 7, 697, 137820}) {
        for (const double width : {333.5, 1200.0}) {
            SCOPED_TRACE(testing::Message() << frames << " frames, " << width << " px");
            WaveformScale scale;
            scale.SetWidth(width);
            scale.SetFrames(frames);
            ASSERT_TRUE(scale.ShowsWhole());
            int levels = 0;
            for (;; ++levels) {
                ASSERT_LT(levels, 64);
                for (const double where : {0.0, 0.37, 1.0}) {
                    scale.ScrollTo(where * frames);
                    const int32_t left = scale.FrameAt(0);
                    const int32_t right = scale.FrameAt(width - 1e-6);
                    // Every frame in view comes back from the middle of where it is drawn.
                    for (int32_t f = left; f <= right; f += std::max(1, (right - left) / 500)) {
                        ASSERT_EQ(scale.FrameAt(scale.XOf(f + 0.5)), f);
                    }
                    // Every pixel shows a frame whose drawing covers it.
                    for (double x = 0.5; x < width; x += std::max(1.0, width / 300)) {
                        const int32_t f = scale.FrameAt(x);
                        ASSERT_LE(scale.XOf(f), x + 1e-9);
                        ASSERT_GT(scale.XOf(f + 1), x - 1e-9);
                    }
                    if (where == 1.0) {
                        EXPECT_EQ(right, frames - 1);
                        EXPECT_NEAR(scale.XOf(frames), width, 1e-6);
                        EXPECT_EQ(scale.FrameAt(width + 50), frames - 1);
                    }
                }
                if (scale.AtDeepest()) {
                    break;
                }
                scale.ZoomAround(width / 3, 2.0);
            }
            // The deepest zoom: a frame is 8 pixels wide, or wider when the file is that short.
            EXPECT_GE(scale.XOf(1) - scale.XOf(0), WaveformScale::kDeepestPixelsPerFrame - 1e-9);
            scale.ZoomAround(0, 2.0);
            EXPECT_GE(scale.FramesPerPixel(), std::min(1 / 8.0, frames / width) - 1e-12);
            // Zooming out as far as it goes is the whole file again.
            for (int i = 0; i <= levels + 1; ++i) {
                scale.ZoomAround(width / 2, 0.5);
            }
            EXPECT_TRUE(scale.ShowsWhole());
            EXPECT_NEAR(scale.XOf(frames), width, 1e-6);
        }
    }
    WaveformScale empty;
    empty.SetWidth(100);
    empty.SetFrames(0);
    EXPECT_EQ(empty.FrameAt(50), -1);
}

TEST(WaveformScale, ZoomKeepsThePointedFrameAndShowFramesARange) {
    // Breaks when the wheel's zoom moves the frame under the mouse, or "Zoom to selection" does
    // not put the selection across the width.
    WaveformScale scale;
    scale.SetWidth(1000);
    scale.SetFrames(100000);
    const int32_t pointed = scale.FrameAt(250);
    scale.ZoomAround(250, 4.0);
    EXPECT_EQ(scale.FrameAt(250), pointed);
    scale.Show(5000, 6001);
    EXPECT_EQ(scale.FrameAt(0), 5000);
    EXPECT_EQ(scale.FrameAt(999.9), 6000);
    // A range shorter than the deepest zoom is centred.
    scale.Show(500, 501);
    EXPECT_NEAR(scale.XOf(500.5), 500, 1e-9);
    EXPECT_TRUE(scale.AtDeepest());
    EXPECT_TRUE(scale.Reveal(90000));
    EXPECT_EQ(scale.FrameAt(999.99), 90000);
    EXPECT_FALSE(scale.Reveal(90000));
    // A resize keeps a whole view whole, and a zoomed one where it is.
    const int32_t left = scale.FrameAt(0);
    scale.SetWidth(500);
    EXPECT_EQ(scale.FrameAt(0), left);
    scale.ShowWhole();
    scale.SetWidth(1500);
    EXPECT_TRUE(scale.ShowsWhole());
}

TEST(WaveformGestures, HandlesDragsCuesAndKeySteps) {
    // Breaks when a handle cannot be told from its neighbour, a drag backwards gives reversed
    // marks, a dragged handle pushes the other one along instead of swapping, or cue rows let
    // cues overlap, or reviewing picks an outer cue over the inner one.
    WaveformScale scale;
    scale.SetWidth(1000);
    scale.SetFrames(1000);
    EXPECT_EQ(GripAt(scale, 101, 100, 199, 4), WaveformGrip::MarkIn);
    EXPECT_EQ(GripAt(scale, 198, 100, 199, 4), WaveformGrip::MarkOut);
    EXPECT_EQ(GripAt(scale, 150, 100, 199, 4), WaveformGrip::None);
    // A one-frame selection one pixel wide: the side of the pointer tells the handles apart.
    EXPECT_EQ(GripAt(scale, 99.5, 100, 100, 4), WaveformGrip::MarkIn);
    EXPECT_EQ(GripAt(scale, 101.5, 100, 100, 4), WaveformGrip::MarkOut);
    EXPECT_EQ(MarksBetween(300, 120).markIn, 120);
    EXPECT_EQ(MarksBetween(300, 120).markOut, 300);
    const int32_t anchor = GripAnchor(WaveformGrip::MarkIn, 100, 199);
    EXPECT_EQ(MarksBetween(anchor, 250).markIn, 199);
    EXPECT_EQ(MarksBetween(anchor, 250).markOut, 250);
    EXPECT_EQ(StepFrames(scale), 1);
    scale.SetFrames(137820);
    EXPECT_EQ(StepFrames(scale), 138);

    const std::vector<CueSpan> cues = {{0, 999}, {100, 199}, {150, 160}, {300, 400}, {120, 130}};
    const std::vector<int> rows = CueRows(cues, 3);
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 1, 2}));
    EXPECT_EQ(CueRows(cues, 2)[2], 1);
    EXPECT_EQ(CueAt(cues, rows, 155, -1), 2);
    EXPECT_EQ(CueAt(cues, rows, 155, 1), 1);
    EXPECT_EQ(CueAt(cues, rows, 500, -1), 0);
    EXPECT_EQ(CueAt(cues, rows, 5000, -1), -1);
    EXPECT_EQ(NextCueStart(cues, 100, true), 120);
    EXPECT_EQ(NextCueStart(cues, 100, false), 0);
    EXPECT_EQ(NextCueStart(cues, 300, true), -1);
}

TEST(WaveformRuler, StepsAreRoundInFramesAndInTime) {
    // Breaks when labels crowd closer than asked, or time labels fall between round seconds.
    EXPECT_EQ(RulerStep(0.125, 80, 0), 10);
    EXPECT_EQ(RulerStep(115, 80, 0), 10000);
    EXPECT_EQ(RulerStep(0.125, 80, 38), 10);
    EXPECT_EQ(RulerStep(1, 80, 38), 38 * 5);
    EXPECT_EQ(RulerStep(115, 80, 38), 38 * 300);
    EXPECT_EQ(RulerStep(10000, 80, 38), 38 * 3600 * 10);
    EXPECT_EQ(RulerDivisions(38 * 5, 1, 8), 5);
    EXPECT_EQ(RulerDivisions(38, 1, 8), 2);
    EXPECT_EQ(RulerDivisions(7, 1, 2), 1);
}

}  // namespace
}  // namespace sw
