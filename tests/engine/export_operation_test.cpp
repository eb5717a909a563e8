#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>

#include "app/settings/global_settings.h"
#include "engine/scan.h"
#include "engine/ui/export_operations.h"
#include "engine/ui/process_form.h"
#include "engine/wave_header.h"
#include "engine_fixture.h"
#include "frame_builder.h"
#include "scripted_prompts.h"
#include "stream/file_errors.h"
#include "stream/file_names.h"
#include "stream/status.h"

namespace sw::test {
namespace {

constexpr int kFrame = 417;

class ExportOperationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < 20; ++i) {
            Append(bytes_, MakeFrame({}, static_cast<uint8_t>(0x10 + i)));
        }
        source_ = dir_.File("song.mp3");
        WriteFileBytes(source_, bytes_);
        cut_.reset(CreateCutObject(source_, {}));
        ASSERT_TRUE(cut_);
        WorkerControl control;
        ASSERT_EQ(ScanFrames(*cut_, control), kStatusOk);
    }
    FrameSpan Whole() const { return FrameSpan{0, cut_->FrameCount() - 1}; }
    std::vector<uint8_t> Frames(int first, int last) const {
        return std::vector<uint8_t>(bytes_.begin() + first * kFrame,
                                    bytes_.begin() + (last + 1) * kFrame);
    }

    TempDir dir_;
    std::vector<uint8_t> bytes_;
    std::string source_;
    CutObjectPtr cut_;
    ScriptedPrompts prompts_;
};

// A one-frame export makes the progress range a single value; it must neither fail nor copy more.
TEST_F(ExportOperationTest, MarkedExportOfOneFrameWritesExactlyThatFrame) {
    cut_->MarkIn = 7;
    cut_->MarkOut = 7;
    EXPECT_EQ(ExportCutObject(dir_.File("one.mp3"), cut_.get(), {cut_->MarkIn, cut_->MarkOut},
                              ExportStyle::Raw, prompts_),
              kStatusOk);
    EXPECT_EQ(ReadFileBytes(dir_.File("one.mp3")), Frames(7, 7));
}

TEST_F(ExportOperationTest, WholeWaveExportIsHeaderAndEveryFrame) {
    cut_->MarkIn = 3;
    cut_->MarkOut = 4;
    const std::string target = dir_.File("all.WAV");
    WriteFileBytes(dir_.File("all.m3i"), IndexFileNaming(AbsolutePath(target)));
    EXPECT_EQ(ExportCutObject(target, cut_.get(), Whole(), ExportStyle::Raw, prompts_), kStatusOk);
    const std::vector<uint8_t> out = ReadFileBytes(target);
    const auto header = BuildWaveHeader(FrameHeader(cut_.get(), 19), int64_t(out.size()));
    ASSERT_EQ(out.size(), kWaveHeaderSize + bytes_.size());
    EXPECT_TRUE(std::equal(header.begin(), header.end(), out.begin()));
    EXPECT_TRUE(std::equal(bytes_.begin(), bytes_.end(), out.begin() + kWaveHeaderSize));
    EXPECT_TRUE(IsMpegWaveFile(target));
    EXPECT_FALSE(FileExists(dir_.File("all.m3i")));
}

TEST_F(ExportOperationTest, ExportOntoItsOwnSourceIsRefusedWithoutAWindow) {
    try {
        ExportCutObject(source_, cut_.get(), Whole(), ExportStyle::Raw, prompts_);
        ADD_FAILURE() << "the source was opened for writing";
    } catch (const FileCreateError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file " + source_);
    }
    EXPECT_EQ(ReadFileBytes(source_), bytes_);
}

TEST_F(ExportOperationTest, NothingToExportGivesStatus1AndCreatesNothing) {
    EXPECT_EQ(ExportCutObject("", cut_.get(), Whole(), ExportStyle::Raw, prompts_), kStatusFailed);
    EXPECT_EQ(ExportCutObject(dir_.File("x.mp3"), nullptr, Whole(), ExportStyle::Raw, prompts_),
              kStatusFailed);
    TProjectProperties project;
    EXPECT_EQ(ExportProject(dir_.File("x.mp3"), project, {}, ExportStyle::Raw, prompts_),
              kStatusFailed);
    TCueObject cue{cut_.get(), "c", 0, 1};
    EXPECT_EQ(ExportProject("", project, {&cue}, ExportStyle::Raw, prompts_), kStatusFailed);
    EXPECT_FALSE(FileExists(dir_.File("x.mp3")));
}

TEST_F(ExportOperationTest, ProjectExportWritesCuesThenTheProjectTag) {
    TProjectProperties project;
    project.ExportFlags = kExportTag;
    project.Tag.Title = "Project";
    TCueObject late{cut_.get(), "late", 10, 11};
    TCueObject early{cut_.get(), "early", 0, 0};
    const std::string target = dir_.File("project.mp3");
    EXPECT_EQ(ExportProject(target, project, {&late, &early}, ExportStyle::Raw, prompts_),
              kStatusOk);
    std::vector<uint8_t> expected = Frames(10, 11);
    Append(expected, Frames(0, 0));
    const std::vector<uint8_t> out = ReadFileBytes(target);
    ASSERT_EQ(out.size(), expected.size() + 128);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), out.begin()));
    EXPECT_EQ(std::string(out.end() - 128, out.end() - 125), "TAG");
}

// A full disk emptied the file the export was to replace and said only "Unknown error at
// operation". Writes past a size limit fail as on a full disk: the old file stays, and the
// window's error display gets the system's reason. A link to /dev/full, which once stood in for
// a full disk here, leads to no regular file and is refused before anything is written.
TEST_F(ExportOperationTest, FullDiskNamesTheReasonAndKeepsTheOldFile) {
    const std::string target = dir_.File("full.wav");
    WriteFileBytes(target, {'o', 'l', 'd'});
    std::string shown;
    try {
        const FileSizeLimit full(1000);  // the header and two frames
        ExportCutObject(target, cut_.get(), Whole(), ExportStyle::Raw, prompts_);
    } catch (const FileError& error) {
        shown = error.what();
    }
    EXPECT_EQ(shown, "Cannot write file " + target + ": File too large");
    EXPECT_TRUE(prompts_.History().empty());
    EXPECT_EQ(ReadFileBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));

    if (std::filesystem::exists("/dev/full")) {
        std::filesystem::create_symlink("/dev/full", dir_.File("device.wav"));
        EXPECT_THROW(ExportCutObject(dir_.File("device.wav"), cut_.get(), Whole(), ExportStyle::Raw,
                                     prompts_),
                     FileCreateError);
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
    }
}

// An export onto a project or playlist name destroyed the document and reported success.
TEST_F(ExportOperationTest, DocumentTargetsAreRefusedWithTheReasonAndLeftAlone) {
    const std::string project = dir_.File("p.m3p");
    WriteFileBytes(project, {'p'});
    prompts_.ExpectError();
    EXPECT_EQ(ExportCutObject(project, cut_.get(), Whole(), ExportStyle::Raw, prompts_),
              kStatusFailed);
    ASSERT_EQ(prompts_.History().size(), 1u);
    EXPECT_NE(prompts_.History()[0].text.find(".m3p files"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(project), std::vector<uint8_t>{'p'});

    // The project being exported, by another name.
    std::filesystem::create_symlink(project, dir_.File("p.mp3"));
    TProjectProperties properties;
    properties.FileName = project;
    TCueObject cue{cut_.get(), "c", 0, 1};
    prompts_.ExpectError();
    EXPECT_EQ(ExportProject(dir_.File("p.mp3"), properties, {&cue}, ExportStyle::Raw, prompts_),
              kStatusFailed);
    EXPECT_EQ(ReadFileBytes(project), std::vector<uint8_t>{'p'});
}

}  // namespace
}  // namespace sw::test
