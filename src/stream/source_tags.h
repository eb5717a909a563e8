#pragma once

#include <memory>
#include <string>

#include "stream/piece_tag.h"

namespace sw {

// What a source file's own tags say, read with TagLib: the ID3v2 tag at its start where it has
// a value, else the ID3v1 tag at its end. Texts in UTF-8.
struct SourceTags {
    bool HasId3v2 = false;
    std::string Title;
    std::string Artist;
    std::string Album;
    std::string Year;
    std::string Genre;
    // The ID3v2 tag's front cover, else its first picture; none without.
    std::shared_ptr<const TagPicture> Picture;
};

}  // namespace sw
