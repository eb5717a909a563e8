// "split" and "cuesheet", and the source's ID3v2 tag in "info", on the corpus's real encoder
// output: a LAME file with an Info frame, an ID3v2 tag and a cover picture.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "engine/scan.h"
#include "frame_builder.h"
#include "program_output.h"
#include "project/sheet_cues.h"
#include "run_cli.h"

namespace sw::test {
namespace {

const std::string kSource = std::string(SW_CORPUS_DIR) + "/id3v2_cover.mp3";

struct SheetCommands : ::testing::Test {
    TempDir dir;
    std::string source = dir.File("album.mp3");
    std::vector<uint8_t> bytes;
    std::vector<int64_t> offsets;  // of every frame, and the end of the last
    StreamTiming timing;

    void SetUp() override {
        bytes = ReadFileBytes(kSource);
        WriteFileBytes(source, bytes);
        CutObjectPtr cut(CreateCutObject(source, {}));
        WorkerControl control;
        ASSERT_EQ(ScanFrames(*cut, control), 0);
        for (int32_t frame = 0; frame < cut->FrameCount(); ++frame) {
            offsets.push_back(FrameOffset(cut.get(), frame));
        }
        offsets.push_back(static_cast<int64_t>(bytes.size()));
        timing = TimingOf(*cut);
    }

    std::string WriteSheet(const std::string& name, const std::string& text) {
        WriteFileBytes(dir.File(name), std::vector<uint8_t>(text.begin(), text.end()));
        return dir.File(name);
    }
    // The source's frames first..last.
    std::vector<uint8_t> Frames(int64_t first, int64_t last) const {
        return std::vector<uint8_t>(bytes.begin() + offsets[static_cast<size_t>(first)],
                                    bytes.begin() + offsets[static_cast<size_t>(last + 1)]);
    }
    // A piece's bytes between its ID3v2 tag (its size from the header) and its ID3v1 tag.
    static std::vector<uint8_t> Audio(const std::vector<uint8_t>& piece) {
        EXPECT_GE(piece.size(), 10u + 128);
        EXPECT_EQ(std::string(piece.begin(), piece.begin() + 3), "ID3");
        const size_t tag = 10 + (size_t(piece[6]) << 21 | size_t(piece[7]) << 14 |
                                 size_t(piece[8]) << 7 | piece[9]);
        EXPECT_EQ(std::string(piece.end() - 128, piece.end() - 125), "TAG");
        return std::vector<uint8_t>(piece.begin() + static_cast<long>(tag), piece.end() - 128);
    }
};

constexpr char kSheet[] =
    "REM GENRE \"Speech\"\r\n"
    "REM DATE 2001\r\n"
    "PERFORMER \"Sheet Band\"\r\n"
    "TITLE \"Sheet Album\"\r\n"
    "FILE \"album.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n"
    "    TITLE \"Intro\"\r\n"
    "    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n"
    "    TITLE \"Middle: part 1/2?\"\r\n"
    "    INDEX 00 00:00:60\r\n"
    "    INDEX 01 00:01:00\r\n"
    "  TRACK 03 AUDIO\r\n"
    "    PERFORMER \"Guest\"\r\n"
    "    TITLE \"Ende\"\r\n"
    "    INDEX 01 00:02:00\r\n";

TEST_F(SheetCommands, SheetSplitWritesNamedTaggedPiecesOfTheWholeMusic) {
    // The pieces, without their tags, end with the source's audio frames from the first after the
    // Info frame to the last (clean cuts put their header frame and lead-in before them; --raw
    // writes the frames alone), each track's where its time says, and their tags say what the
    // sheet says (the tags themselves are checked where they are written).
    const std::string sheet = WriteSheet("album.cue", kSheet);
    const std::string out = dir.File("tracks");
    const CliResult r = RunCli({"split", sheet, out});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string names[] = {out + "/01 - Intro.mp3", out + "/02 - Middle_ part 1_2_.mp3",
                                 out + "/03 - Guest - Ende.mp3"};
    EXPECT_EQ(r.out, names[0] + "\n" + names[1] + "\n" + names[2] + "\n");
    const int64_t second = SheetTimeToFrame(75, timing);
    const int64_t third = SheetTimeToFrame(150, timing);
    ASSERT_EQ(timing.FirstAudioFrame, 1);
    ASSERT_LT(second, third);
    const auto endsWith = [](const std::vector<uint8_t>& piece, const std::vector<uint8_t>& end) {
        return piece.size() > end.size() &&
               std::equal(end.begin(), end.end(), piece.end() - long(end.size()));
    };
    EXPECT_TRUE(endsWith(Audio(ReadFileBytes(names[0])), Frames(1, second - 1)));
    EXPECT_TRUE(endsWith(Audio(ReadFileBytes(names[1])), Frames(second, third - 1)));
    EXPECT_TRUE(endsWith(Audio(ReadFileBytes(names[2])), Frames(third, offsets.size() - 2)));
    ASSERT_EQ(RunCli({"split", sheet, out + "/raw", "--raw"}).exitCode, 0);
    EXPECT_EQ(Audio(ReadFileBytes(out + "/raw/02 - Middle_ part 1_2_.mp3")),
              Frames(second, third - 1));

    const std::string probe =
        ProgramOutput({"ffprobe", "-v", "error", "-show_entries", "format_tags", "-of",
                       "default=noprint_wrappers=1", names[2]});
    EXPECT_NE(probe.find("TAG:title=Ende\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:artist=Guest\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:album=Sheet Album\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:date=2001\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:genre=Speech\n"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:track=3/3\n"), std::string::npos) << probe;
    const std::string eyed3 = ProgramOutput({"eyeD3", "--no-color", names[0]});
    EXPECT_NE(eyed3.find("artist: Sheet Band"), std::string::npos) << eyed3;
    EXPECT_NE(eyed3.find("Image: [Size: 1871 bytes] [Type: image/png]"), std::string::npos)
        << eyed3;
}

TEST_F(SheetCommands, ProjectToSheetToPiecesGivesTheProjectsPieces) {
    // project -> cuesheet -> split gives the bytes a split of the project gives.
    const std::string sheet = WriteSheet("album.cue", kSheet);
    const std::string project = dir.File("album.m3p");
    CliResult r = RunCli({"project", project, sheet});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Saved 1 files and 3 cues to " + project + "\n");
    const std::string written = dir.File("again.cue");
    r = RunCli({"cuesheet", project, written});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    r = RunCli({"split", project, dir.File("from project"), "--format", "wav"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = RunCli({"split", written, dir.File("from sheet"), "--format", "wav"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* name :
         {"/01 - Intro.wav", "/02 - Middle_ part 1_2_.wav", "/03 - Guest - Ende.wav"}) {
        const std::vector<uint8_t> piece = ReadFileBytes(dir.File("from project") + name);
        ASSERT_GT(piece.size(), 70u);
        EXPECT_EQ(piece, ReadFileBytes(dir.File("from sheet") + name)) << name;
    }
}

TEST_F(SheetCommands, BadSheetsAndArgumentsSplitNothing) {
    const std::string missing =
        WriteSheet("missing.cue",
                   "FILE \"album.mp3\" MP3\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                   "FILE \"gone.mp3\" MP3\nTRACK 02 AUDIO\nINDEX 01 00:00:00\n");
    const std::string out = dir.File("out");
    CliResult r = RunCli({"split", missing, out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        r.err.find("The cue sheet \"" + missing + "\" cannot be imported: line 4: the file \"" +
                   dir.File("gone.mp3") + "\" does not exist"),
        std::string::npos)
        << r.err;
    // Nothing is made, not even the folder, for a sheet that cannot be imported.
    EXPECT_FALSE(std::filesystem::exists(out));

    EXPECT_EQ(RunCli({"split", source, out}).exitCode, 64);
    EXPECT_EQ(RunCli({"split", missing, out, "--tags", "id3"}).exitCode, 64);
    EXPECT_EQ(RunCli({"split", missing, out, "--format", "flac"}).exitCode, 64);
    EXPECT_EQ(RunCli({"cuesheet", missing, dir.File("x.cue")}).exitCode, 64);
    EXPECT_EQ(RunCli({"cuesheet", dir.File("none.m3p"), dir.File("x.cue")}).exitCode, 4);
    EXPECT_EQ(RunCli({"cuesheet", dir.File("none.m3p"), dir.File("x.m3u")}).exitCode, 64);
}

TEST_F(SheetCommands, InfoShowsTheSourcesId3v2TitleAndArtist) {
    const CliResult r = RunCli({"info", source});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("No ID3v1.1 tag found\n\nID3v2 tag:\nTitle: Cover Title\nArtist: Cover "
                         "Artist\n"),
              std::string::npos)
        << r.out;
    const CliResult json = RunCli({"info", source, "--json"});
    EXPECT_NE(json.out.find("\"id3v2\":{\"title\":\"Cover Title\",\"artist\":\"Cover Artist\"}"),
              std::string::npos)
        << json.out;
}

}  // namespace
}  // namespace sw::test
