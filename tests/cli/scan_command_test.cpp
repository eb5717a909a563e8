#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "run_cli.h"
#include "stream/cut_object.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

// 417 zero bytes, then ten 417-byte frames: the first frame sits at 417 (000001A1h).
std::vector<uint8_t> JunkThenTenFrames() {
    std::vector<uint8_t> bytes(417, 0);
    Append(bytes, MakeFrames(10));
    return bytes;
}

// A 70-byte RIFF/WAVE header whose format tag (offset 20) is tag.
std::vector<uint8_t> WaveHeader(uint16_t formatTag) {
    std::vector<uint8_t> header(70, 0);
    const std::string marks[] = {"RIFF", "WAVE", "fmt "};
    const size_t at[] = {0, 8, 12};
    for (int i = 0; i < 3; ++i) {
        std::copy(marks[i].begin(), marks[i].end(), header.begin() + static_cast<long>(at[i]));
    }
    header[20] = static_cast<uint8_t>(formatTag);
    header[21] = static_cast<uint8_t>(formatTag >> 8);
    return header;
}

struct ScanCommand : ::testing::Test {
    TempDir dir;
};

TEST_F(ScanCommand, WritesIndexBesideSourceNamingItsAbsolutePath) {
    // A relative FileName in the index would break every later load from another folder.
    WriteFileBytes(dir.File("song.mp3"), JunkThenTenFrames());
    const CliResult r = RunCli({"scan", "song.mp3"}, {}, dir.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    CutObjectPtr cut(LoadCutObject(dir.File("song.m3i"), {}));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->FileName, dir.File("song.mp3"));
    EXPECT_EQ(cut->FrameCount(), 10);
    EXPECT_TRUE(cut->CompletelyScanned);
    EXPECT_EQ(FrameOffset(cut.get(), 0), 417);
    EXPECT_NE(r.out.find("Frames: 10"), std::string::npos) << r.out;
}

TEST_F(ScanCommand, JsonIsOneObjectWithTheScanSummary) {
    WriteFileBytes(dir.File("song.mp3"), JunkThenTenFrames());
    const CliResult r = RunCli({"scan", dir.File("song.mp3"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(r.out.front(), '{');
    ASSERT_EQ(r.out.find('\n'), r.out.size() - 1) << "one line, one object";
    EXPECT_EQ(JsonField(r.out, "frames"), "10");
    EXPECT_EQ(JsonField(r.out, "dropped_frames"), "0");
    EXPECT_EQ(JsonField(r.out, "vbr"), "false");
    EXPECT_EQ(JsonField(r.out, "has_tag"), "false");
    EXPECT_EQ(JsonField(r.out, "first_offset"), "417");
    EXPECT_EQ(JsonField(r.out, "last_offset"), "4170");
    EXPECT_EQ(JsonField(r.out, "file_size"), "4587");
    EXPECT_EQ(JsonField(r.out, "status"), "0");
    EXPECT_EQ(JsonField(r.out, "play_time").substr(0, 6), "0.2606");
    EXPECT_EQ(JsonField(r.out, "index_file"), "\"" + dir.File("song.m3i") + "\"");
    EXPECT_EQ(JsonField(r.out, "tag"), "null");
}

TEST_F(ScanCommand, IndexOptionWritesThereAndNothingBeside) {
    WriteFileBytes(dir.File("song.mp3"), MakeFrames(3));
    const CliResult r = RunCli({"scan", dir.File("song.mp3"), "--index", dir.File("x.m3i")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(FileExists(dir.File("x.m3i")));
    EXPECT_FALSE(FileExists(dir.File("song.m3i")));

    const CliResult none = RunCli({"scan", dir.File("song.mp3"), "--no-index"});
    ASSERT_EQ(none.exitCode, 0) << none.err;
    EXPECT_FALSE(FileExists(dir.File("song.m3i")));
}

TEST_F(ScanCommand, IndexNamedLikeTheSourceCannotReplaceIt) {
    // The index is saved by a rename: pointed at the source, it would destroy the audio.
    const std::vector<uint8_t> audio = MakeFrames(3);
    WriteFileBytes(dir.File("song.mp3"), audio);
    const CliResult r = RunCli({"scan", dir.File("song.mp3"), "--index", dir.File("song.mp3")});
    EXPECT_EQ(r.exitCode, 64);
    EXPECT_EQ(ReadFileBytes(dir.File("song.mp3")), audio);
}

TEST_F(ScanCommand, PcmWaveIsRefusedAndMpegWaveIsScannedBehindItsHeader) {
    std::vector<uint8_t> pcm = WaveHeader(1);
    Append(pcm, std::vector<uint8_t>(1000, 0));
    WriteFileBytes(dir.File("pcm.wav"), pcm);
    const CliResult refused = RunCli({"scan", dir.File("pcm.wav")});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("MP3 encoded wave-files"), std::string::npos) << refused.err;
    EXPECT_FALSE(FileExists(dir.File("pcm.m3i")));

    std::vector<uint8_t> mpeg = WaveHeader(85);
    Append(mpeg, MakeFrames(4));
    WriteFileBytes(dir.File("mp3.WAV"), mpeg);
    const CliResult r = RunCli({"scan", dir.File("mp3.WAV"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonField(r.out, "frames"), "4");
    EXPECT_EQ(JsonField(r.out, "first_offset"), "70");
    EXPECT_TRUE(FileExists(dir.File("mp3.m3i")));
}

TEST_F(ScanCommand, MissingFileExitsWithFileNotFound) {
    const CliResult r = RunCli({"scan", dir.File("nothing.mp3")});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_NE(r.err.find(dir.File("nothing.mp3")), std::string::npos) << r.err;
    EXPECT_FALSE(FileExists(dir.File("nothing.m3i")));
}

TEST_F(ScanCommand, FileWithoutFramesSucceedsWithNullOffsets) {
    WriteFileBytes(dir.File("empty.mp3"), std::vector<uint8_t>(500, 0));
    const CliResult r = RunCli({"scan", dir.File("empty.mp3"), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(JsonField(r.out, "frames"), "0");
    EXPECT_EQ(JsonField(r.out, "dropped_frames"), "-1");
    EXPECT_EQ(JsonField(r.out, "first_offset"), "null");
    EXPECT_EQ(JsonField(r.out, "last_offset"), "null");
}

TEST_F(ScanCommand, JsonEscapesFileNameBytesAndTagTexts) {
    // File names are bytes: a quote or a byte that is not UTF-8 must not break the JSON.
    const std::string name = dir.File("a\"b\xE9.mp3");
    std::vector<uint8_t> bytes = MakeFrames(3);
    Append(bytes, MakeId3v1("Caf\xE9\\", 12, 7));
    WriteFileBytes(name, bytes);
    const CliResult r = RunCli({"scan", name, "--json", "--no-index"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("a\\\"b\xC3\xA9.mp3\""), std::string::npos) << r.out;
    EXPECT_EQ(JsonField(r.out, "has_tag"), "true");
    EXPECT_NE(r.out.find("\"title\":\"Caf\xC3\xA9\\\\\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"track\":7"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace sw::test
