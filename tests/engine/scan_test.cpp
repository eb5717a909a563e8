#include <gtest/gtest.h>

#include "engine/scan.h"
#include "engine_fixture.h"
#include "stream/file_errors.h"
#include "stream/status.h"

namespace sw::test {
namespace {

constexpr int kFrame = 417;  // MPEG-1 Layer III, 128 kbit/s, 44100 Hz

int Scan(TCutObject& cut) {
    WorkerControl control;
    return ScanFrames(cut, control);
}

float PlayTimeOf(const std::vector<int>& frameLengths, int bitrate) {
    float sum = 0;
    for (int length : frameLengths) {
        sum = static_cast<float>(static_cast<long double>(sum) +
                                 length / (static_cast<long double>(bitrate * 1000) * 0.125L));
    }
    return sum;
}

// A clean file must come out with every frame, no drop, and marks over the whole index.
TEST(ScanFrames, CleanFileIndexesEveryFrameWithoutDrops) {
    auto cut = MemoryCut(MakeFrames(10));
    cut->MarkIn = 5;
    cut->MarkOut = 6;
    WorkerControl control;
    EXPECT_EQ(ScanFrames(*cut, control), kStatusOk);
    std::vector<int32_t> expected;
    for (int i = 0; i < 10; ++i) {
        expected.push_back(i * kFrame);
    }
    EXPECT_EQ(IndexEntries(*cut), expected);
    EXPECT_EQ(cut->DroppedFrames, 0);
    EXPECT_EQ(cut->MarkIn, 0);
    EXPECT_EQ(cut->MarkOut, 9);
    EXPECT_FALSE(cut->Vbr);
    EXPECT_FALSE(cut->HasTag);
    EXPECT_EQ(cut->FileSize, 10 * kFrame);
    EXPECT_EQ(cut->FrameInfo, DecodeFrameHeader(MakeHeaderWord({})));
    EXPECT_EQ(cut->PlayTime, PlayTimeOf(std::vector<int>(10, kFrame), 128));
    // The last value published is the last frame's offset.
    EXPECT_EQ(control.progress.load(), 9 * kFrame);
}

// Bytes before the first frame are skipped; that first search is no resynchronisation.
TEST(ScanFrames, LeadingGarbageIsSkippedWithoutCountingADrop) {
    std::vector<uint8_t> bytes = Junk(100);
    Append(bytes, MakeFrames(4));
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    EXPECT_EQ(IndexEntries(*cut), (std::vector<int32_t>{100, 517, 934, 1351}));
    EXPECT_EQ(cut->DroppedFrames, 0);
}

// A break in the chain counts once and the frame after it is indexed at its true offset.
TEST(ScanFrames, GarbageInTheMiddleCountsOneResyncAndKeepsTrueOffsets) {
    std::vector<uint8_t> bytes = MakeFrames(3);
    Append(bytes, Junk(333));
    Append(bytes, MakeFrames(3));
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    const std::vector<int32_t> entries = IndexEntries(*cut);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[3], 3 * kFrame + 333);
    EXPECT_EQ(cut->DroppedFrames, 1);
}

// Vbr means some frame's bitrate differs from its predecessor's; the first frame alone does not.
TEST(ScanFrames, BitrateSwitchSetsVbrAndConstantBitrateDoesNot) {
    HeaderSpec faster;
    faster.bitrateIndex = 11;  // 192 kbit/s, 626 bytes
    std::vector<uint8_t> bytes = MakeFrames(3);
    Append(bytes, MakeFrames(2, faster));
    auto switching = MemoryCut(bytes);
    EXPECT_EQ(Scan(*switching), kStatusOk);
    EXPECT_TRUE(switching->Vbr);
    EXPECT_EQ(switching->FrameCount(), 5);
    EXPECT_EQ(switching->FrameInfo.Bitrate, 192);
    auto constant = MemoryCut(MakeFrames(5, faster));
    EXPECT_EQ(Scan(*constant), kStatusOk);
    EXPECT_FALSE(constant->Vbr);
}

// The 128 tag bytes are no frames, even when they contain a header pattern.
TEST(ScanFrames, Id3v1TagIsNeverIndexed) {
    std::vector<uint8_t> bytes = MakeFrames(5);
    std::vector<uint8_t> tag = MakeId3v1("Title");
    const std::vector<uint8_t> frame = MakeFrame();
    std::copy(frame.begin(), frame.begin() + 4, tag.begin() + 40);  // a header inside the comment
    Append(bytes, tag);
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    EXPECT_EQ(cut->FrameCount(), 5);
    EXPECT_TRUE(cut->HasTag);
    EXPECT_EQ(cut->Tag.Title, "Title");
    EXPECT_EQ(cut->DroppedFrames, 0);
}

TEST(ScanFrames, NoHeaderAtAllGivesEmptyIndexAndMinusOne) {
    for (const std::vector<uint8_t>& bytes :
         {Junk(4096), std::vector<uint8_t>{},
          std::vector<uint8_t>{0xFF, 0xFB, 0x90, 0x64, 0, 0, 0}}) {
        auto cut = MemoryCut(bytes);
        EXPECT_EQ(Scan(*cut), kStatusOk);
        EXPECT_EQ(cut->FrameCount(), 0);
        EXPECT_EQ(cut->MarkIn, 0);
        EXPECT_EQ(cut->MarkOut, -1);
        EXPECT_EQ(cut->DroppedFrames, -1);
    }
}

// A frame cut short by the end of the file used to be indexed and then exported half.
TEST(ScanFrames, TruncatedLastFrameIsNotIndexedNorCounted) {
    HeaderSpec faster;
    faster.bitrateIndex = 11;
    std::vector<uint8_t> bytes = MakeFrames(4);
    const std::vector<uint8_t> last = MakeFrame(faster);
    bytes.insert(bytes.end(), last.begin(), last.begin() + 300);
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    EXPECT_EQ(cut->FrameCount(), 4);
    EXPECT_EQ(cut->MarkOut, 3);
    EXPECT_EQ(cut->DroppedFrames, 0);
    // The summary is that of the last frame indexed, not of the cut one.
    EXPECT_FALSE(cut->Vbr);
    EXPECT_EQ(cut->FrameInfo.Bitrate, 128);
    EXPECT_EQ(cut->PlayTime, PlayTimeOf(std::vector<int>(4, kFrame), 128));
}

// The same limit holds before an ID3v1 tag: a frame reaching into the tag is not indexed.
TEST(ScanFrames, FrameReachingIntoTheTagIsNotIndexed) {
    std::vector<uint8_t> bytes = MakeFrames(3);
    const std::vector<uint8_t> last = MakeFrame();
    bytes.insert(bytes.end(), last.begin(), last.begin() + 200);
    Append(bytes, MakeId3v1("T"));
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    EXPECT_EQ(cut->FrameCount(), 3);
    EXPECT_EQ(cut->DroppedFrames, 0);
}

// A header in the last 4 bytes is never indexed, and the chain ending on it is its one failed
// step: the count read -1 ("no frame found") for 697 frames followed by one lone header.
TEST(ScanFrames, LoneHeaderAfterTheLastFrameCountsAsTheChainsEndNotMinusOne) {
    std::vector<uint8_t> bytes = MakeFrames(3);
    const std::vector<uint8_t> frame = MakeFrame();
    bytes.insert(bytes.end(), frame.begin(), frame.begin() + 4);
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    EXPECT_EQ(cut->FrameCount(), 3);
    EXPECT_EQ(cut->DroppedFrames, 0);

    // Five bytes of it are enough to be looked at: it does not fit, so it is one failed step.
    bytes.push_back(frame[4]);
    auto longer = MemoryCut(bytes);
    EXPECT_EQ(Scan(*longer), kStatusOk);
    EXPECT_EQ(longer->FrameCount(), 3);
    EXPECT_EQ(longer->DroppedFrames, 0);

    // The same before an ID3v1 tag: the lone header starts exactly 4 bytes before it.
    std::vector<uint8_t> tagged = MakeFrames(3);
    tagged.insert(tagged.end(), frame.begin(), frame.begin() + 4);
    Append(tagged, MakeId3v1("T"));
    auto beforeTag = MemoryCut(tagged);
    EXPECT_EQ(Scan(*beforeTag), kStatusOk);
    EXPECT_EQ(beforeTag->FrameCount(), 3);
    EXPECT_EQ(beforeTag->DroppedFrames, 0);
}

// Builds an ID3v2 tag whose body holds a chain of valid frames, as a cover picture may.
std::vector<uint8_t> Id3v2WithFakeFrames(uint8_t flags, const uint8_t sizeBytes[4],
                                         size_t bodySize) {
    std::vector<uint8_t> tag = {'I',          'D',          '3',          3,           0, flags,
                                sizeBytes[0], sizeBytes[1], sizeBytes[2], sizeBytes[3]};
    HeaderSpec small;
    small.bitrateIndex = 1;  // 32 kbit/s, 104 bytes
    std::vector<uint8_t> body = Junk(7);
    Append(body, MakeFrames(3, small));
    body.resize(bodySize, 0x33);
    Append(tag, body);
    return tag;
}

TEST(Id3v2TagEnd, MeasuresSyncsafeSizeAndFooter) {
    const uint8_t size[4] = {0, 0, 0x02, 0x01};  // 257
    std::vector<uint8_t> plain = Id3v2WithFakeFrames(0, size, 257);
    Append(plain, MakeFrames(2));
    MemoryStream plainStream(plain);
    EXPECT_EQ(Id3v2TagEnd(plainStream), 267);

    std::vector<uint8_t> footer = Id3v2WithFakeFrames(0x10, size, 257);
    Append(footer, {'3', 'D', 'I', 3, 0, 0x10, 0, 0, 0x02, 0x01});
    MemoryStream footerStream(footer);
    EXPECT_EQ(Id3v2TagEnd(footerStream), 277);

    const uint8_t badSize[4] = {0, 0, 0x82, 0x01};
    MemoryStream bogus(Id3v2WithFakeFrames(0, badSize, 300));
    EXPECT_EQ(Id3v2TagEnd(bogus), 0);

    const uint8_t pastEnd[4] = {0, 0, 0x7F, 0x7F};
    MemoryStream tooLong(Id3v2WithFakeFrames(0, pastEnd, 300));
    EXPECT_EQ(Id3v2TagEnd(tooLong), 0);

    MemoryStream shortStream(std::vector<uint8_t>{'I', 'D', '3', 3, 0});
    EXPECT_EQ(Id3v2TagEnd(shortStream), 0);
}

// Real encoder output with a cover gets bogus frames out of the picture unless the tag is skipped.
TEST(ScanFrames, FramesInsideALeadingId3v2TagAreNotIndexed) {
    const uint8_t size[4] = {0, 0, 0x02, 0x01};
    std::vector<uint8_t> bytes = Id3v2WithFakeFrames(0x10, size, 257);
    Append(bytes, {'3', 'D', 'I', 3, 0, 0x10, 0, 0, 0x02, 0x01});
    Append(bytes, MakeFrames(3));
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    EXPECT_EQ(IndexEntries(*cut), (std::vector<int32_t>{277, 277 + kFrame, 277 + 2 * kFrame}));
    EXPECT_EQ(cut->DroppedFrames, 0);
    EXPECT_FALSE(cut->Vbr);
}

// A tag whose size cannot be right is no tag: the file is searched from its first byte.
TEST(ScanFrames, BogusId3v2SizeMeansTheSearchStartsAtZero) {
    const uint8_t badSize[4] = {0, 0, 0x82, 0x01};
    std::vector<uint8_t> bytes = Id3v2WithFakeFrames(0, badSize, 257);
    Append(bytes, MakeFrames(2));
    auto cut = MemoryCut(bytes);
    EXPECT_EQ(Scan(*cut), kStatusOk);
    EXPECT_EQ(IndexEntries(*cut).front(), 10 + 7);
}

TEST(ScanFrames, TerminateBeforeTheFirstFrameGivesAbortedWithEmptyIndex) {
    auto cut = MemoryCut(MakeFrames(5));
    WorkerControl control;
    control.RequestTerminate();
    EXPECT_EQ(ScanFrames(*cut, control), kStatusAborted);
    EXPECT_EQ(cut->FrameCount(), 0);
    EXPECT_EQ(cut->MarkOut, -1);
}

TEST(ScanFrames, MissingStreamGivesNotInitialized) {
    auto cut = MemoryCut(MakeFrames(2));
    cut->IndexStream.reset();
    EXPECT_EQ(Scan(*cut), kStatusNotInitialized);
    auto noFile = MemoryCut(MakeFrames(2));
    noFile->FileStream.reset();
    EXPECT_EQ(Scan(*noFile), kStatusNotInitialized);
}

// A stream whose bytes around one offset cannot be read, as a bad disk sector.
class FailingReadStream : public MemoryStream {
  public:
    FailingReadStream(std::vector<uint8_t> bytes, int64_t badOffset)
        : MemoryStream(std::move(bytes)), badOffset_(badOffset) {}
    int64_t Read(void* buffer, int64_t count) override {
        const int64_t at = Position();
        if (at <= badOffset_ && at + count > badOffset_) {
            throw StreamReadError();
        }
        return MemoryStream::Read(buffer, count);
    }

  private:
    int64_t badOffset_;
};

// A read error must not escape the worker; what was indexed stays, the marks are not touched.
TEST(ScanFrames, ReadErrorGivesStatus3WithPartialIndexAndOldMarks) {
    const std::vector<uint8_t> bytes = MakeFrames(3000);
    auto cut = MemoryCut({});
    cut->FileStream = std::make_unique<FailingReadStream>(bytes, 700000);
    cut->MarkIn = 7;
    cut->MarkOut = 8;
    EXPECT_EQ(Scan(*cut), kStatusUnknownError);
    EXPECT_GT(cut->FrameCount(), 0);
    EXPECT_LT(cut->FrameCount(), 3000);
    EXPECT_EQ(cut->MarkIn, 7);
    EXPECT_EQ(cut->MarkOut, 8);
}

struct StretchLog : FrameStretchSink {
    struct Entry {
        int64_t begin;
        int64_t end;
        int32_t frames;
    };
    std::vector<Entry> entries;
    void Stretch(int64_t begin, int64_t end, int32_t frames) override {
        entries.push_back({begin, end, frames});
    }
};

// Whatever follows a scan through its stretches must see exactly the indexed frames: each
// stretch is the next frames back to back, a gap always ends one, and none is too long to follow.
void ExpectStretchesCoverTheIndex(TCutObject& cut, const StretchLog& log) {
    const std::vector<int32_t> offsets = IndexEntries(cut);
    size_t frame = 0;
    for (const StretchLog::Entry& stretch : log.entries) {
        ASSERT_GT(stretch.frames, 0);
        ASSERT_LE(stretch.frames, FrameStretchSink::kMaxFrames);
        ASSERT_LE(frame + size_t(stretch.frames), offsets.size());
        int64_t at = stretch.begin;
        for (int32_t i = 0; i < stretch.frames; ++i, ++frame) {
            ASSERT_EQ(offsets[frame], at) << "frame " << frame;
            at += FrameHeader(&cut, int32_t(frame)).FrameLength;
        }
        ASSERT_EQ(stretch.end, at);
    }
    EXPECT_EQ(frame, offsets.size());
}

TEST(ScanFrames, StretchesTellOfExactlyTheIndexedFrames) {
    std::vector<uint8_t> bytes = Junk(10);
    Append(bytes, MakeFrames(FrameStretchSink::kMaxFrames + 5));
    Append(bytes, Junk(3));
    Append(bytes, MakeFrames(2));
    Append(bytes, Junk(1));
    Append(bytes, MakeFrames(1));
    auto cut = MemoryCut(bytes);
    StretchLog log;
    WorkerControl control;
    ASSERT_EQ(ScanFrames(*cut, control, &log), kStatusOk);
    ASSERT_EQ(cut->FrameCount(), FrameStretchSink::kMaxFrames + 8);
    ExpectStretchesCoverTheIndex(*cut, log);
    EXPECT_EQ(log.entries.size(), 4u);

    // A scan that breaks off has told of every frame it indexed, and of no other.
    auto broken = MemoryCut({});
    broken->FileStream = std::make_unique<FailingReadStream>(MakeFrames(3000), 700000);
    StretchLog partial;
    EXPECT_EQ(ScanFrames(*broken, control, &partial), kStatusUnknownError);
    ExpectStretchesCoverTheIndex(*broken, partial);
}

// The index is written from its start and matches one entry per frame for long files too.
TEST(ScanFrames, LongFileIndexMatchesEveryOffset) {
    const int count = 5000;  // several read blocks and index batches
    auto cut = MemoryCut(MakeFrames(count));
    EXPECT_EQ(Scan(*cut), kStatusOk);
    const std::vector<int32_t> entries = IndexEntries(*cut);
    ASSERT_EQ(entries.size(), size_t(count));
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(entries[i], i * kFrame) << i;
    }
    EXPECT_EQ(cut->DroppedFrames, 0);
}

}  // namespace
}  // namespace sw::test
