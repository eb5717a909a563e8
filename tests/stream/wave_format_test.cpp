#include <gtest/gtest.h>

#include <array>
#include <limits>

#include "frame_builder.h"
#include "stream/frame_header.h"

namespace sw {
namespace {

using test::MakeHeaderWord;

TEST(WaveFormat, BytesOfTheCommonFrameMatchTheGoldenStructure) {
    // Breaks playback and every WAV export: these 30 bytes go to the device and into the file.
    const std::array<uint8_t, 30> golden = {
        0x55, 0x00,              // wFormatTag: MPEG Layer-3
        0x02, 0x00,              // nChannels
        0x44, 0xAC, 0x00, 0x00,  // nSamplesPerSec 44100
        0x80, 0x3E, 0x00, 0x00,  // nAvgBytesPerSec 16000
        0x01, 0x00,              // nBlockAlign
        0x00, 0x00,              // wBitsPerSample
        0x0C, 0x00,              // cbSize
        0x01, 0x00,              // wID: MPEG
        0x02, 0x00, 0x00, 0x00,  // fdwFlags: padding off
        0xA1, 0x01,              // nBlockSize 417
        0x01, 0x00,              // nFramesPerBlock
        0x71, 0x05,              // nCodecDelay 1393
    };
    EXPECT_EQ(BuildWaveFormat(DecodeFrameHeader(0x6490FBFFu)).Bytes(), golden);
}

TEST(WaveFormat, OnlyMonoGivesOneChannel) {
    // Breaks decoding of mono and dual-channel files at the device.
    for (int mode = 0; mode < 4; ++mode) {
        const TFrameInfo info = DecodeFrameHeader(MakeHeaderWord({.channelMode = mode}));
        EXPECT_EQ(BuildWaveFormat(info).nChannels, mode == 3 ? 1 : 2) << mode;
    }
}

TEST(WaveFormat, BlockSizeIsThatFramesLengthPaddingIncluded) {
    // Breaks the WAV header of an export whose last frame was padded.
    const TFrameInfo padded = DecodeFrameHeader(MakeHeaderWord({.padding = true}));
    EXPECT_EQ(BuildWaveFormat(padded).nBlockSize, 418);
    const TFrameInfo mpeg25 =
        DecodeFrameHeader(MakeHeaderWord({.versionBits = 0, .bitrateIndex = 1, .rateIndex = 2}));
    const MpegLayer3WaveFormat format = BuildWaveFormat(mpeg25);
    EXPECT_EQ(format.nBlockSize, 72);
    EXPECT_EQ(format.nSamplesPerSec, 8000u);
    EXPECT_EQ(format.nAvgBytesPerSec, 1000u);
}

TEST(WaveFormat, ImpossibleBitratesClampInsteadOfOverflowing) {
    // Breaks with a signed overflow when a damaged record's bitrate is multiplied up.
    TFrameInfo info = DecodeFrameHeader(0x6490FBFFu);
    info.Bitrate = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(BuildWaveFormat(info).nAvgBytesPerSec, 0xFFFFFFFFu);
    info.Bitrate = -128;
    EXPECT_EQ(BuildWaveFormat(info).nAvgBytesPerSec, 0u);
}

}  // namespace
}  // namespace sw
