// How the scan finds frames in bytes that are not all frames: the sync search over garbage and
// near misses, the resynchronisation after a failed step, and the edges of the search window.
#include <gtest/gtest.h>

#include <vector>

#include "engine/scan.h"
#include "engine_fixture.h"
#include "stream/file_stream.h"
#include "stream/status.h"

namespace sw::test {
namespace {

constexpr int kFrame = 417;

// Garbage full of near misses: 0xFF bytes followed by a sync-looking byte whose header is
// invalid (free-format bitrate).
std::vector<uint8_t> NearMisses(int count) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < count; ++i) {
        bytes.insert(bytes.end(), {0xFF, 0xFB, 0x00, 0x64, 0x12});
    }
    return bytes;
}

// The index a scan of bytes builds, with its dropped count.
std::vector<int32_t> ScanOffsets(const std::vector<uint8_t>& bytes, int32_t* dropped = nullptr) {
    auto cut = MemoryCut(bytes);
    WorkerControl control;
    EXPECT_EQ(ScanFrames(*cut, control), kStatusOk);
    if (dropped != nullptr) {
        *dropped = cut->DroppedFrames;
    }
    return IndexEntries(*cut);
}

TEST(ScanSync, TinyStreamsNeverYieldAFrame) {
    // Breaks when the search reads past the end of a stream too short to hold a frame.
    const std::vector<uint8_t> frame = MakeFrame();
    for (size_t size = 0; size <= 8; ++size) {
        EXPECT_TRUE(
            ScanOffsets(std::vector<uint8_t>(frame.begin(), frame.begin() + long(size))).empty())
            << size;
    }
}

TEST(ScanSync, GarbageAndNearMissesAreSkippedByteByByte) {
    // Breaks when the search skips more than one byte per window or stops on an invalid sync.
    for (int lead = 0; lead < 9; ++lead) {
        std::vector<uint8_t> bytes = NearMisses(20);
        bytes.resize(bytes.size() + size_t(lead), 0xFF);
        const auto at = static_cast<int32_t>(bytes.size());
        Append(bytes, MakeFrames(2));
        int32_t dropped = -2;
        EXPECT_EQ(ScanOffsets(bytes, &dropped), (std::vector<int32_t>{at, at + kFrame})) << lead;
        EXPECT_EQ(dropped, 0) << "finding the first frame is no resynchronisation";
    }
    EXPECT_TRUE(ScanOffsets(NearMisses(100)).empty());
}

TEST(ScanSync, FailedStepResumesTheSearchOneByteOn) {
    // Breaks resynchronisation: after a failed step the search must start one byte after the
    // expected header, so a frame there is found and nothing is skipped.
    for (int shift = 1; shift <= 3; ++shift) {
        std::vector<uint8_t> bytes = MakeFrame();
        bytes.resize(bytes.size() + size_t(shift), 0x00);
        Append(bytes, MakeFrames(2));
        int32_t dropped = -2;
        EXPECT_EQ(ScanOffsets(bytes, &dropped),
                  (std::vector<int32_t>{0, kFrame + shift, 2 * kFrame + shift}))
            << shift;
        EXPECT_EQ(dropped, 1) << shift;
    }
}

TEST(ScanSync, ShortHeaderAtTheEndIsNoFrame) {
    // Breaks when fewer than four bytes at the end are taken for a header word.
    std::vector<uint8_t> bytes = MakeFrame();
    Append(bytes, {0xFF, 0xFB, 0x90});
    int32_t dropped = -2;
    EXPECT_EQ(ScanOffsets(bytes, &dropped), (std::vector<int32_t>{0}));
    EXPECT_EQ(dropped, 0);
}

TEST(ScanSync, FileAndMemoryStreamsGiveTheSameIndexAcrossGarbage) {
    // Breaks the index the scan builds from a file, and any disagreement of the buffered file
    // stream with the memory stream under the scan's reads.
    std::vector<uint8_t> bytes = MakeFrames(5);
    Append(bytes, NearMisses(7));
    const auto second = static_cast<int32_t>(bytes.size());
    Append(bytes, MakeFrames(4, {.versionBits = 2, .bitrateIndex = 8}));
    Append(bytes, MakeFrames(1));
    bytes.resize(bytes.size() + 8, 0);

    std::vector<int32_t> expected;
    for (int i = 0; i < 5; ++i) {
        expected.push_back(kFrame * i);
    }
    for (int i = 0; i <= 4; ++i) {
        expected.push_back(second + 208 * i);
    }
    EXPECT_EQ(ScanOffsets(bytes), expected);

    TempDir dir;
    WriteFileBytes(dir.File("walk.mp3"), bytes);
    auto cut = MemoryCut({});
    cut->FileStream = std::make_unique<FileStream>(dir.File("walk.mp3"), FileMode::OpenRead);
    WorkerControl control;
    ASSERT_EQ(ScanFrames(*cut, control), kStatusOk);
    EXPECT_EQ(IndexEntries(*cut), expected);
    EXPECT_EQ(cut->DroppedFrames, 1) << "one resynchronisation after the garbage";
}

}  // namespace
}  // namespace sw::test
