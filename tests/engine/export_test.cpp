#include <gtest/gtest.h>

#include <filesystem>

#include "engine/export.h"
#include "engine/export_target_file.h"
#include "engine/scan.h"
#include "engine/wave_header.h"
#include "engine_fixture.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::test {
namespace {

// A scanned in-memory source and the frames it holds, for comparing exports against.
struct Source {
    std::unique_ptr<TCutObject> cut;
    std::vector<std::vector<uint8_t>> frames;
};

Source ScannedSource(std::vector<std::vector<uint8_t>> frames,
                     const std::vector<uint8_t>& before = {},
                     const std::vector<uint8_t>& after = {}) {
    std::vector<uint8_t> bytes = before;
    Append(bytes, Join(frames));
    Append(bytes, after);
    Source source{MemoryCut(bytes), std::move(frames)};
    WorkerControl control;
    EXPECT_EQ(ScanFrames(*source.cut, control), kStatusOk);
    EXPECT_EQ(source.cut->FrameCount(), int32_t(source.frames.size()));
    return source;
}

std::vector<uint8_t> FramesOf(const Source& source, int first, int last) {
    std::vector<uint8_t> out;
    for (int i = first; i <= last; ++i) {
        Append(out, source.frames[i]);
    }
    return out;
}

std::vector<uint8_t> ExportRange(TCutObject& cut, int32_t first, int32_t last,
                                 ExportOutcome* outcome = nullptr) {
    MemoryStream target;
    WorkerControl control;
    const ExportOutcome result =
        ExportCutObjectFrames(target, false, cut, {first, last}, ExportStyle::Raw, control);
    if (outcome != nullptr) {
        *outcome = result;
    }
    return target.Bytes();
}

uint32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
    return HeaderWordFromBytes(bytes.data() + offset);
}

// Junk before, between (resynchronised) and after the frames, and the tag, must never be copied.
TEST(ExportCutObjectFrames, WholeExportIsExactlyTheIndexedFrames) {
    std::vector<std::vector<uint8_t>> frames = NumberedFrames(8);
    std::vector<uint8_t> bytes = Junk(50);
    for (int i = 0; i < 8; ++i) {
        Append(bytes, frames[i]);
        if (i == 3) {
            Append(bytes, Junk(211));
        }
    }
    Append(bytes, MakeId3v1("Not copied"));
    Source source{MemoryCut(bytes), frames};
    WorkerControl scan;
    ASSERT_EQ(ScanFrames(*source.cut, scan), kStatusOk);
    ASSERT_EQ(source.cut->DroppedFrames, 1);

    ExportOutcome outcome;
    EXPECT_EQ(ExportRange(*source.cut, 0, 7, &outcome), Join(frames));
    EXPECT_EQ(outcome.status, kStatusOk);
    EXPECT_EQ(outcome.framesCopied, 8);
}

// Cutting a file in two and joining the parts must give back the same bytes.
TEST(ExportCutObjectFrames, AdjacentRangesConcatenateToTheirUnion) {
    Source source = ScannedSource(NumberedFrames(12));
    std::vector<uint8_t> joined = ExportRange(*source.cut, 2, 6);
    Append(joined, ExportRange(*source.cut, 7, 10));
    EXPECT_EQ(joined, ExportRange(*source.cut, 2, 10));
    EXPECT_EQ(joined, FramesOf(source, 2, 10));
}

TEST(ExportCutObjectFrames, MarkInEqualToMarkOutGivesExactlyOneFrame) {
    Source source = ScannedSource(NumberedFrames(5));
    EXPECT_EQ(ExportRange(*source.cut, 3, 3), source.frames[3]);
}

// Marks outside the file used to read index bytes that are not there.
TEST(ExportCutObjectFrames, RangeIsClampedToTheFileAndAnEmptyRangeIsNoError) {
    Source source = ScannedSource(NumberedFrames(5));
    ExportOutcome outcome;
    EXPECT_EQ(ExportRange(*source.cut, -3, 99, &outcome), Join(source.frames));
    EXPECT_EQ(outcome.status, kStatusOk);
    EXPECT_TRUE(ExportRange(*source.cut, 7, 9, &outcome).empty());
    EXPECT_EQ(outcome.status, kStatusOk);
    EXPECT_TRUE(ExportRange(*source.cut, 3, 2, &outcome).empty());
    EXPECT_EQ(outcome.status, kStatusOk);
}

// A frame the source no longer holds whole used to be written in part, and the export reported
// success.
TEST(ExportCutObjectFrames, FrameThatCannotBeReadWholeIsNotWrittenAndGivesStatus3) {
    HeaderSpec faster;
    faster.bitrateIndex = 11;
    std::vector<std::vector<uint8_t>> frames = NumberedFrames(4);
    frames.push_back(MakeFrame(faster, 0x60));
    frames.push_back(MakeFrame({}, 0x61));
    Source source = ScannedSource(frames);
    std::vector<uint8_t> cutShort = Join(frames);
    cutShort.resize(cutShort.size() - frames.back().size() - 100);  // frame 4 loses its end
    source.cut->FileStream = std::make_unique<MemoryStream>(cutShort);

    MemoryStream target;
    WorkerControl control;
    const ExportOutcome outcome =
        ExportCutObjectFrames(target, true, *source.cut, {0, 5}, ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, kStatusUnknownError);
    EXPECT_EQ(outcome.failure,
              "memory.mp3, frame 4: the file ends before the frame: it changed after it was "
              "scanned");
    EXPECT_EQ(outcome.framesCopied, 4);
    const auto header =
        BuildWaveHeader(DecodeFrameHeader(WordAt(frames[3], 0)), kWaveHeaderSize + 4 * 417);
    std::vector<uint8_t> expected(header.begin(), header.end());
    Append(expected, FramesOf(source, 0, 3));
    // The header describes frame 3, the last copied whole, not the 192 kbit/s frame that failed.
    EXPECT_EQ(target.Bytes(), expected);
}

// A stream that takes only so many bytes, as a full disk does.
class FullStream : public MemoryStream {
  public:
    explicit FullStream(int64_t capacity) : capacity_(capacity) {}
    int64_t Write(const void* buffer, int64_t count) override {
        const int64_t room = std::max<int64_t>(0, capacity_ - Position());
        return MemoryStream::Write(buffer, std::min(count, room));
    }

  private:
    int64_t capacity_;
};

// A full disk must be reported, and the file must not end inside a frame.
TEST(ExportCutObjectFrames, WriteFailureEndsOnAWholeFrameWithStatus3) {
    Source source = ScannedSource(NumberedFrames(6));
    FullStream target(3 * 417 + 100);
    WorkerControl control;
    const ExportOutcome outcome =
        ExportCutObjectFrames(target, false, *source.cut, {0, 5}, ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, kStatusUnknownError);
    EXPECT_EQ(outcome.framesCopied, 3);
    EXPECT_EQ(target.Bytes(), FramesOf(source, 0, 2));
}

// Frames that lie back to back go out straight from the source's read blocks: a run that ends at
// a block's edge or at a gap must neither lose, repeat nor reorder a frame.
TEST(ExportCutObjectFrames, RunsAcrossManyReadBlocksAndAGapCopyExactly) {
    std::vector<std::vector<uint8_t>> frames = NumberedFrames(3000);
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 3000; ++i) {
        Append(bytes, frames[i]);
        if (i == 1499) {
            Append(bytes, Junk(333));
        }
    }
    Source source{MemoryCut(bytes), frames};
    WorkerControl scan;
    ASSERT_EQ(ScanFrames(*source.cut, scan), kStatusOk);
    ASSERT_EQ(source.cut->FrameCount(), 3000);

    ExportOutcome outcome;
    EXPECT_EQ(ExportRange(*source.cut, 0, 2999, &outcome), Join(frames));
    EXPECT_EQ(outcome.status, kStatusOk);
    EXPECT_EQ(outcome.framesCopied, 3000);
    EXPECT_EQ(ExportRange(*source.cut, 701, 2801), FramesOf(source, 701, 2801));
    std::vector<uint8_t> joined = ExportRange(*source.cut, 0, 1257);
    Append(joined, ExportRange(*source.cut, 1258, 2999));
    EXPECT_EQ(joined, Join(frames));
}

// A source that lost its end after the scan: the frames before the cut still arrive whole, the
// frame the cut runs through does not arrive at all, even in the middle of a long run.
TEST(ExportCutObjectFrames, SourceCutInsideALongRunKeepsOnlyTheWholeFramesBeforeIt) {
    Source source = ScannedSource(NumberedFrames(2000));
    std::vector<uint8_t> cutShort = Join(source.frames);
    cutShort.resize(1500 * 417 + 200);
    source.cut->FileStream = std::make_unique<MemoryStream>(cutShort);

    ExportOutcome outcome;
    EXPECT_EQ(ExportRange(*source.cut, 0, 1999, &outcome), FramesOf(source, 0, 1499));
    EXPECT_EQ(outcome.status, kStatusUnknownError);
    EXPECT_EQ(outcome.framesCopied, 1500);
}

// A full disk in the middle of a run written straight from the source's block still leaves the
// target on the last frame that reached it whole.
TEST(ExportCutObjectFrames, WriteFailureInsideALongRunEndsOnAWholeFrame) {
    Source source = ScannedSource(NumberedFrames(2000));
    FullStream target(700 * 417 + 100);
    WorkerControl control;
    const ExportOutcome outcome =
        ExportCutObjectFrames(target, false, *source.cut, {0, 1999}, ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, kStatusUnknownError);
    EXPECT_EQ(outcome.framesCopied, 700);
    EXPECT_EQ(target.Bytes(), FramesOf(source, 0, 699));
}

TEST(ExportCutObjectFrames, AbortKeepsAWellFormedEmptyWaveFile) {
    Source source = ScannedSource(NumberedFrames(6));
    MemoryStream target;
    WorkerControl control;
    control.RequestTerminate();
    const ExportOutcome outcome =
        ExportCutObjectFrames(target, true, *source.cut, {0, 5}, ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, kStatusAborted);
    EXPECT_EQ(target.Bytes(), std::vector<uint8_t>(kWaveHeaderSize, 0));
}

TEST(ExportCutObjectFrames, CutObjectWithoutStreamsGivesStatus5) {
    Source source = ScannedSource(NumberedFrames(2));
    source.cut->FileStream.reset();
    MemoryStream target;
    WorkerControl control;
    EXPECT_EQ(
        ExportCutObjectFrames(target, false, *source.cut, {0, 1}, ExportStyle::Raw, control).status,
        kStatusNotInitialized);
    EXPECT_EQ(target.Size(), 0);
}

// The WAV header follows the frames it describes, mono included.
TEST(ExportCutObjectFrames, WaveExportHeaderDescribesTheLastFrameOverTheFinalSize) {
    HeaderSpec mono;
    mono.channelMode = 3;
    Source source = ScannedSource(NumberedFrames(3, mono));
    MemoryStream target;
    WorkerControl control;
    ASSERT_EQ(
        ExportCutObjectFrames(target, true, *source.cut, {0, 2}, ExportStyle::Raw, control).status,
        kStatusOk);
    const std::vector<uint8_t>& bytes = target.Bytes();
    const auto header =
        BuildWaveHeader(DecodeFrameHeader(WordAt(source.frames[2], 0)), int64_t(bytes.size()));
    ASSERT_EQ(bytes.size(), size_t(kWaveHeaderSize + 3 * 417));
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
    EXPECT_EQ(bytes[22], 1);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + kWaveHeaderSize, bytes.end()),
              Join(source.frames));
}

TEST(ExportProjectFrames, TwoCuesFromTwoFilesFollowEachOtherAndTheCounterRunsOn) {
    Source a = ScannedSource(NumberedFrames(5, {}, 0x10));
    Source b = ScannedSource(NumberedFrames(5, {}, 0x40));
    TCueObject first{a.cut.get(), "a", 1, 3};
    TCueObject second{b.cut.get(), "b", 0, 1};
    TProjectProperties project;
    project.ExportFlags = 0;
    MemoryStream target;
    WorkerControl control;
    const ExportOutcome outcome =
        ExportProjectFrames(target, false, project, {&first, &second}, ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, kStatusOk);
    EXPECT_EQ(outcome.framesCopied, 5);
    EXPECT_EQ(control.progress.load(), 5);
    std::vector<uint8_t> expected = FramesOf(a, 1, 3);
    Append(expected, FramesOf(b, 0, 1));
    EXPECT_EQ(target.Bytes(), expected);
}

// The flags option may touch private, copyright and original and nothing else: not the CRC, not
// the padding bit, not the body.
TEST(ExportProjectFrames, FlagsRewriteChangesOnlyTheThreeBits) {
    HeaderSpec protectedPadded;
    protectedPadded.protection = false;
    protectedPadded.padding = true;
    protectedPadded.original = true;
    protectedPadded.privateBit = false;
    Source source = ScannedSource(NumberedFrames(3, protectedPadded));
    TCueObject cue{source.cut.get(), "c", 0, 2};
    TProjectProperties project;
    project.ExportFlags = kExportFlags;
    project.Private = 1;
    project.Copyright = 1;
    project.Original = 0;
    MemoryStream target;
    WorkerControl control;
    ASSERT_EQ(ExportProjectFrames(target, false, project, {&cue}, ExportStyle::Raw, control).status,
              kStatusOk);
    const std::vector<uint8_t>& out = target.Bytes();
    ASSERT_EQ(out.size(), Join(source.frames).size());
    size_t at = 0;
    for (const std::vector<uint8_t>& frame : source.frames) {
        const uint32_t before = WordAt(frame, 0);
        const uint32_t after = WordAt(out, at);
        EXPECT_EQ(after ^ before, (1u << 16) | (1u << 27) | (1u << 26));
        EXPECT_TRUE(std::equal(frame.begin() + 4, frame.end(), out.begin() + at + 4));
        at += frame.size();
    }
}

TEST(ExportProjectFrames, ExportFlagsZeroWritesNeitherTagNorFlags) {
    HeaderSpec marked;
    marked.privateBit = true;
    marked.copyright = true;
    Source source = ScannedSource(NumberedFrames(3, marked));
    TCueObject cue{source.cut.get(), "c", 0, 2};
    TProjectProperties project;
    project.ExportFlags = 0;
    project.Tag.Title = "Ignored";
    MemoryStream target;
    WorkerControl control;
    ASSERT_EQ(ExportProjectFrames(target, false, project, {&cue}, ExportStyle::Raw, control).status,
              kStatusOk);
    EXPECT_EQ(target.Bytes(), Join(source.frames));
}

// Audio bytes that happen to read "TAG" 128 bytes before the end must not be taken for a tag
// and overwritten.
TEST(ExportProjectFrames, TagIsAppendedEvenWhenTheLastFrameLooksTagged) {
    std::vector<std::vector<uint8_t>> frames = NumberedFrames(2);
    std::vector<uint8_t>& looksTagged = frames.front();
    looksTagged[looksTagged.size() - 128] = 'T';
    looksTagged[looksTagged.size() - 127] = 'A';
    looksTagged[looksTagged.size() - 126] = 'G';
    Source source = ScannedSource(frames);
    TCueObject cue{source.cut.get(), "c", 0, 0};
    TProjectProperties project;
    project.ExportFlags = kExportTag;
    project.Tag.Title = "Exported";
    MemoryStream target;
    WorkerControl control;
    ASSERT_EQ(ExportProjectFrames(target, false, project, {&cue}, ExportStyle::Raw, control).status,
              kStatusOk);
    const std::vector<uint8_t>& out = target.Bytes();
    ASSERT_EQ(out.size(), looksTagged.size() + 128);
    EXPECT_TRUE(std::equal(looksTagged.begin(), looksTagged.end(), out.begin()));
    MemoryStream readBack(out);
    TID3Tag tag;
    ASSERT_TRUE(ReadId3Tag(readBack, tag));
    EXPECT_EQ(tag.Title, "Exported");
}

// In a WAV project export the data chunk covers the tag, and a failed cue costs only its own
// frames.
TEST(ExportProjectFrames, MissingSourceIsSkippedAndWaveSizesIncludeTheTag) {
    Source a = ScannedSource(NumberedFrames(3));
    TCutObject missing;
    TCueObject gone{&missing, "gone", 0, 5};
    TCueObject noObject{nullptr, "none", 0, 5};
    TCueObject cue{a.cut.get(), "a", 0, 2};
    TProjectProperties project;
    project.ExportFlags = kExportTag;
    MemoryStream target;
    WorkerControl control;
    const ExportOutcome outcome = ExportProjectFrames(
        target, true, project, {&gone, &cue, &noObject}, ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, kStatusOk);
    const std::vector<uint8_t>& out = target.Bytes();
    ASSERT_EQ(out.size(), size_t(kWaveHeaderSize + 3 * 417 + 128));
    EXPECT_EQ(WordAt(out, 66), 3u * 417 + 128);
}

TEST(ExportProjectFrames, RangeThatEndsEarlyGivesStatus3AndTheNextCueStillCopies) {
    Source a = ScannedSource(NumberedFrames(3, {}, 0x10));
    Source b = ScannedSource(NumberedFrames(2, {}, 0x40));
    std::vector<uint8_t> cutShort = Join(a.frames);
    cutShort.resize(cutShort.size() - 10);
    a.cut->FileStream = std::make_unique<MemoryStream>(cutShort);
    TCueObject first{a.cut.get(), "a", 0, 2};
    TCueObject second{b.cut.get(), "b", 0, 1};
    TProjectProperties project;
    project.ExportFlags = 0;
    MemoryStream target;
    WorkerControl control;
    const ExportOutcome outcome =
        ExportProjectFrames(target, false, project, {&first, &second}, ExportStyle::Raw, control);
    EXPECT_EQ(outcome.status, kStatusUnknownError);
    std::vector<uint8_t> expected = FramesOf(a, 0, 1);
    Append(expected, FramesOf(b, 0, 1));
    EXPECT_EQ(target.Bytes(), expected);
}

// A source rewritten since it was indexed: the index's offsets no longer start frames. Copying
// from them would put bytes of the middle of frames into the target.
TEST(ExportCutObjectFrames, StaleOffsetEndsTheRangeBeforeAnyByteFromIt) {
    Source source = ScannedSource(NumberedFrames(6));
    auto& file = static_cast<MemoryStream&>(*source.cut->FileStream);
    std::vector<uint8_t> moved = FramesOf(source, 0, 1);
    moved.push_back(0x00);  // frames 2.. now lie one byte later than the index says
    Append(moved, FramesOf(source, 2, 5));
    moved.pop_back();
    file.SetSize(0);
    file.Write(moved.data(), int64_t(moved.size()));

    ExportOutcome outcome;
    EXPECT_EQ(ExportRange(*source.cut, 0, 5, &outcome), FramesOf(source, 0, 1));
    EXPECT_EQ(outcome.status, kStatusUnknownError);
    EXPECT_EQ(outcome.framesCopied, 2);
}

// A stale offset can land on bytes that pass for a header inside the frame before it; both
// cannot be frames, and the later one is not copied.
TEST(ExportCutObjectFrames, OffsetInsideThePreviousFrameEndsTheRange) {
    HeaderSpec wide;
    wide.bitrateIndex = 13;  // 256 kbit/s: one frame as long as two of 128 kbit/s
    const std::vector<uint8_t> narrow = MakeFrame({}, 0x21);
    std::vector<uint8_t> big = MakeFrame(wide, 0x22);
    ASSERT_GE(big.size(), 2 * narrow.size());
    std::copy(narrow.begin(), narrow.end(), big.begin() + int64_t(narrow.size()));

    Source source = ScannedSource(NumberedFrames(3));  // offsets 0, 417, 834
    auto& file = static_cast<MemoryStream&>(*source.cut->FileStream);
    std::vector<uint8_t> now = big;
    now.resize(3 * narrow.size(), 0x00);
    file.SetSize(0);
    file.Write(now.data(), int64_t(now.size()));

    ExportOutcome outcome;
    EXPECT_EQ(ExportRange(*source.cut, 0, 2, &outcome), big);
    EXPECT_EQ(outcome.status, kStatusUnknownError);
}

TEST(IsWaveTarget, LooksAtTheFirstThreeCharactersOfTheExtensionInAnyCase) {
    EXPECT_TRUE(IsWaveTarget("/tmp/a.wav"));
    EXPECT_TRUE(IsWaveTarget("/tmp/a.WAV"));
    EXPECT_TRUE(IsWaveTarget("/tmp/a.wave"));
    EXPECT_TRUE(IsWaveTarget("/tmp/a.mp3.Wav"));
    EXPECT_FALSE(IsWaveTarget("/tmp/a.mp3"));
    EXPECT_FALSE(IsWaveTarget("/tmp/wav"));
    EXPECT_FALSE(IsWaveTarget("/tmp/a.wa"));
}

// The index of the old target points into contents that are gone once the export replaced them,
// and not before; any other file beside it is not the export's to delete.
TEST(ExportTargetFile, KeptExportRemovesOnlyAnIndexOfTheTargetItself) {
    TempDir dir;
    const std::string target = dir.File("out.wav");
    WriteFileBytes(dir.File("out.m3i"), IndexFileNaming(AbsolutePath(target)));
    WriteFileBytes(target, Junk(500));
    {
        ExportTargetFile file(target);
        file.Stream().WriteBuffer("new", 3);
        EXPECT_EQ(ReadFileBytes(target), Junk(500)) << "written in place";
        EXPECT_TRUE(FileExists(dir.File("out.m3i")));
        ExportOutcome outcome;
        EXPECT_TRUE(file.Finish(outcome));
    }
    EXPECT_FALSE(FileExists(dir.File("out.m3i")));
    EXPECT_EQ(ReadFileBytes(target), (std::vector<uint8_t>{'n', 'e', 'w'}));

    WriteFileBytes(dir.File("out.m3i"), {1, 2, 3});
    ExportTargetFile file(target);
    ExportOutcome outcome;
    file.Finish(outcome);
    EXPECT_EQ(ReadFileBytes(dir.File("out.m3i")), (std::vector<uint8_t>{1, 2, 3}));
}

// Exporting onto a file that a cut object reads would destroy the frames being copied.
TEST(ExportTargetFile, HeldSourceIsRefusedBeforeAnythingIsTouched) {
    TempDir dir;
    const std::vector<uint8_t> bytes = MakeFrames(3);
    WriteFileBytes(dir.File("song.mp3"), bytes);
    WriteFileBytes(dir.File("song.m3i"), {1, 2, 3});
    CutObjectPtr cut(CreateCutObject(dir.File("song.mp3"), {}));
    ASSERT_TRUE(cut);
    std::filesystem::create_symlink(dir.File("song.mp3"), dir.File("alias.mp3"));
    std::filesystem::create_hard_link(dir.File("song.mp3"), dir.File("hard.mp3"));
    for (const std::string& name : {dir.File("song.mp3"), dir.File("alias.mp3"),
                                    dir.File("hard.mp3"), dir.File("missing/out.mp3")}) {
        try {
            ExportTargetFile file(name);
            ADD_FAILURE() << "created " << name;
        } catch (const FileCreateError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file " + name);
        }
    }
    EXPECT_EQ(ReadFileBytes(dir.File("song.mp3")), bytes);
    EXPECT_TRUE(FileExists(dir.File("song.m3i")));
}

}  // namespace
}  // namespace sw::test
