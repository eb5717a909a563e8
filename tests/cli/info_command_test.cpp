#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "run_cli.h"
#include "stream/cut_object.h"
#include "stream/file_names.h"
#include "stream/time_code.h"

namespace sw::test {
namespace {

struct InfoCommand : ::testing::Test {
    TempDir dir;

    // 417 junk bytes, then ten frames: the first at 417, the last at 4170; 4587 bytes.
    std::string WriteSong(const HeaderSpec& spec = {}) {
        std::vector<uint8_t> bytes(417, 0);
        Append(bytes, MakeFrames(10, spec));
        WriteFileBytes(dir.File("song.mp3"), bytes);
        return dir.File("song.mp3");
    }
};

TEST_F(InfoCommand, ReportMatchesTheGoldenText) {
    const std::string song = WriteSong();
    const CliResult r = RunCli({"info", song});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string expected =
        "Properties for 'song':\n\nFilename: " + song +
        "\nFilesize: 4,587 bytes\nPlaytime (exact): " + PlayTimeToText(10 * 417 / 16000.0f) +
        "\n\nNumber of frames: 10\nDropped frames: 0\nCompletely scanned: Yes\n"
        "First valid frame at: 000001A1h\nLast valid frame at: 0000104Ah\n\n"
        "MPEG properties:\n\nMPEG 1.0 Layer III\nVBR: No\nBit rate: 128 kbit/s\n"
        "Sample rate: 44100 Hz\nChannels: Joint-Stereo\nEmphasis: None\n\n"
        "CRC's: No\nPrivate: No\nCopyrighted: No\nOriginal: Yes\n\n"
        "ID3v1.1 tag:\nNo ID3v1.1 tag found\n";
    EXPECT_EQ(r.out, expected);
    EXPECT_FALSE(FileExists(dir.File("song.m3i"))) << "info scans in memory only";
}

TEST_F(InfoCommand, IndexFileGivesTheSameReportAsItsSource) {
    const std::string song = WriteSong();
    ASSERT_EQ(RunCli({"scan", song}).exitCode, 0);
    const CliResult fromAudio = RunCli({"info", song});
    const CliResult fromIndex = RunCli({"info", dir.File("song.m3i")});
    ASSERT_EQ(fromIndex.exitCode, 0) << fromIndex.err;
    EXPECT_EQ(fromIndex.out, fromAudio.out);
}

TEST_F(InfoCommand, TagEmphasisAndCrcLinesFollowTheFrame) {
    HeaderSpec spec;
    spec.emphasis = 1;
    spec.protection = false;
    spec.privateBit = true;
    std::vector<uint8_t> bytes = MakeFrames(3, spec);
    Append(bytes, MakeId3v1("Title\xE9", 17, 5));
    WriteFileBytes(dir.File("tagged.mp3"), bytes);
    const CliResult r = RunCli({"info", dir.File("tagged.mp3")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The micro sign comes out as UTF-8, like the Latin-1 tag text.
    EXPECT_NE(r.out.find("Emphasis: 50/15\xC2\xB5s\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("CRC's: Yes\nPrivate: Yes\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ID3v1.1 tag:\nTitle: Title\xC3\xA9\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nGenre: Rock\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nTrack: 5\n"), std::string::npos) << r.out;
}

TEST_F(InfoCommand, IndexWithoutFramesShowsNoneInsteadOfCrashing) {
    WriteFileBytes(dir.File("silence.mp3"), std::vector<uint8_t>(300, 0));
    ASSERT_EQ(RunCli({"scan", dir.File("silence.mp3")}).exitCode, 0);
    const CliResult r = RunCli({"info", dir.File("silence.m3i")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Number of frames: 0\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("First valid frame at: none\nLast valid frame at: none\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("MPEG Invalid Layer Invalid\n"), std::string::npos) << r.out;
}

TEST_F(InfoCommand, IndexWhoseSourceIsGoneShowsTheRecordedSize) {
    const std::string song = WriteSong();
    ASSERT_EQ(RunCli({"scan", song}).exitCode, 0);
    std::remove(song.c_str());
    const CliResult r = RunCli({"info", dir.File("song.m3i")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Filesize: 4,587 bytes\n"), std::string::npos) << r.out;
}

TEST_F(InfoCommand, DamagedIndexFieldsAreRefusedLikeATruncatedIndex) {
    // Breaks when a frame info no header decodes to, or a play time no scan sums, reaches the
    // report's tables and its time arithmetic (out-of-bounds names, a float-to-integer overflow).
    TCutObject cut;
    cut.FileName = dir.File("gone.mp3");
    cut.Name = "gone";
    cut.FrameInfo.Version = 200;
    cut.FrameInfo.Layer = 9;
    cut.FrameInfo.ChannelMode = 77;
    cut.FrameInfo.Emphasis = 255;
    ASSERT_EQ(SaveCutObject(&cut, dir.File("gone.m3i")), 0);
    const CliResult r = RunCli({"info", dir.File("gone.m3i")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Unable to load file from index"), std::string::npos) << r.err;

    TCutObject huge;
    huge.FileName = dir.File("gone.mp3");
    huge.PlayTime = 3e38f;
    ASSERT_EQ(SaveCutObject(&huge, dir.File("huge.m3i")), 0);
    const CliResult h = RunCli({"info", dir.File("huge.m3i")});
    EXPECT_EQ(h.exitCode, 1);
    EXPECT_EQ(h.out.find("Playtime"), std::string::npos) << h.out;
}

TEST_F(InfoCommand, UnreadableIndexAndMissingFilesFail) {
    WriteFileBytes(dir.File("bad.m3i"), std::vector<uint8_t>(40, 'x'));
    const CliResult bad = RunCli({"info", dir.File("bad.m3i")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("Unable to load file from index"), std::string::npos) << bad.err;
    EXPECT_EQ(RunCli({"info", dir.File("none.m3i")}).exitCode, 4);
    EXPECT_EQ(RunCli({"info", dir.File("none.mp3")}).exitCode, 4);
}

}  // namespace
}  // namespace sw::test
