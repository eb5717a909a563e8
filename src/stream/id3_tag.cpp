#include "stream/id3_tag.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace sw {
namespace {

const char* const kGenreNames[kLastGenre + 1] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "Alt. Rock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave",
    "Techno-Industrial", "Electronic", "Pop-folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta Rap", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    "Cabaret", "New Wave", "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk",
    "Folk/Rock", "National Folk", "Swing", "Fast-Fusion", "Bebop", "Latin", "Revival", "Celtic",
    "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour",
    "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhytmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A Capella",
    "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie",
    "BritPop",
    // The punk sub-genre at this number carries a neutral name here.
    "Afro-Punk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal",
    "Crossover", "Contemporary Christian", "Cristian Rock", "Merengue", "Salsa", "Thrash Metal",
    "Anime", "JPop", "Synthpop", "Unknown"};

struct Area {
    int offset;
    int width;
};
constexpr Area kTitle{3, 30};
constexpr Area kArtist{33, 30};
constexpr Area kAlbum{63, 30};
constexpr Area kYear{93, 4};
constexpr Area kComment{97, 30};

bool IsBlankOrControl(unsigned char c) {
    return c <= 0x20 || c == 0x7F;
}

std::string ReadArea(const uint8_t* block, Area area) {
    const auto* begin = reinterpret_cast<const char*>(block + area.offset);
    const char* end = static_cast<const char*>(std::memchr(begin, 0, area.width));
    std::string text(begin, end != nullptr ? end : begin + area.width);
    const auto first = std::find_if_not(text.begin(), text.end(), [](char c) {
        return IsBlankOrControl(static_cast<unsigned char>(c));
    });
    text.erase(text.begin(), first);
    while (!text.empty() && IsBlankOrControl(static_cast<unsigned char>(text.back()))) {
        text.pop_back();
    }
    return text;
}

void WriteArea(uint8_t* block, Area area, const std::string& text) {
    std::memcpy(block + area.offset, text.data(), std::min<size_t>(text.size(), area.width));
}

}  // namespace

bool ReadId3Tag(ByteStream& stream, TID3Tag& tag) {
    tag = TID3Tag{};
    const int64_t size = stream.Size();
    if (size < kId3TagSize) {
        stream.Seek(0, SeekOrigin::End);
        return false;
    }
    uint8_t block[kId3TagSize];
    stream.Seek(size - kId3TagSize, SeekOrigin::Begin);
    stream.ReadBuffer(block, kId3TagSize);
    if (std::memcmp(block, "TAG", 3) != 0) {
        return false;
    }
    tag.Title = ReadArea(block, kTitle);
    tag.Artist = ReadArea(block, kArtist);
    tag.Album = ReadArea(block, kAlbum);
    tag.Year = ReadArea(block, kYear);
    tag.Comment = ReadArea(block, kComment);
    tag.Genre = block[127];
    tag.Track = block[125] == 0 ? block[126] : 0;
    return true;
}

bool WriteId3Tag(ByteStream& stream, const TID3Tag& tag) {
    const int64_t size = stream.Size();
    int64_t at = size;
    if (size >= kId3TagSize) {
        uint8_t existing[kId3TagSize];
        stream.Seek(size - kId3TagSize, SeekOrigin::Begin);
        if (stream.Read(existing, kId3TagSize) == kId3TagSize &&
            std::memcmp(existing, "TAG", 3) == 0) {
            at = size - kId3TagSize;
        }
    }
    uint8_t block[kId3TagSize] = {};
    std::memcpy(block, "TAG", 3);
    WriteArea(block, kTitle, tag.Title);
    WriteArea(block, kArtist, tag.Artist);
    WriteArea(block, kAlbum, tag.Album);
    WriteArea(block, kYear, tag.Year);
    WriteArea(block, kComment, tag.Comment);
    block[127] = tag.Genre;
    if (tag.Track > 0) {
        block[125] = 0;
        block[126] = tag.Track;
    }
    stream.Seek(at, SeekOrigin::Begin);
    const bool complete = stream.Write(block, kId3TagSize) == kId3TagSize;
    stream.Seek(0, SeekOrigin::End);
    return complete;
}

std::string GenreName(uint8_t genre) {
    return kGenreNames[std::min<int>(genre, kLastGenre)];
}

int GenreNumber(const std::string& name) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    for (int genre = 0; genre <= kLastGenre; ++genre) {
        const std::string_view known = kGenreNames[genre];
        if (known.size() == name.size() &&
            std::equal(known.begin(), known.end(), name.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); })) {
            return genre;
        }
    }
    return -1;
}

}  // namespace sw
