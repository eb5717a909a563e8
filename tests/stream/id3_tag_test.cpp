#include "stream/id3_tag.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "frame_builder.h"
#include "stream/file_stream.h"
#include "stream/memory_stream.h"

namespace sw {
namespace {

using test::Append;
using test::MakeFrames;

TID3Tag FullTag() {
    TID3Tag tag;
    tag.Title = "Title";
    tag.Artist = "Artist";
    tag.Album = "Album";
    tag.Year = "1999";
    tag.Comment = "Comment";
    tag.Genre = 17;
    tag.Track = 4;
    return tag;
}

// A raw tag block with each area set by the test.
std::vector<uint8_t> RawTag() {
    std::vector<uint8_t> tag(128, 0);
    tag[0] = 'T';
    tag[1] = 'A';
    tag[2] = 'G';
    return tag;
}

void Put(std::vector<uint8_t>& block, size_t offset, const std::string& text) {
    std::copy(text.begin(), text.end(), block.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::vector<uint8_t> WithFrames(const std::vector<uint8_t>& tag) {
    std::vector<uint8_t> bytes = MakeFrames(3);
    Append(bytes, tag);
    return bytes;
}

TEST(Id3Tag, LowerCaseTagIsNoTagAndEmptiesTheRecord) {
    // Breaks when the marker is compared case-insensitively or a stale tag survives.
    std::vector<uint8_t> block = RawTag();
    block[0] = 't';
    block[1] = 'a';
    block[2] = 'g';
    Put(block, 3, "Title");
    MemoryStream stream(WithFrames(block));
    TID3Tag tag = FullTag();
    EXPECT_FALSE(ReadId3Tag(stream, tag));
    EXPECT_EQ(tag, TID3Tag{});
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(Id3Tag, StreamShorterThanATagHasNone) {
    // Breaks when a short file makes the reader seek before the start or read garbage.
    for (size_t size : {0u, 3u, 127u}) {
        std::vector<uint8_t> bytes(size, 0);
        if (size >= 3) {
            Put(bytes, 0, "TAG");
        }
        MemoryStream stream(bytes);
        TID3Tag tag = FullTag();
        EXPECT_FALSE(ReadId3Tag(stream, tag)) << size;
        EXPECT_EQ(tag, TID3Tag{});
    }
    MemoryStream exact(RawTag());
    TID3Tag tag;
    EXPECT_TRUE(ReadId3Tag(exact, tag));
}

TEST(Id3Tag, TrackNumberOnlyWhenByte125IsZero) {
    // Breaks the version 1.0/1.1 distinction: a 30-character comment must not become a track.
    std::vector<uint8_t> v11 = RawTag();
    Put(v11, 97, std::string(28, 'c'));
    v11[126] = 7;
    MemoryStream stream11(WithFrames(v11));
    TID3Tag tag;
    ASSERT_TRUE(ReadId3Tag(stream11, tag));
    EXPECT_EQ(tag.Track, 7);
    EXPECT_EQ(tag.Comment, std::string(28, 'c'));

    std::vector<uint8_t> v10 = RawTag();
    Put(v10, 97, std::string(30, 'd'));
    MemoryStream stream10(WithFrames(v10));
    ASSERT_TRUE(ReadId3Tag(stream10, tag));
    EXPECT_EQ(tag.Track, 0);
    EXPECT_EQ(tag.Comment, std::string(30, 'd'));
}

TEST(Id3Tag, TextsEndAtZeroAndAreTrimmedButHighBytesStay) {
    // Breaks on untrimmed padding, on an area without a terminator read past its end, and on a
    // trim that treats Latin-1 letters (bytes >= 0x80) as blanks.
    std::vector<uint8_t> block = RawTag();
    Put(block, 3, "  Hello");
    Put(block, 33, std::string(30, 'A'));  // no zero byte: the whole area
    Put(block, 63, "\t\x01 Caf\xE9 \x02");
    Put(block, 93, "2001");  // year fills its area; the comment follows directly
    Put(block, 97, "x");
    block[127] = 80;
    MemoryStream stream(WithFrames(block));
    TID3Tag tag;
    ASSERT_TRUE(ReadId3Tag(stream, tag));
    EXPECT_EQ(tag.Title, "Hello");
    EXPECT_EQ(tag.Artist, std::string(30, 'A'));
    EXPECT_EQ(tag.Album, "Caf\xE9");
    EXPECT_EQ(tag.Year, "2001");
    EXPECT_EQ(tag.Comment, "x");
    EXPECT_EQ(tag.Genre, 80);
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(Id3Tag, CommentOfThirtyKeepsBytes125And126WithoutTrack) {
    // Breaks version 1.0 comments (cut to 28) or lets the comment run into the genre byte.
    TID3Tag tag;
    tag.Comment = std::string(29, 'c') + "Z";
    tag.Genre = 17;
    MemoryStream stream;
    ASSERT_TRUE(WriteId3Tag(stream, tag));
    const std::vector<uint8_t>& bytes = stream.Bytes();
    ASSERT_EQ(bytes.size(), 128u);
    EXPECT_EQ(std::string(bytes.begin() + 97, bytes.begin() + 127), tag.Comment);
    EXPECT_EQ(bytes[127], 17);

    tag.Track = 3;
    MemoryStream withTrack;
    ASSERT_TRUE(WriteId3Tag(withTrack, tag));
    const std::vector<uint8_t>& b = withTrack.Bytes();
    EXPECT_EQ(std::string(b.begin() + 97, b.begin() + 125), std::string(28, 'c'));
    EXPECT_EQ(b[125], 0);
    EXPECT_EQ(b[126], 3);
    EXPECT_EQ(b[127], 17);
}

TEST(Id3Tag, WriterLayoutAndOverlongTextsStayInTheirAreas) {
    // Breaks the file layout, or lets a long text spill into the next field.
    TID3Tag tag;
    tag.Title = std::string(40, 't');
    tag.Artist = "ar";
    tag.Album = std::string(31, 'l');
    tag.Year = "199999";
    tag.Comment = "co";
    tag.Genre = 255;
    MemoryStream stream;
    ASSERT_TRUE(WriteId3Tag(stream, tag));
    std::vector<uint8_t> expected = RawTag();
    Put(expected, 3, std::string(30, 't'));
    Put(expected, 33, "ar");
    Put(expected, 63, std::string(30, 'l'));
    Put(expected, 93, "1999");
    Put(expected, 97, "co");
    expected[127] = 255;
    EXPECT_EQ(stream.Bytes(), expected);
}

TEST(Id3Tag, WriteReplacesAnExistingTagAndAppendsOtherwise) {
    // Breaks files that get a second tag behind the first, or lose audio to an overwrite.
    const std::vector<uint8_t> audio = MakeFrames(3);
    MemoryStream stream(audio);
    ASSERT_TRUE(WriteId3Tag(stream, FullTag()));
    EXPECT_EQ(stream.Size(), static_cast<int64_t>(audio.size()) + 128);
    EXPECT_EQ(stream.Position(), stream.Size());

    TID3Tag second = FullTag();
    second.Title = "Second";
    second.Track = 0;
    ASSERT_TRUE(WriteId3Tag(stream, second));
    EXPECT_EQ(stream.Size(), static_cast<int64_t>(audio.size()) + 128);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_TRUE(std::equal(audio.begin(), audio.end(), stream.Bytes().begin()));

    TID3Tag read;
    ASSERT_TRUE(ReadId3Tag(stream, read));
    EXPECT_EQ(read, second);

    MemoryStream tiny(std::vector<uint8_t>{1, 2, 3});
    ASSERT_TRUE(WriteId3Tag(tiny, second));
    EXPECT_EQ(tiny.Size(), 131);
    EXPECT_EQ(tiny.Bytes()[0], 1);
}

TEST(Id3Tag, RoundTripThroughAFile) {
    // Breaks the project export's tag on a real file stream.
    test::TempDir dir;
    const std::string name = dir.File("tagged.mp3");
    test::WriteFileBytes(name, MakeFrames(2));
    TID3Tag tag = FullTag();
    tag.Title = std::string(30, 'T');
    tag.Comment = std::string(28, 'C');
    tag.Track = 255;
    {
        FileStream file(name, FileMode::OpenReadWrite);
        ASSERT_TRUE(WriteId3Tag(file, tag));
    }
    EXPECT_EQ(test::ReadFileBytes(name).size(), 2u * 417 + 128);
    FileStream file(name, FileMode::OpenRead);
    TID3Tag read;
    ASSERT_TRUE(ReadId3Tag(file, read));
    EXPECT_EQ(read, tag);
}

TEST(Id3Tag, GenreNamesAreTheProgramsList) {
    // Breaks the genre lists of the properties dialog and report: texts are shown exactly,
    // including their historical spellings.
    // clang-format off
    const char* const names[] = {
        "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
        "Metal", "New age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
        "Industrial", "Alternative", "Ska", "Death metal", "Pranks", "Soundtrack", "Euro-Techno",
        "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical",
        "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "Alt. Rock",
        "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",
        "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-folk", "Eurodance",
        "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta Rap", "Top 40", "Christian Rap",
        "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave",
        "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro",
        "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk/Rock", "National Folk", "Swing",
        "Fast-Fusion", "Bebop", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde",
        "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock",
        "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
        "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire",
        "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad", "Rhytmic Soul",
        "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A Capella", "Euro-House", "Dance Hall",
        "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop",
        nullptr /* 133: see GenreName133IsANeutralName */, "Polsk Punk", "Beat",
        "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",
        "Contemporary Christian", "Cristian Rock", "Merengue", "Salsa", "Thrash Metal", "Anime",
        "JPop", "Synthpop", "Unknown"};
    // clang-format on
    static_assert(std::size(names) == 149);
    for (int genre = 0; genre <= kLastGenre; ++genre) {
        if (names[genre] != nullptr) {
            EXPECT_EQ(GenreName(static_cast<uint8_t>(genre)), names[genre]) << genre;
        }
    }
    for (int genre = kLastGenre + 1; genre <= 255; ++genre) {
        EXPECT_EQ(GenreName(static_cast<uint8_t>(genre)), "Unknown") << genre;
    }
}

TEST(Id3Tag, GenreName133IsANeutralName) {
    // Breaks if the slur that some genre lists carry under this number comes back: the name
    // must be a real, distinct, printable text that does not contain that word's stem.
    const std::string name = GenreName(133);
    EXPECT_FALSE(name.empty());
    EXPECT_NE(name, "Unknown");
    std::string lower;
    for (char c : name) {
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << name;
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    const std::string stem = {0x6E, 0x65, 0x67, 0x65, 0x72};
    EXPECT_EQ(lower.find(stem), std::string::npos) << name;
    std::set<std::string> others;
    for (int genre = 0; genre <= kLastGenre; ++genre) {
        if (genre != 133) {
            others.insert(GenreName(static_cast<uint8_t>(genre)));
        }
    }
    EXPECT_EQ(others.count(name), 0u) << name;
}

}  // namespace
}  // namespace sw
