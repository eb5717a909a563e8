#include "stream/cut_object.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cut_object_fixture.h"
#include "frame_builder.h"
#include "stream/file_names.h"
#include "stream/file_stream.h"

namespace sw {
namespace {

using test::CutObjectTest;

TEST_F(CutObjectTest, FrameOffsetPastTheEndYieldsTheLastFrame) {
    // Breaks the cutter's seek past the end and "Play All", which ask for the frame after the
    // last one.
    CutObjectPtr cut = ScannedCutObject(MakeSource("five.mp3", 5), 5);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->FrameCount(), 5);
    EXPECT_EQ(FrameOffset(cut.get(), 0), 0);
    EXPECT_EQ(FrameOffset(cut.get(), 3), 3 * 417);
    EXPECT_EQ(FrameOffset(cut.get(), 4), 4 * 417);
    EXPECT_EQ(FrameOffset(cut.get(), 5), 4 * 417);
    EXPECT_EQ(FrameOffset(cut.get(), 2147483647), 4 * 417);
}

TEST_F(CutObjectTest, FrameHeaderReadsTheSourceThroughTheIndex) {
    // Breaks the player and the auto-cutter, which decode frames on demand.
    CutObjectPtr cut = ScannedCutObject(MakeSource("five.mp3", 5), 5);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(FrameHeader(cut.get(), 2), DecodeFrameHeader(test::MakeHeaderWord({})));
    EXPECT_EQ(cut->FileStream->Position(), 2 * 417 + 4);
    EXPECT_EQ(FrameHeader(cut.get(), 99), DecodeFrameHeader(test::MakeHeaderWord({})));
}

TEST_F(CutObjectTest, NoCutObjectGivesTheNoOffsetAndZeroInfo) {
    // Breaks a window that looks a frame up before any file is loaded.
    EXPECT_EQ(FrameOffset(nullptr, 0), 2147483647);
    EXPECT_EQ(FrameOffset(nullptr, 12), kNoOffset);
    EXPECT_EQ(FrameHeader(nullptr, 0), kNoFrame);
    FreeCutObject(nullptr);
}

TEST_F(CutObjectTest, CreateSetsNamesAndEmptySummary) {
    // Breaks the bin's display name and the scan's starting state.
    const std::string source = MakeSource("live.set.mp3", 1);
    CutObjectPtr cut(CreateCutObject(source, options_));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->FileName, source);
    EXPECT_EQ(cut->Name, "live.set");
    EXPECT_EQ(cut->IndexFileName, "");
    EXPECT_FALSE(cut->HasTag);
    EXPECT_FALSE(cut->CompletelyScanned);
    EXPECT_EQ(cut->FrameInfo, kNoFrame);
    EXPECT_EQ(cut->Tag, TID3Tag{});
    ASSERT_NE(cut->FileStream, nullptr);
    ASSERT_NE(cut->IndexStream, nullptr);
    EXPECT_EQ(cut->IndexStream->Size(), 0);
    EXPECT_EQ(cut->FrameCount(), 0);

    CutObjectPtr plain(CreateCutObject(MakeSource("noextension", 1), options_));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Name, "noextension");
}

TEST_F(CutObjectTest, MissingSourceIsRefusedWithItsReason) {
    // Breaks the bin's message for a file that vanished between choosing and importing.
    CreateFailure failure = CreateFailure::None;
    EXPECT_EQ(CreateCutObject(data_.File("absent.mp3"), options_, &failure), nullptr);
    EXPECT_EQ(failure, CreateFailure::NotFound);
    EXPECT_NE(CreateFailureText(failure, "absent.mp3").find("absent.mp3"), std::string::npos);
}

TEST_F(CutObjectTest, SourcesOfTwoGibibytesOrMoreAreRefusedBeforeAnyScan) {
    // Breaks the signed 32-bit offsets of the index: a larger file would wrap them negative.
    const std::string big = data_.File("big.mp3");
    test::WriteFileBytes(big, {});
    std::filesystem::resize_file(big, kMaxSourceSize);  // sparse: costs no disk
    CreateFailure failure = CreateFailure::None;
    EXPECT_EQ(CreateCutObject(big, options_, &failure), nullptr);
    EXPECT_EQ(failure, CreateFailure::TooLarge);
    const std::string text = CreateFailureText(failure, big);
    EXPECT_NE(text.find(big), std::string::npos) << text;
    EXPECT_NE(text, CreateFailureText(CreateFailure::NotFound, big));
    EXPECT_NE(text, CreateFailureText(CreateFailure::CannotOpen, big));
    EXPECT_FALSE(IsHeldSource(big)) << "a refused source must not stay held";

    std::filesystem::resize_file(big, kMaxSourceSize - 1);
    failure = CreateFailure::TooLarge;
    CutObjectPtr largest(CreateCutObject(big, options_, &failure));
    EXPECT_NE(largest, nullptr);
    EXPECT_EQ(failure, CreateFailure::None);
}

TEST_F(CutObjectTest, FileIndexLivesInTempFolderAndIsDeletedOnFree) {
    // Breaks cleanup: every freed cut object with a file index would leave a file behind.
    options_.IndexAsFileStream = true;
    const std::string source = MakeSource("song.mp3", 3);
    TCutObject* cut = CreateCutObject(source, options_);
    ASSERT_NE(cut, nullptr);
    ASSERT_NE(cut->IndexStream, nullptr);
    EXPECT_EQ(ExtractFilePath(cut->IndexFileName), temp_.Path() + "/");
    EXPECT_EQ(ExtractFileName(cut->IndexFileName).rfind("~hl", 0), 0u) << cut->IndexFileName;
    EXPECT_TRUE(FileExists(cut->IndexFileName));
    EXPECT_EQ(TempFiles().size(), 1u);

    cut->IndexStream->WriteInt32(0);
    cut->IndexStream->WriteInt32(417);
    EXPECT_EQ(cut->FrameCount(), 2);
    EXPECT_EQ(FrameOffset(cut, 7), 417);

    const std::string indexName = cut->IndexFileName;
    FreeCutObject(cut);
    EXPECT_FALSE(FileExists(indexName));
    EXPECT_TRUE(TempFiles().empty());
    EXPECT_TRUE(FileExists(source)) << "freeing must never touch the source";
}

TEST_F(CutObjectTest, MemoryIndexTouchesNoFile) {
    // Breaks the default setting: a memory index must not create or delete temporary files.
    const std::string source = MakeSource("song.mp3", 3);
    TCutObject* cut = CreateCutObject(source, options_);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->IndexFileName, "");
    EXPECT_TRUE(TempFiles().empty());
    FreeCutObject(cut);
    EXPECT_TRUE(FileExists(source));
}

TEST_F(CutObjectTest, TempIndexFilesAreUniqueAndEmptyWhenTheFolderIsMissing) {
    // Breaks two cut objects sharing one index file, or a crash with a bad "TempFolder".
    const std::string first = TempIndexFileName(options_.TempFolder);
    const std::string second = TempIndexFileName(options_.TempFolder);
    EXPECT_NE(first, "");
    EXPECT_NE(first, second);
    EXPECT_TRUE(FileExists(first));
    std::filesystem::remove(first);
    std::filesystem::remove(second);

    options_.TempFolder = temp_.File("missing");
    EXPECT_EQ(TempIndexFileName(options_.TempFolder), "");
}

TEST_F(CutObjectTest, UncreatableIndexLeavesTheCutObjectWithoutStreams) {
    // Breaks the scan's "no streams" failure path, and a held source that nobody can release.
    options_.IndexAsFileStream = true;
    options_.TempFolder = temp_.File("missing");
    const std::string source = MakeSource("song.mp3", 3);
    CutObjectPtr cut(CreateCutObject(source, options_));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->FileStream, nullptr);
    EXPECT_EQ(cut->IndexStream, nullptr);
    EXPECT_EQ(cut->IndexFileName, "");
    EXPECT_FALSE(IsHeldSource(source));
}

}  // namespace
}  // namespace sw
