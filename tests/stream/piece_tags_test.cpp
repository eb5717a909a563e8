// The tags TagLib reads from sources and writes into exported pieces, checked against what other
// programs read back: ffprobe, eyeD3, and ffmpeg's decoder for the audio in between.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "frame_builder.h"
#include "program_output.h"
#include "stream/taglib/piece_tagging.h"
#include "stream/taglib/source_tags_reader.h"

namespace sw::test {
namespace {

std::string Corpus(const std::string& name) {
    return std::string(SW_CORPUS_DIR) + "/" + name;
}

std::string DecodedAudio(const std::string& fileName) {
    return ProgramOutput(
        {"ffmpeg", "-nostdin", "-v", "error", "-i", fileName, "-map", "0:a", "-f", "md5", "-"});
}

TEST(SourceTags, Id3v2FirstThenId3v1AndNothingFromWhatIsNoFile) {
    // The split takes artist, album, year, genre and cover from here when the sheet has none.
    const SourceTags cover = ReadSourceTags(Corpus("id3v2_cover.mp3"));
    EXPECT_TRUE(cover.HasId3v2);
    EXPECT_EQ(cover.Title, "Cover Title");
    EXPECT_EQ(cover.Artist, "Cover Artist");
    ASSERT_TRUE(cover.Picture);
    EXPECT_EQ(cover.Picture->MimeType, "image/png");
    ASSERT_GT(cover.Picture->Data.size(), 8u);
    EXPECT_EQ(std::string(cover.Picture->Data.begin(), cover.Picture->Data.begin() + 4), "\x89PNG");

    const SourceTags v1 = ReadSourceTags(Corpus("id3v1_track.mp3"));
    EXPECT_FALSE(v1.HasId3v2);
    EXPECT_EQ(v1.Title, "Corpus Title");
    EXPECT_EQ(v1.Album, "Corpus Album");
    EXPECT_EQ(v1.Year, "2024");
    EXPECT_EQ(v1.Genre, "Speech");
    EXPECT_FALSE(v1.Picture);

    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("fifo.mp3").c_str(), 0600), 0);
    EXPECT_EQ(ReadSourceTags(dir.File("fifo.mp3")).Title, "");  // returns, does not wait
    EXPECT_EQ(ReadSourceTags(dir.File("missing.mp3")).Title, "");
}

TEST(PieceTags, WrittenTagsReadBackInOtherProgramsAndLeaveTheAudioAlone) {
    if (!ProgramInstalled("ffprobe") || !ProgramInstalled("eyeD3")) {
        GTEST_SKIP() << "ffprobe or eyeD3 missing";
    }
    TempDir dir;
    const std::vector<uint8_t> audio = ReadFileBytes(Corpus("cbr128_plain.mp3"));
    const std::string piece = dir.File("03 - Ca va.mp3");
    WriteFileBytes(piece, audio);
    const std::string before = DecodedAudio(piece);

    PieceTag tag;
    tag.Title =
        "\xC3\x87"
        "a va \"bien\"";                         // Ça va "bien"
    tag.Artist = "\xC3\x9Cnknown \xE2\x98\x85";  // a star Latin-1 lacks
    tag.Album = "Live at the Caf\xC3\xA9";
    tag.Year = "1999";
    tag.Genre = "Progressive Rock";
    tag.Track = 3;
    tag.TrackCount = 12;
    tag.Picture = ReadSourceTags(Corpus("id3v2_cover.mp3")).Picture;
    WritePieceTags(piece, tag, PieceTagKinds::Both);

    const std::vector<uint8_t> tagged = ReadFileBytes(piece);
    const std::vector<uint8_t> front = RenderId3v24Tag(tag);
    ASSERT_EQ(tagged.size(), front.size() + audio.size() + 128);
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), tagged.begin() + front.size()));
    EXPECT_EQ(std::string(tagged.begin(), tagged.begin() + 4), std::string("ID3\x04", 4));
    const std::string v1(tagged.end() - 128, tagged.end());
    EXPECT_EQ(v1.substr(0, 15),
              "TAG\xC7"
              "a va \"bien\"");
    EXPECT_EQ(v1.substr(33, 9), "\xDCnknown ?");
    EXPECT_EQ(v1.substr(93, 4), "1999");
    EXPECT_EQ(static_cast<uint8_t>(v1[125]), 0);
    EXPECT_EQ(static_cast<uint8_t>(v1[126]), 3);
    EXPECT_EQ(static_cast<uint8_t>(v1[127]), 92);  // Progressive Rock
    EXPECT_EQ(DecodedAudio(piece), before);

    const std::string probe =
        ProgramOutput({"ffprobe", "-v", "error", "-show_entries", "format_tags", "-of",
                       "default=noprint_wrappers=1", piece});
    EXPECT_NE(probe.find("TAG:title=\xC3\x87"
                         "a va \"bien\""),
              std::string::npos)
        << probe;
    EXPECT_NE(probe.find("TAG:artist=\xC3\x9Cnknown \xE2\x98\x85"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:album=Live at the Caf\xC3\xA9"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:date=1999"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:genre=Progressive Rock"), std::string::npos) << probe;
    EXPECT_NE(probe.find("TAG:track=3/12"), std::string::npos) << probe;

    const std::string eyed3 = ProgramOutput({"eyeD3", "--no-color", piece});
    EXPECT_NE(eyed3.find("ID3 v2.4"), std::string::npos) << eyed3;
    EXPECT_NE(eyed3.find("title: \xC3\x87"
                         "a va \"bien\""),
              std::string::npos)
        << eyed3;
    EXPECT_NE(eyed3.find("track: 3/12"), std::string::npos) << eyed3;
    EXPECT_NE(eyed3.find("Image: [Size: " + std::to_string(tag.Picture->Data.size()) +
                         " bytes] [Type: image/png]"),
              std::string::npos)
        << eyed3;
    const std::string eyed3v1 = ProgramOutput({"eyeD3", "--no-color", "-1", piece});
    EXPECT_NE(eyed3v1.find("ID3 v1.1"), std::string::npos) << eyed3v1;
    EXPECT_NE(eyed3v1.find("track: 3"), std::string::npos) << eyed3v1;

    // A piece reached through a link is tagged in the file the link names; the link stays.
    WriteFileBytes(dir.File("real.mp3"), audio);
    ASSERT_EQ(symlink(dir.File("real.mp3").c_str(), dir.File("link.mp3").c_str()), 0);
    WritePieceTags(dir.File("link.mp3"), tag, PieceTagKinds::V1);
    struct stat info {};
    ASSERT_EQ(lstat(dir.File("link.mp3").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadFileBytes(dir.File("real.mp3")).size(), audio.size() + 128);
}

}  // namespace
}  // namespace sw::test
