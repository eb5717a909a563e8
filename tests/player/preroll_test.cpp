// Pre-roll: how many frames before a jump the decoder must see, and that feeding them makes the
// audio from the target frame on exactly what a continuous decode gives.
#include <gtest/gtest.h>

#include "player/mpeg_frame_decoder.h"
#include "player/preroll.h"
#include "player_fixture.h"

namespace sw::test {
namespace {

CutObjectPtr Frames(TempDir& dir, int count, const HeaderSpec& spec) {
    WriteNumberedFrames(dir.File("f.mp3"), count, spec);
    return IndexedCutObject(dir.File("f.mp3"));
}

TEST(Preroll, MainDataExcludesHeaderCrcAndSideInformation) {
    HeaderSpec stereo;  // MPEG-1 128 kbit/s 44.1 kHz: 417 bytes
    EXPECT_EQ(MainDataBytes(DecodeFrameHeader(MakeHeaderWord(stereo))), 417 - 4 - 32);
    HeaderSpec mono = stereo;
    mono.channelMode = 3;
    mono.protection = false;
    EXPECT_EQ(MainDataBytes(DecodeFrameHeader(MakeHeaderWord(mono))), 417 - 4 - 2 - 17);
    HeaderSpec layer2 = stereo;
    layer2.layerBits = 2;
    EXPECT_EQ(MainDataBytes(DecodeFrameHeader(MakeHeaderWord(layer2))), 0);
}

TEST(Preroll, MpegOneReachesBack511BytesPlusTheOverlapFrame) {
    TempDir dir;
    CutObjectPtr cut = Frames(dir, 40, {});
    // 381 main-data bytes a frame: two frames cover 511, one more for the overlap.
    EXPECT_EQ(PrerollStart(*cut, 20), 17);
    EXPECT_EQ(PrerollStart(*cut, 2), 0);
    EXPECT_EQ(PrerollStart(*cut, 1), 0);
    EXPECT_EQ(PrerollStart(*cut, 0), 0);
}

TEST(Preroll, LowBitrateNeedsMoreFramesToCoverTheReservoir) {
    TempDir dir;
    HeaderSpec spec;
    spec.bitrateIndex = 1;  // 32 kbit/s: 104 bytes, 68 of main data
    CutObjectPtr cut = Frames(dir, 40, spec);
    EXPECT_EQ(PrerollStart(*cut, 30), 30 - 1 - 8);
}

TEST(Preroll, MpegTwoReachesBackOnly255Bytes) {
    TempDir dir;
    HeaderSpec spec;
    spec.versionBits = 2;   // MPEG-2, 22.05 kHz
    spec.bitrateIndex = 8;  // 64 kbit/s: 208 bytes, 187 of main data
    CutObjectPtr cut = Frames(dir, 40, spec);
    EXPECT_EQ(PrerollStart(*cut, 30), 30 - 1 - 2);
}

TEST(Preroll, LayerTwoNeedsOnlyThePreviousFrame) {
    TempDir dir;
    HeaderSpec spec;
    spec.layerBits = 2;
    CutObjectPtr cut = Frames(dir, 40, spec);
    EXPECT_EQ(PrerollStart(*cut, 30), 29);
}

TEST(Preroll, UnreadableHeadersStopAtTheFrameLimit) {
    TempDir dir;
    CutObjectPtr cut = Frames(dir, 60, {});
    // Point every earlier entry at a spot without a header: no main data is ever found.
    cut->IndexStream->Seek(0, SeekOrigin::Begin);
    for (int i = 0; i < 55; ++i) {
        cut->IndexStream->WriteInt32(1);
    }
    EXPECT_EQ(PrerollStart(*cut, 55), 55 - kMaxPrerollFrames);
}

class RealFile : public testing::Test {
  protected:
    void SetUp() override {
        if (!MakeMp3(dir_.File("real.mp3"), 4, 44100, 2, "-b 128")) {
            GTEST_SKIP() << "sox or lame is not available to make the test file";
        }
        cut_ = IndexedCutObject(dir_.File("real.mp3"));
    }
    TempDir dir_;
    CutObjectPtr cut_;
};

TEST_F(RealFile, EveryFrameYieldsItsSamplesAtOnce) {
    MpegFrameDecoder decoder(44100, 2);
    ASSERT_TRUE(decoder.Ok()) << decoder.Error();
    std::vector<int16_t> samples;
    for (int32_t frame = 0; frame < cut_->FrameCount(); ++frame) {
        const std::vector<uint8_t> bytes = ReadFrame(*cut_, frame);
        EXPECT_EQ(decoder.Decode(bytes.data(), bytes.size(), samples), 1152) << frame;
    }
}

TEST_F(RealFile, DecodingFromAJumpWithPrerollEqualsTheContinuousDecode) {
    const int32_t target = 60;
    const std::vector<int16_t> reference = ReferenceDecode(*cut_, target, target + 9);
    MpegFrameDecoder decoder(44100, 2);
    std::vector<int16_t> discarded;
    for (int32_t f = PrerollStart(*cut_, target); f < target; ++f) {
        const std::vector<uint8_t> bytes = ReadFrame(*cut_, f);
        decoder.Decode(bytes.data(), bytes.size(), discarded);
    }
    std::vector<int16_t> samples;
    for (int32_t f = target; f <= target + 9; ++f) {
        const std::vector<uint8_t> bytes = ReadFrame(*cut_, f);
        decoder.Decode(bytes.data(), bytes.size(), samples);
    }
    EXPECT_EQ(samples, reference);
}

TEST_F(RealFile, WithoutPrerollTheFirstFramesAfterAJumpDiffer) {
    // Guards the test above: if a cold start were already exact it would prove nothing.
    const int32_t target = 60;
    const std::vector<int16_t> reference = ReferenceDecode(*cut_, target, target + 1);
    MpegFrameDecoder decoder(44100, 2);
    std::vector<int16_t> samples;
    for (int32_t f = target; f <= target + 1; ++f) {
        const std::vector<uint8_t> bytes = ReadFrame(*cut_, f);
        decoder.Decode(bytes.data(), bytes.size(), samples);
    }
    EXPECT_NE(samples, reference);
}

TEST_F(RealFile, BrokenFrameYieldsNothingAndDecodingRecovers) {
    MpegFrameDecoder decoder(44100, 2);
    std::vector<int16_t> samples;
    const std::vector<uint8_t> garbage(417, 0x00);
    EXPECT_EQ(decoder.Decode(garbage.data(), garbage.size(), samples), 0);
    EXPECT_TRUE(samples.empty());
    int decoded = 0;
    for (int32_t f = 10; f < 15; ++f) {
        const std::vector<uint8_t> bytes = ReadFrame(*cut_, f);
        decoded += decoder.Decode(bytes.data(), bytes.size(), samples);
    }
    EXPECT_EQ(decoded, 5 * 1152);
}

TEST(MpegFrameDecoder, MonoMpegTwoFramesYield576Samples) {
    TempDir dir;
    if (!MakeMp3(dir.File("mono.mp3"), 2, 22050, 1, "-b 32")) {
        GTEST_SKIP() << "sox or lame is not available to make the test file";
    }
    CutObjectPtr cut = IndexedCutObject(dir.File("mono.mp3"));
    ASSERT_EQ(cut->FrameInfo.Version, 2);
    MpegFrameDecoder decoder(22050, 1);
    std::vector<int16_t> samples;
    const std::vector<uint8_t> bytes = ReadFrame(*cut, 5);
    EXPECT_EQ(decoder.Decode(bytes.data(), bytes.size(), samples), 576);
    EXPECT_EQ(samples.size(), 576u);
}

}  // namespace
}  // namespace sw::test
