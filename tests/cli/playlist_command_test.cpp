// "playlist OUT.m3u ITEM...": the bin written as the "Save bin" command writes it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "document_fixture.h"
#include "run_cli.h"
#include "stream/file_names.h"

namespace sw::test {
namespace {

struct PlaylistCommand : ::testing::Test {
    TempDir dir;
    TempDir other;
    std::string a = dir.File("a.mp3");
    std::string b = other.File("b.mp3");
    std::string out = dir.File("list.m3u");

    void SetUp() override {
        WriteFileBytes(a, MakeFrames(100));
        WriteFileBytes(b, MakeFrames(250));
    }

    std::vector<uint8_t> Expected(const std::vector<std::string>& files) const {
        std::vector<PlaylistEntry> entries;
        for (const std::string& file : files) {
            entries.push_back({file, DisplayName(file), ScannedPlayTime(file)});
        }
        return PlaylistBytes(out, entries);
    }
};

TEST_F(PlaylistCommand, WritesTheCoreWritersBytesWithBareNamesInItsOwnFolder) {
    // A file beside the playlist written in full (or one elsewhere written bare) would not read
    // back when the folder moves; the header, CR LF ends and rounding come from the writer.
    const CliResult r = RunCli({"playlist", out, a, b});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out), Expected({a, b}));
    const std::vector<uint8_t> bytes = ReadFileBytes(out);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("\r\na.mp3\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\n" + b + "\r\n"), std::string::npos) << text;
}

TEST_F(PlaylistCommand, ARelativeOutputNameStillWritesBareNames) {
    // The comparison must use the playlist's absolute folder, not the "" of a bare OUT.
    const CliResult r = RunCli({"playlist", "list.m3u", "a.mp3"}, {}, dir.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out), Expected({a}));
}

TEST_F(PlaylistCommand, PlaylistItemsAreReadAndTheirEntriesWrittenAgain) {
    // Reading a playlist (its "\" lines too) must give back its files, so a playlist written by
    // the tool and read by it is the same list.
    ASSERT_EQ(RunCli({"playlist", out, a, b}).exitCode, 0);
    const std::string copy = other.File("copy.m3u");
    const CliResult r = RunCli({"playlist", copy, out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::vector<PlaylistEntry> entries = {{a, "a", ScannedPlayTime(a)},
                                          {b, "b", ScannedPlayTime(b)}};
    EXPECT_EQ(ReadFileBytes(copy), PlaylistBytes(copy, entries));

    ASSERT_EQ(::mkdir(dir.File("sub").c_str(), 0755), 0);
    WriteFileBytes(dir.File("sub/c.mp3"), MakeFrames(3));
    const std::string dos = "# made elsewhere\r\nsub\\c.mp3\r\n";
    WriteFileBytes(dir.File("dos.m3u"), std::vector<uint8_t>(dos.begin(), dos.end()));
    ASSERT_EQ(RunCli({"playlist", out, dir.File("dos.m3u")}).exitCode, 0);
    EXPECT_EQ(ReadFileBytes(out), Expected({dir.File("sub/c.mp3")}));
}

TEST_F(PlaylistCommand, AListOfCommentsOnlyAddsNothingAndFails) {
    // An empty import reported as success would hide a broken playlist.
    const std::string comments = "#EXTM3U\n# nothing here\n\n";
    WriteFileBytes(dir.File("empty.m3u"), std::vector<uint8_t>(comments.begin(), comments.end()));
    const CliResult r = RunCli({"playlist", out, dir.File("empty.m3u")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Unable to add file to project"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(out), Expected({}));
}

TEST_F(PlaylistCommand, OutputMustBeAPlaylistNameAndNeverAnInput) {
    // The playlist writer must not replace an audio file, and a playlist read as an item and
    // written as the output at once must stay readable.
    const auto before = ReadFileBytes(a);
    EXPECT_EQ(RunCli({"playlist", a, b}).exitCode, 64);
    EXPECT_EQ(RunCli({"playlist", dir.File("x.m3p"), b}).exitCode, 64);
    EXPECT_EQ(ReadFileBytes(a), before);
    ASSERT_EQ(RunCli({"playlist", out, a}).exitCode, 0);
    const CliResult r = RunCli({"playlist", out, out, b});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(out), Expected({a, b}));
}

}  // namespace
}  // namespace sw::test
