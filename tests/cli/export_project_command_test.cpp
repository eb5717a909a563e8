#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "project/project_file.h"
#include "run_cli.h"
#include "stream/file_names.h"
#include "stream/frame_header.h"

namespace sw::test {
namespace {

struct ExportProjectCommand : ::testing::Test {
    TempDir dir;
    std::vector<std::vector<uint8_t>> a = DistinctFrames(4, 0x10);
    std::vector<std::vector<uint8_t>> b = DistinctFrames(4, 0x40);
    ProjectFileContents project;

    void SetUp() override {
        WriteFileBytes(dir.File("a.mp3"), Join(a, 0, 3));
        WriteFileBytes(dir.File("b.mp3"), Join(b, 0, 3));
        project.Properties.ExportFlags = 0;
        project.Files = {dir.File("a.mp3"), dir.File("b.mp3")};
    }

    CliResult Export(const std::string& target, std::vector<std::string> extra = {}) {
        WriteProjectFile(dir.File("p.m3p"), project);
        std::vector<std::string> args = {"export-project", dir.File("p.m3p"), dir.File(target)};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCli(args);
    }
};

TEST_F(ExportProjectCommand, CuesFromTwoFilesFollowEachOtherInProjectOrder) {
    project.Cues = {{dir.File("b.mp3"), "second file first", 2, 3},
                    {dir.File("a.mp3"), "then the first", 0, 1}};
    const CliResult r = Export("out.mp3", {"--json", "--raw"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<uint8_t> expected = Join(b, 2, 3);
    Append(expected, Join(a, 0, 1));
    EXPECT_EQ(ReadFileBytes(dir.File("out.mp3")), expected);
    EXPECT_EQ(JsonField(r.out, "frames"), "4");
    EXPECT_EQ(JsonField(r.out, "skipped_cues"), "0");
}

TEST_F(ExportProjectCommand, ExportFlagsStampHeaderBitsAndAppendTheTag) {
    project.Properties.ExportFlags = 3;
    project.Properties.Private = 1;
    project.Properties.Copyright = 1;
    project.Properties.Original = 0;
    project.Properties.Tag.Title = "Project title";
    project.Properties.Tag.Track = 3;
    project.Cues = {{dir.File("a.mp3"), "all", 0, 3}};
    const CliResult r = Export("out.mp3");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<uint8_t> bytes = ReadFileBytes(dir.File("out.mp3"));
    const size_t frameLength = a[0].size();
    ASSERT_EQ(bytes.size(), 4 * frameLength + 128);
    for (size_t i = 0; i < 4; ++i) {
        const TFrameInfo info = DecodeFrameHeader(HeaderWordFromBytes(&bytes[i * frameLength]));
        EXPECT_EQ(info.Private, 1);
        EXPECT_EQ(info.Copyright, 1);
        EXPECT_EQ(info.Original, 0);
        // Only the three flag bits change; bodies stay as they were.
        EXPECT_EQ(Slice(bytes, i * frameLength + 4, frameLength - 4),
                  Slice(a[i], 4, frameLength - 4));
    }
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
    EXPECT_EQ(std::string(bytes.end() - 125, bytes.end() - 112), "Project title");
}

TEST_F(ExportProjectCommand, NoExportFlagsLeaveFramesUntouchedAndAddNoTag) {
    project.Properties.Private = 1;
    project.Properties.Tag.Title = "not written";
    project.Cues = {{dir.File("a.mp3"), "all", 0, 3}};
    ASSERT_EQ(Export("out.mp3").exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("out.mp3")), Join(a, 0, 3));
}

TEST_F(ExportProjectCommand, CueOnMissingSourceIsSkippedWithAWarning) {
    project.Cues = {{dir.File("gone.mp3"), "lost cue", 0, 1}, {dir.File("a.mp3"), "kept", 1, 2}};
    const CliResult r = Export("out.mp3");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("lost cue"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("is missing"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("out.mp3")), Join(a, 1, 2));

    const CliResult strict = Export("strict.mp3", {"--strict"});
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(ReadFileBytes(dir.File("strict.mp3")), Join(a, 1, 2));
}

TEST_F(ExportProjectCommand, NothingToExportCreatesNoTarget) {
    const CliResult noCues = Export("out.mp3");
    EXPECT_EQ(noCues.exitCode, 1);
    project.Cues = {{dir.File("gone.mp3"), "lost", 0, 1}};
    const CliResult allMissing = Export("out.mp3");
    EXPECT_EQ(allMissing.exitCode, 1);
    EXPECT_FALSE(FileExists(dir.File("out.mp3")));
    // Cues whose ranges hold no frame (reversed, or past the source's end) wrote a 0-byte file
    // and said "Operation successful".
    project.Cues = {{dir.File("a.mp3"), "reversed", 2, 1}, {dir.File("b.mp3"), "past", 9, 12}};
    const CliResult empty = Export("out.mp3");
    EXPECT_EQ(empty.exitCode, 1);
    EXPECT_NE(empty.err.find("none of the cues holds a frame"), std::string::npos) << empty.err;
    EXPECT_FALSE(FileExists(dir.File("out.mp3")));
}

TEST_F(ExportProjectCommand, MissingOrForeignProjectFileFails) {
    EXPECT_EQ(RunCli({"export-project", dir.File("none.m3p"), dir.File("o.mp3")}).exitCode, 4);
    WriteFileBytes(dir.File("bad.m3p"), std::vector<uint8_t>(40, 'x'));
    const CliResult bad = RunCli({"export-project", dir.File("bad.m3p"), dir.File("o.mp3")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("not a Slicewell project file"), std::string::npos) << bad.err;
    // Cut inside the file list: the read error's text, not a crash or a silent success.
    std::vector<uint8_t> truncated(kProjectFileMagic, kProjectFileMagic + 16);
    Append(truncated, std::vector<uint8_t>(12 + 5 + 4, 0));
    Append(truncated, {5, 0, 0, 0, 1, 0});
    WriteFileBytes(dir.File("cut.m3p"), truncated);
    const CliResult cut = RunCli({"export-project", dir.File("cut.m3p"), dir.File("o.mp3")});
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_NE(cut.err.find("Stream read error"), std::string::npos) << cut.err;
    EXPECT_FALSE(FileExists(dir.File("o.mp3")));
}

TEST_F(ExportProjectCommand, RelativeSourceNamesAreTakenFromTheProjectFolder) {
    project.Cues = {{"b.mp3", "relative", 0, 0}};
    const CliResult r = Export("out.wav");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<uint8_t> bytes = ReadFileBytes(dir.File("out.wav"));
    ASSERT_EQ(bytes.size(), 70 + b[0].size());
    EXPECT_EQ(Slice(bytes, 70, b[0].size()), b[0]);
}

}  // namespace
}  // namespace sw::test
