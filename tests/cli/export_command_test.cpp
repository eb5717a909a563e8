#include <gtest/gtest.h>

#include <filesystem>

#include "cli_fixture.h"
#include "run_cli.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

struct ExportCommand : ::testing::Test {
    TempDir dir;
    std::vector<std::vector<uint8_t>> frames = DistinctFrames(10);
    std::string source = dir.File("src.mp3");

    // Junk before the first frame, garbage between frames 5 and 6 and a tag at the end: none
    // of it belongs in an export.
    void SetUp() override {
        std::vector<uint8_t> bytes(100, 0);
        Append(bytes, Join(frames, 0, 5));
        Append(bytes, std::vector<uint8_t>(50, 0));
        Append(bytes, Join(frames, 6, 9));
        Append(bytes, MakeId3v1("tag"));
        WriteFileBytes(source, bytes);
    }
};

TEST_F(ExportCommand, WholeFileIsExactlyTheIndexedFrames) {
    const CliResult r = RunCli({"export", source, dir.File("out.mp3")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("out.mp3")), Join(frames, 0, 9));
}

TEST_F(ExportCommand, RangeIsInclusiveAndAdjacentRangesMakeTheirUnion) {
    // The plain copy: the frames and nothing else.
    ASSERT_EQ(RunCli({"export", source, dir.File("a.mp3"), "--range", "2-4", "--raw"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("a.mp3")), Join(frames, 2, 4));
    ASSERT_EQ(RunCli({"export", source, dir.File("one.mp3"), "--range=9-9", "--raw"}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("one.mp3")), Join(frames, 9, 9));

    ASSERT_EQ(RunCli({"export", source, dir.File("lo.mp3"), "--range", "0-5", "--raw"}).exitCode,
              0);
    ASSERT_EQ(RunCli({"export", source, dir.File("hi.mp3"), "--range", "6-9", "--raw"}).exitCode,
              0);
    std::vector<uint8_t> joined = ReadFileBytes(dir.File("lo.mp3"));
    Append(joined, ReadFileBytes(dir.File("hi.mp3")));
    EXPECT_EQ(joined, Join(frames, 0, 9));
}

TEST_F(ExportCommand, WaveTargetIsTheFramesBehindA70ByteHeader) {
    for (const std::string name : {"out.WAV", "out.wave"}) {
        const CliResult r = RunCli({"export", source, dir.File(name), "--range", "1-3"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::vector<uint8_t> bytes = ReadFileBytes(dir.File(name));
        ASSERT_EQ(bytes.size(), 70 + Join(frames, 1, 3).size()) << name;
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 12), "WAVE");
        EXPECT_EQ(bytes[20], 0x55);
        EXPECT_EQ(Slice(bytes, 70, bytes.size() - 70), Join(frames, 1, 3));
    }
}

TEST_F(ExportCommand, MistypedRangesAreUsageErrorsAndCreateNothing) {
    // Text that is not two frame numbers must not be guessed at.
    for (const std::string range : {"-1-3", "3", "a-b", "1-", "-4", "+1-2", "0-99999999999"}) {
        const CliResult r = RunCli({"export", source, dir.File("bad.mp3"), "--range", range});
        EXPECT_EQ(r.exitCode, 64) << range << ": " << r.err;
        EXPECT_FALSE(FileExists(dir.File("bad.mp3"))) << range;
    }
}

TEST_F(ExportCommand, RangesAreCutToTheFileAsMarksAreAndSaySo) {
    // A range past the end exports up to the last frame; one with nothing left in it exports
    // nothing and is no error, as marks behave in the program. Both are pointed out on stderr.
    const CliResult past =
        RunCli({"export", source, dir.File("past.mp3"), "--range", "7-500", "--raw"});
    ASSERT_EQ(past.exitCode, 0) << past.err;
    EXPECT_EQ(ReadFileBytes(dir.File("past.mp3")), Join(frames, 7, 9));
    EXPECT_NE(past.err.find("reaches past the last frame"), std::string::npos) << past.err;

    for (const std::string range : {"5-2", "10-20"}) {
        const CliResult r = RunCli({"export", source, dir.File("none.wav"), "--range", range});
        ASSERT_EQ(r.exitCode, 0) << range << ": " << r.err;
        EXPECT_NE(r.err.find("holds none of the frames"), std::string::npos) << r.err;
        // A WAV target without frames keeps its header space, all zero.
        EXPECT_EQ(ReadFileBytes(dir.File("none.wav")), std::vector<uint8_t>(70, 0)) << range;
    }
}

TEST_F(ExportCommand, CueTargetGetsACueFileNotFrames) {
    // MPEG frames under a .m3q name would be a cue file the program takes for a damaged one.
    const CliResult r = RunCli({"export", source, dir.File("cues.m3q")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::vector<uint8_t> bytes = ReadFileBytes(dir.File("cues.m3q"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 16), "Slicewell4-QFile");
}

TEST_F(ExportCommand, ExportOntoItsOwnSourceIsRefusedAndKeepsTheSource) {
    const std::vector<uint8_t> before = ReadFileBytes(source);
    // A range waits for the scan; the whole file is copied while it is scanned.
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{"--range", "0-1"}, std::vector<std::string>{}}) {
        std::vector<std::string> args = {"export", source, source};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult r = RunCli(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("Cannot create file " + source), std::string::npos) << r.err;
        EXPECT_EQ(ReadFileBytes(source), before);
    }
}

// An export replaces its target by a rename once the copy is complete; that must not turn a link
// into a file of its own. A file with other hard links is replaced under the name exported to;
// its other names keep the old contents (writing in place would destroy them on a failure).
TEST_F(ExportCommand, LinkedTargetsAreWrittenThroughTheirLinks) {
    WriteFileBytes(dir.File("real.mp3"), {1, 2, 3});
    std::filesystem::create_symlink(dir.File("real.mp3"), dir.File("link.mp3"));
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{}, std::vector<std::string>{"--range", "0-9"}}) {
        std::vector<std::string> args = {"export", source, dir.File("link.mp3")};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_EQ(RunCli(args).exitCode, 0);
        EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.mp3")));
        EXPECT_EQ(ReadFileBytes(dir.File("real.mp3")), Join(frames, 0, 9));
        WriteFileBytes(dir.File("real.mp3"), {1, 2, 3});
    }

    std::filesystem::create_hard_link(dir.File("real.mp3"), dir.File("second.mp3"));
    WriteFileBytes(source, Join(frames, 2, 3));
    ASSERT_EQ(RunCli({"export", source, dir.File("real.mp3")}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(dir.File("real.mp3")), Join(frames, 2, 3));
    EXPECT_EQ(ReadFileBytes(dir.File("second.mp3")), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(ExportCommand, MatchingIndexBesideIsUsedAndAStaleOneIsNot) {
    ASSERT_EQ(RunCli({"scan", source}).exitCode, 0);
    const CliResult fresh = RunCli({"export", source, dir.File("a.mp3"), "--json"});
    ASSERT_EQ(fresh.exitCode, 0) << fresh.err;
    EXPECT_EQ(JsonField(fresh.out, "from_index"), "true");
    EXPECT_EQ(ReadFileBytes(dir.File("a.mp3")), Join(frames, 0, 9));

    // The source rewritten after its index was made: the index would export the wrong bytes.
    WriteFileBytes(source, Join(frames, 0, 2));
    const CliResult stale = RunCli({"export", source, dir.File("b.mp3"), "--json"});
    ASSERT_EQ(stale.exitCode, 0) << stale.err;
    EXPECT_EQ(JsonField(stale.out, "from_index"), "false");
    EXPECT_NE(stale.err.find("scanning instead"), std::string::npos) << stale.err;
    EXPECT_EQ(ReadFileBytes(dir.File("b.mp3")), Join(frames, 0, 2));
}

TEST_F(ExportCommand, IndexMadeForAnotherFileIsNotUsed) {
    // A copied folder brings the index along; its FileName still names the original.
    ASSERT_EQ(RunCli({"scan", source, "--index", dir.File("copy.m3i")}).exitCode, 0);
    WriteFileBytes(dir.File("copy.mp3"), Join(frames, 3, 4));
    const CliResult r = RunCli({"export", dir.File("copy.mp3"), dir.File("out.mp3"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonField(r.out, "from_index"), "false");
    EXPECT_EQ(ReadFileBytes(dir.File("out.mp3")), Join(frames, 3, 4));
}

TEST_F(ExportCommand, MissingSourceFailsWithoutATargetAndOneWithoutFramesSaysSo) {
    const CliResult missing = RunCli({"export", dir.File("none.mp3"), dir.File("out.mp3")});
    EXPECT_EQ(missing.exitCode, 4);
    EXPECT_FALSE(FileExists(dir.File("out.mp3")));
    // No frames is an empty export, as the program's own export makes it, but never a silent one.
    WriteFileBytes(dir.File("zero.mp3"), std::vector<uint8_t>(300, 0));
    const CliResult empty = RunCli({"export", dir.File("zero.mp3"), dir.File("out.mp3")});
    EXPECT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_NE(empty.err.find("no MPEG audio frames"), std::string::npos) << empty.err;
    EXPECT_TRUE(ReadFileBytes(dir.File("out.mp3")).empty());
}

TEST_F(ExportCommand, IndexTargetSavesTheSourcesIndex) {
    const CliResult r = RunCli({"export", source, dir.File("saved.m3i")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const CliResult info = RunCli({"info", dir.File("saved.m3i")});
    EXPECT_NE(info.out.find("Number of frames: 10\n"), std::string::npos) << info.out;
    EXPECT_EQ(RunCli({"export", source, dir.File("r.m3i"), "--range", "0-1"}).exitCode, 64);
}

}  // namespace
}  // namespace sw::test
