// "export SOURCE TARGET.m3q": the cue file the cutter's export of its marks writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "document_fixture.h"
#include "run_cli.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

struct CueExportCommand : ::testing::Test {
    TempDir dir;
    std::string song = dir.File("song.mp3");

    void SetUp() override { WriteFileBytes(song, MakeFrames(20)); }

    CueFileRecord Expected(const std::string& name, int32_t in, int32_t out) const {
        return CueFileRecord{song, name, in, out};
    }
};

TEST_F(CueExportCommand, WritesTheCoreWritersBytesForTheRange) {
    // A layout drift (field order, count width, a terminator) would make cue files the program
    // cannot read.
    const CliResult r = RunCli({"export", song, dir.File("a.m3q"), "--range", "3-11"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("a.m3q")), CueFileBytes(Expected("song", 3, 11)));
    EXPECT_EQ(r.out, "Saved the cue \"song\" of frames 3-11 to " + dir.File("a.m3q") + "\n");
}

TEST_F(CueExportCommand, NameRangeAndSourcePathFollowTheCutter) {
    // Without --range the cue spans the file as "Cut" marks it; --name replaces the display
    // name; a relative SOURCE is stored as its absolute path with "." and ".." taken out,
    // and a case-insensitive .M3Q still writes a cue file, not audio.
    CliResult r = RunCli({"export", "song.mp3", "whole.M3Q"}, {}, dir.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("whole.M3Q")), CueFileBytes(Expected("song", 0, 19)));

    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
    r = RunCli({"export", "../song.mp3", "named.m3q", "--name", "Intro: take 2", "--range", "0-0"},
               {}, dir.File("sub"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("sub/named.m3q")),
              CueFileBytes(Expected("Intro: take 2", 0, 0)));
}

TEST_F(CueExportCommand, RangePastTheEndIsCutAsMarksAreAndAnEmptyOneWritesNothing) {
    // A cue past the last frame would make the player and exports clamp silently; a cue of no
    // frames is nothing the cutter can mark, and writing it would be reported as success.
    CliResult r = RunCli({"export", song, dir.File("long.m3q"), "--range", "15-900"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("long.m3q")), CueFileBytes(Expected("song", 15, 19)));
    EXPECT_NE(r.err.find("reaches past the last frame"), std::string::npos) << r.err;

    for (const char* range : {"20-30", "9-4"}) {
        r = RunCli({"export", song, dir.File("none.m3q"), "--range", range});
        EXPECT_EQ(r.exitCode, 1) << range;
        EXPECT_NE(r.err.find("holds none of the frames 0-19"), std::string::npos) << r.err;
        EXPECT_FALSE(FileExists(dir.File("none.m3q"))) << range;
    }
    WriteFileBytes(dir.File("empty.mp3"), std::vector<uint8_t>(500, 0));
    r = RunCli({"export", dir.File("empty.mp3"), dir.File("none.m3q")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(FileExists(dir.File("none.m3q")));
}

TEST_F(CueExportCommand, JsonDescribesTheCue) {
    // Scripts read the written range and name from here rather than from the file.
    const CliResult r =
        RunCli({"export", song, dir.File("a.m3q"), "--range", "2-5", "--name", "x", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonField(r.out, "source"), "\"" + song + "\"");
    EXPECT_EQ(JsonField(r.out, "name"), "\"x\"");
    EXPECT_EQ(JsonField(r.out, "first"), "2");
    EXPECT_EQ(JsonField(r.out, "last"), "5");
    EXPECT_EQ(JsonField(r.out, "frames"), "4");
    EXPECT_EQ(JsonField(r.out, "bytes"), std::to_string(28 + song.size() + 1));
    EXPECT_EQ(JsonField(r.out, "status"), "0");
}

TEST_F(CueExportCommand, RefusesWhatIsNoAudioAndLeavesTheTargetAlone) {
    // A cue of a missing file, of a document or of a pipe would name frames that do not exist;
    // --name on an audio target would be silently ignored.
    WriteFileBytes(dir.File("keep.m3q"), {1, 2, 3});
    CliResult r = RunCli({"export", dir.File("missing.mp3"), dir.File("keep.m3q")});
    EXPECT_EQ(r.exitCode, 4);
    r = RunCli({"export", dir.File("keep.m3q"), dir.File("keep.m3q")});
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(::mkfifo(dir.File("pipe.mp3").c_str(), 0644), 0);
    r = RunCli({"export", dir.File("pipe.mp3"), dir.File("keep.m3q")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("keep.m3q")), (std::vector<uint8_t>{1, 2, 3}));

    r = RunCli({"export", song, dir.File("a.mp3"), "--name", "x"});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_FALSE(FileExists(dir.File("a.mp3")));
}

TEST_F(CueExportCommand, TargetsThatCannotTakeACueFileFailCleanly) {
    // A folder or a FIFO named like a cue file must give an error, not a hang or a success.
    ASSERT_EQ(::mkdir(dir.File("folder.m3q").c_str(), 0755), 0);
    CliResult r = RunCli({"export", song, dir.File("folder.m3q")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Cannot create file"), std::string::npos) << r.err;
    ASSERT_EQ(::mkfifo(dir.File("pipe.m3q").c_str(), 0644), 0);
    r = RunCli({"export", song, dir.File("pipe.m3q")});
    EXPECT_EQ(r.exitCode, 1);
    r = RunCli({"export", song, dir.File("no/such/a.m3q")});
    EXPECT_EQ(r.exitCode, 1);
}

}  // namespace
}  // namespace sw::test
