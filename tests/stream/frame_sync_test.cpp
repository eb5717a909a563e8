#include <gtest/gtest.h>

#include <vector>

#include "frame_builder.h"
#include "stream/file_stream.h"
#include "stream/frame_header.h"
#include "stream/memory_stream.h"

namespace sw {
namespace {

using test::Append;
using test::MakeFrame;
using test::MakeFrames;

// The frame builder's default: MPEG-1 Layer III, 128 kbit/s, 44100 Hz, 417 bytes.
const uint32_t kHeader = test::MakeHeaderWord({});

std::vector<uint8_t> HeaderBytes() {
    return {0xFF, 0xFB, 0x90, static_cast<uint8_t>(kHeader >> 24)};
}

// Garbage full of near misses: 0xFF bytes followed by a sync-looking byte whose header is
// invalid (free-format bitrate).
std::vector<uint8_t> NearMisses(int count) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {0xFF, 0xFB, 0x00, 0x64, 0x12});
    }
    return bytes;
}

uint32_t FindFrom(MemoryStream& stream, int64_t start) {
    stream.Seek(start, SeekOrigin::Begin);
    return FindFrameHeader(stream);
}

TEST(FrameSync, StreamsOfSevenBytesOrFewerNeverYieldAHeader) {
    // Breaks when the search reads past the end of a tiny stream.
    for (size_t size = 0; size <= 7; ++size) {
        std::vector<uint8_t> bytes = HeaderBytes();
        bytes.resize(size, 0);
        MemoryStream stream(bytes);
        EXPECT_EQ(FindFrom(stream, 3), 0u) << size;
    }
}

TEST(FrameSync, SearchStartedAtThreeFindsTheHeaderAtZero) {
    // Breaks the scan's first window: it starts at 3 so that offset 0 is examined first.
    MemoryStream stream(MakeFrames(2));
    EXPECT_EQ(FindFrom(stream, 3), kHeader);
    EXPECT_EQ(stream.Position(), 0);

    std::vector<uint8_t> bytes = HeaderBytes();
    bytes.resize(8, 0);
    MemoryStream eight(bytes);
    EXPECT_EQ(FindFrom(eight, 3), kHeader);
    EXPECT_EQ(eight.Position(), 0);
}

TEST(FrameSync, HeaderInTheLastSevenBytesIsNotFound) {
    // Breaks the documented search window: the last window examined starts at size - 8.
    for (int tail = 4; tail <= 7; ++tail) {
        std::vector<uint8_t> bytes(40, 0x00);
        Append(bytes, HeaderBytes());
        bytes.resize(bytes.size() + tail - 4, 0);
        MemoryStream stream(bytes);
        EXPECT_EQ(FindFrom(stream, 3), 0u) << "header starting " << tail << " bytes from the end";
    }
    std::vector<uint8_t> bytes(40, 0x00);
    Append(bytes, HeaderBytes());
    bytes.resize(bytes.size() + 4, 0);
    MemoryStream stream(bytes);
    EXPECT_EQ(FindFrom(stream, 3), kHeader);
    EXPECT_EQ(stream.Position(), 40);
}

TEST(FrameSync, GarbageAndNearMissesAreSkippedByteByByte) {
    // Breaks when the search skips more than one byte per round or stops on an invalid sync.
    for (int lead = 0; lead < 9; ++lead) {
        std::vector<uint8_t> bytes = NearMisses(20);
        bytes.resize(bytes.size() + lead, 0xFF);
        const int64_t at = static_cast<int64_t>(bytes.size());
        Append(bytes, MakeFrames(2));
        MemoryStream stream(bytes);
        EXPECT_EQ(FindFrom(stream, 3), kHeader) << lead;
        EXPECT_EQ(stream.Position(), at) << lead;
    }
}

TEST(FrameSync, FailedSearchReturnsZero) {
    // Breaks when a stream without any header still yields a word.
    MemoryStream stream(NearMisses(100));
    EXPECT_EQ(FindFrom(stream, 3), 0u);
}

TEST(FrameSync, NextFrameStandsOnTheNextHeader) {
    // Breaks the scan's step from one frame to the next.
    MemoryStream stream(MakeFrames(3));
    EXPECT_EQ(NextFrameHeader(stream, 417), kHeader);
    EXPECT_EQ(stream.Position(), 417);
    EXPECT_EQ(NextFrameHeader(stream, 417), kHeader);
    EXPECT_EQ(stream.Position(), 834);
}

TEST(FrameSync, FailedNextFrameLeavesTheStreamFourBytesPastAndSearchResumesOneByteOn) {
    // Breaks resynchronisation: after a failed step the search's first window must be the one
    // byte after the expected header, so a header there is found and nothing is skipped.
    for (int shift = 1; shift <= 3; ++shift) {
        std::vector<uint8_t> bytes = MakeFrame();
        bytes.resize(bytes.size() + shift, 0x00);
        Append(bytes, MakeFrames(2));
        MemoryStream stream(bytes);
        EXPECT_EQ(NextFrameHeader(stream, 417), 0u);
        EXPECT_EQ(stream.Position(), 417 + 4);
        EXPECT_EQ(FindFrameHeader(stream), kHeader) << shift;
        EXPECT_EQ(stream.Position(), 417 + shift) << shift;
    }
}

TEST(FrameSync, ShortReadAtTheEndIsNoHeader) {
    // Breaks when fewer than four bytes at the end are taken for a header word.
    std::vector<uint8_t> bytes = MakeFrame();
    Append(bytes, {0xFF, 0xFB, 0x90});
    MemoryStream stream(bytes);
    EXPECT_EQ(NextFrameHeader(stream, 417), 0u);
    EXPECT_EQ(stream.Position(), 417 + 4);

    MemoryStream exact(MakeFrame());
    EXPECT_EQ(NextFrameHeader(exact, 417), 0u);
    EXPECT_EQ(exact.Position(), 417 + 4);
}

// The scan's loop: search, then step by frame length while the step finds headers, resynchronise
// when it does not. Returns the offsets of the frames found.
std::vector<int64_t> Walk(ByteStream& stream) {
    std::vector<int64_t> offsets;
    stream.Seek(3, SeekOrigin::Begin);
    uint32_t word = FindFrameHeader(stream);
    while (word != 0) {
        offsets.push_back(stream.Position());
        const uint32_t next = NextFrameHeader(stream, DecodeFrameHeader(word).FrameLength);
        word = next != 0 ? next : FindFrameHeader(stream);
    }
    return offsets;
}

TEST(FrameSync, WalkFindsEveryFrameAcrossGarbageInMemoryAndInAFile) {
    // Breaks the index the scan builds, and any disagreement of the buffered file stream with
    // the memory stream under the scan's seek pattern.
    std::vector<uint8_t> bytes = MakeFrames(5);
    Append(bytes, NearMisses(7));
    const int64_t second = static_cast<int64_t>(bytes.size());
    Append(bytes, MakeFrames(4, {.versionBits = 2, .bitrateIndex = 8}));
    Append(bytes, MakeFrames(1));  // stays findable: the last 7 bytes hold no header start
    bytes.resize(bytes.size() + 8, 0);

    std::vector<int64_t> expected;
    for (int i = 0; i < 5; ++i) {
        expected.push_back(417 * i);
    }
    for (int i = 0; i < 4; ++i) {
        expected.push_back(second + 208 * i);
    }
    expected.push_back(second + 208 * 4);

    MemoryStream memory(bytes);
    EXPECT_EQ(Walk(memory), expected);

    test::TempDir dir;
    test::WriteFileBytes(dir.File("walk.mp3"), bytes);
    FileStream file(dir.File("walk.mp3"), FileMode::OpenRead);
    EXPECT_EQ(Walk(file), expected);
}

}  // namespace
}  // namespace sw
