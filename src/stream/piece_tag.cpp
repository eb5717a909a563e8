#include "stream/piece_tag.h"

#include "stream/text_encoding.h"

namespace sw {

namespace {

constexpr const char* kKindNames[] = {"none", "v1", "v2", "both"};

std::string Cut(std::string text, size_t width) {
    if (text.size() > width) {
        text.resize(width);
    }
    return text;
}

}  // namespace

bool PieceTagKindsOf(const std::string& name, PieceTagKinds& kinds) {
    for (int i = 0; i < 4; ++i) {
        if (name == kKindNames[i]) {
            kinds = static_cast<PieceTagKinds>(i);
            return true;
        }
    }
    return false;
}

TID3Tag Id3v1TagOf(const PieceTag& tag) {
    TID3Tag v1;
    v1.Title = Cut(Utf8ToLatin1(tag.Title), 30);
    v1.Artist = Cut(Utf8ToLatin1(tag.Artist), 30);
    v1.Album = Cut(Utf8ToLatin1(tag.Album), 30);
    v1.Year = Cut(Utf8ToLatin1(tag.Year), 4);
    const int genre = GenreNumber(tag.Genre);
    v1.Genre = static_cast<uint8_t>(genre >= 0 ? genre : 255);
    v1.Track = static_cast<uint8_t>(tag.Track > 0 && tag.Track <= 255 ? tag.Track : 0);
    return v1;
}

}  // namespace sw
