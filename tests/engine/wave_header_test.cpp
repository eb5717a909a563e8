#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/wave_header.h"
#include "engine_fixture.h"
#include "stream/file_errors.h"
#include "stream/status.h"

namespace sw::test {
namespace {

TFrameInfo Info(const HeaderSpec& spec = {}) {
    return DecodeFrameHeader(MakeHeaderWord(spec));
}

uint32_t U32At(const std::array<uint8_t, kWaveHeaderSize>& bytes, size_t at) {
    return HeaderWordFromBytes(bytes.data() + at);
}

// Every byte of the header other players read, for a 128 kbit/s stereo file of 1,000,070 bytes.
TEST(BuildWaveHeader, GoldenBytesOfTheMillionByteExample) {
    const std::array<uint8_t, kWaveHeaderSize> expected = {
        'R',  'I',  'F',  'F',  0x7E, 0x42, 0x0F, 0x00,  // size - 8 = 1,000,062
        'W',  'A',  'V',  'E',  'f',  'm',  't',  ' ',
        30,   0,    0,    0,                          // format chunk length
        0x55, 0x00,                                   // MPEG Layer-3
        2,    0,                                      // channels
        0x44, 0xAC, 0x00, 0x00,                       // 44100 Hz
        0x80, 0x3E, 0x00, 0x00,                       // 16000 bytes per second
        1,    0,    0,    0,    12,   0,    1,    0,  // align, bits, extra size, MPEG id
        2,    0,    0,    0,                          // padding off
        0xA1, 0x01, 1,    0,    0x71, 0x05,           // block 417, 1 frame, delay 1393
        'f',  'a',  'c',  't',  4,    0,    0,    0,
        0x78, 0xB8, 0x29, 0x00,                          // 62 s x 44100 = 2,734,200
        'd',  'a',  't',  'a',  0x40, 0x42, 0x0F, 0x00,  // 1,000,000
    };
    EXPECT_EQ(BuildWaveHeader(Info(), 1000070), expected);
}

TEST(BuildWaveHeader, OnlyMonoGivesOneChannel) {
    for (int mode = 0; mode < 4; ++mode) {
        HeaderSpec spec;
        spec.channelMode = mode;
        EXPECT_EQ(BuildWaveHeader(Info(spec), 5000)[22], mode == 3 ? 1 : 2) << mode;
    }
}

// (data / bytes per second) x rate overflowed 32 bits for long low-bitrate files (about 50 hours
// of 8 kbit/s MPEG-2 audio, a 200 MB file) and wrapped to a small count.
TEST(BuildWaveHeader, SampleCountSaturatesInsteadOfWrapping) {
    HeaderSpec lowRate;
    lowRate.versionBits = 2;  // MPEG-2, 24000 Hz
    lowRate.rateIndex = 1;
    lowRate.bitrateIndex = 1;  // 8 kbit/s, 1000 bytes per second
    const auto header = BuildWaveHeader(Info(lowRate), 200'000'070);
    EXPECT_EQ(U32At(header, 28), 1000u);
    EXPECT_EQ(U32At(header, 58), 0xFFFFFFFFu);
    EXPECT_EQ(U32At(header, 66), 200'000'000u);

    const auto justBelow = BuildWaveHeader(Info(lowRate), 178'956'070);
    EXPECT_EQ(U32At(justBelow, 58), 178'956u * 24000u);

    const auto huge = BuildWaveHeader(Info(), int64_t(1) << 33);
    EXPECT_EQ(U32At(huge, 4), 0xFFFFFFFFu);
    EXPECT_EQ(U32At(huge, 66), 0xFFFFFFFFu);
}

TEST(BuildWaveHeader, FrameInfoWithoutRateGivesSeventyZeros) {
    EXPECT_EQ(BuildWaveHeader(kNoFrame, 5000), (std::array<uint8_t, kWaveHeaderSize>{}));
    TFrameInfo noRate = Info();
    noRate.SampleRate = 0;
    EXPECT_EQ(BuildWaveHeader(noRate, 5000), (std::array<uint8_t, kWaveHeaderSize>{}));
}

class ShortWriteStream : public MemoryStream {
  public:
    int64_t Write(const void* buffer, int64_t count) override {
        return MemoryStream::Write(buffer, std::min<int64_t>(count, 10));
    }
};

TEST(WriteWaveHeader, OverwritesOffsetZeroFromTheCurrentSize) {
    EXPECT_EQ(WriteWaveHeader(nullptr, Info()), kStatusNotInitialized);

    MemoryStream stream(std::vector<uint8_t>(1000, 0x55));
    stream.Seek(0, SeekOrigin::End);
    EXPECT_EQ(WriteWaveHeader(&stream, Info()), kStatusOk);
    EXPECT_EQ(stream.Size(), 1000);
    EXPECT_EQ(stream.Position(), kWaveHeaderSize);
    const auto header = BuildWaveHeader(Info(), 1000);
    EXPECT_TRUE(std::equal(header.begin(), header.end(), stream.Bytes().begin()));
    EXPECT_EQ(stream.Bytes()[kWaveHeaderSize], 0x55);

    ShortWriteStream full;
    EXPECT_EQ(WriteWaveHeader(&full, Info()), kStatusUnknownError);
}

TEST(IsMpegWaveFile, WantsSeventyBytesWithFormatTag85) {
    TempDir dir;
    EXPECT_FALSE(IsMpegWaveFile(dir.File("missing.wav")));

    const auto header = BuildWaveHeader(Info(), 70 + 417);
    std::vector<uint8_t> wave(header.begin(), header.end());
    Append(wave, MakeFrame());
    WriteFileBytes(dir.File("mpeg.wav"), wave);
    EXPECT_TRUE(IsMpegWaveFile(dir.File("mpeg.wav")));

    WriteFileBytes(dir.File("short.wav"), std::vector<uint8_t>(wave.begin(), wave.begin() + 69));
    EXPECT_FALSE(IsMpegWaveFile(dir.File("short.wav")));

    std::vector<uint8_t> pcm = wave;
    pcm[20] = 1;
    WriteFileBytes(dir.File("pcm.wav"), pcm);
    EXPECT_FALSE(IsMpegWaveFile(dir.File("pcm.wav")));
}

TEST(IsMpegWaveFile, FifoIsRefusedWithoutWaitingAndAFolderIsNoWaveFile) {
    // Breaks by hanging: "scan x.wav" on a FIFO blocked in this test's open, before any check.
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("x.wav").c_str(), 0600), 0);
    try {
        IsMpegWaveFile(dir.File("x.wav"));
        ADD_FAILURE() << "a FIFO was read";
    } catch (const FileRefusedError& error) {
        EXPECT_EQ(error.Reason(), ReadOpenResult::NotRegular);
    }
    std::filesystem::create_directory(dir.File("adir.wav"));
    EXPECT_FALSE(IsMpegWaveFile(dir.File("adir.wav")));
}

}  // namespace
}  // namespace sw::test
