#pragma once

#include <cstdint>
#include <string>

#include "stream/byte_stream.h"

namespace sw {

// An ID3 version 1.0/1.1 tag. Texts hold the tag's bytes (Latin-1 by custom), unconverted.
struct TID3Tag {
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Comment;
    uint8_t Genre = 0;
    uint8_t Track = 0;  // 0: no track number (version 1.0)

    bool operator==(const TID3Tag&) const = default;
};

inline constexpr int kId3TagSize = 128;
inline constexpr int kLastGenre = 148;  // "Unknown"

// True when the stream ends with a tag; tag is filled from it, or emptied. Leaves the stream at
// its end. A stream shorter than 128 bytes has no tag.
bool ReadId3Tag(ByteStream& stream, TID3Tag& tag);
// Writes the tag over an existing one at the end of the stream, or appends it. True when all
// 128 bytes were written. Leaves the stream at its end.
bool WriteId3Tag(ByteStream& stream, const TID3Tag& tag);
// The genre's display name; numbers above 148 read as "Unknown".
std::string GenreName(uint8_t genre);
// The number of a genre named in any letter case ("rock" is 17, "unknown" 148); -1 for a name
// not in the list.
int GenreNumber(const std::string& name);

}  // namespace sw
