#pragma once

#include <string>

#include "stream/cut_object.h"
#include "stream/piece_tag.h"

namespace sw {

// What gives an exported piece its tags. The document models only know this interface: the
// tagging reads and writes with TagLib, which only the programs that tag pieces load.
class PieceTagWriter {
  public:
    virtual ~PieceTagWriter() = default;
    // Gives the piece just written to target (the cue's frames) its tags, as the number-th of
    // count pieces. Throws the stream errors when the piece cannot be rewritten.
    virtual void TagPiece(const std::string& target, const TCueObject& cue, int number, int count,
                          PieceTagKinds kinds) = 0;
};

}  // namespace sw
