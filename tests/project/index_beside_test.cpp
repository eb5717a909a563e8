#include "project/index_beside.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "engine/scan.h"
#include "frame_builder.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

struct IndexBeside : ::testing::Test {
    TempDir dir;
    std::string source = dir.File("song.mp3");
    std::string index = dir.File("song.m3i");

    // Scans the source as it is now and saves its index under indexName.
    void SaveIndex(const std::string& indexName, bool complete = true) {
        CutObjectPtr cut(CreateCutObject(source, {}));
        ASSERT_TRUE(cut);
        WorkerControl control;
        ASSERT_EQ(ScanFrames(*cut, control), 0);
        cut->CompletelyScanned = complete;
        ASSERT_EQ(SaveCutObject(cut.get(), indexName), 0);
    }

    // Gives the source the index file's modification time, moved by `seconds`.
    void SetModifiedAsIndex(int seconds = 0) {
        struct stat st {};
        ASSERT_EQ(::stat(index.c_str(), &st), 0);
        struct timespec times[2] = {st.st_mtim, st.st_mtim};
        times[0].tv_sec += seconds;
        times[1].tv_sec += seconds;
        ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    }

    IndexRejection Why() {
        IndexRejection why = IndexRejection::None;
        CutObjectPtr cut = LoadIndexFor(index, source, {}, &why);
        EXPECT_EQ(cut != nullptr, why == IndexRejection::None);
        return why;
    }
};

TEST_F(IndexBeside, MatchingIndexIsTakenWithMarksOverTheWholeFile) {
    WriteFileBytes(source, MakeFrames(5));
    SaveIndex(index);
    EXPECT_EQ(IndexFileBeside(source), index);
    CutObjectPtr cut = LoadIndexFor(index, dir.Path() + "/./song.mp3", {});
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->FrameCount(), 5);
    EXPECT_EQ(cut->MarkIn, 0);
    EXPECT_EQ(cut->MarkOut, 4);
}

TEST_F(IndexBeside, IndexThatWouldExportWrongBytesIsRefused) {
    WriteFileBytes(source, MakeFrames(5));
    EXPECT_EQ(Why(), IndexRejection::Missing);

    WriteFileBytes(index, std::vector<uint8_t>(30, 'x'));
    EXPECT_EQ(Why(), IndexRejection::Unreadable);

    SaveIndex(index, false);
    EXPECT_EQ(Why(), IndexRejection::IncompleteScan);

    SaveIndex(index);
    WriteFileBytes(source, MakeFrames(6));
    EXPECT_EQ(Why(), IndexRejection::SizeDiffers);

    // Same size, frames moved by one byte: only the offsets can tell.
    std::vector<uint8_t> shifted(1, 0);
    Append(shifted, MakeFrames(5));
    WriteFileBytes(source, MakeFrames(5));
    SaveIndex(index);
    shifted.resize(MakeFrames(5).size());
    WriteFileBytes(source, shifted);
    SetModifiedAsIndex();  // a rewrite within one tick of the file system's clock
    EXPECT_EQ(Why(), IndexRejection::FramesDontMatch);

    WriteFileBytes(source, std::vector<uint8_t>(300, 0));
    SaveIndex(index);
    EXPECT_EQ(Why(), IndexRejection::NoIndex);
}

// A source rewritten in place at the same size, its frames moved between the first and the last,
// passed every check of the two ends; the export then copied from stale offsets.
TEST_F(IndexBeside, SourceWrittenAfterItsIndexIsStale) {
    WriteFileBytes(source, MakeFrames(5));
    SaveIndex(index);
    SetModifiedAsIndex(1);
    EXPECT_EQ(Why(), IndexRejection::SourceModified);
    EXPECT_NE(IndexRejectionText(IndexRejection::SourceModified).find("modified"),
              std::string::npos);
    SetModifiedAsIndex(-1);
    EXPECT_EQ(Why(), IndexRejection::None);
}

TEST_F(IndexBeside, IndexOfAnotherFileOrOfAVanishedOneIsRefused) {
    WriteFileBytes(dir.File("other.mp3"), MakeFrames(5));
    WriteFileBytes(source, MakeFrames(5));
    {
        const std::string keep = source;
        source = dir.File("other.mp3");
        SaveIndex(index);
        source = keep;
    }
    EXPECT_EQ(Why(), IndexRejection::OtherSource);
    std::remove(dir.File("other.mp3").c_str());
    EXPECT_EQ(Why(), IndexRejection::SourceMissing);
}

}  // namespace
}  // namespace sw::test
