#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "stream/id3_tag.h"

namespace sw {

// A picture from a tag (ID3v2 APIC): its type is the ID3v2 picture type, 3 the front cover.
struct TagPicture {
    std::string MimeType;
    std::string Description;
    int Type = 3;
    std::vector<uint8_t> Data;
};

// What the tags of one exported piece say. Texts are UTF-8; Track is the piece's place in its
// split, TrackCount the number of pieces (0: none). The picture is shared by every piece of one
// source.
struct PieceTag {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Genre;
    int Track = 0;
    int TrackCount = 0;
    std::shared_ptr<const TagPicture> Picture;
};

// Which tags an exported piece gets: none, an ID3v1.1 tag at its end, an ID3v2.4 tag at its
// start, or both. The values are also the settings store's and the command line's order.
enum class PieceTagKinds { None = 0, V1 = 1, V2 = 2, Both = 3 };

// The kinds of a name: "none", "v1", "v2" or "both"; false for any other text.
bool PieceTagKindsOf(const std::string& name, PieceTagKinds& kinds);

// The piece's ID3v1.1 tag: its texts in Latin-1 (characters Latin-1 lacks become "?"), cut to
// the tag's widths, the genre's number when the genre is one of the tag's names (else 255, no
// genre), the track number when it fits a byte.
TID3Tag Id3v1TagOf(const PieceTag& tag);

}  // namespace sw
