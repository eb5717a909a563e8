#pragma once

#include <map>
#include <string>

#include "project/piece_tag_writer.h"
#include "stream/taglib/source_tags_reader.h"

namespace sw {

// The tags of a cue's piece, the number-th of count: its title (the sheet's TITLE while the cue
// keeps the name the sheet gave it, else its name without a leading "NN - "), the artist (the
// track's or the sheet's PERFORMER, else the source's), the album, year and genre (the sheet's
// TITLE, REM DATE and REM GENRE, else the source's), "number/count", and the source's picture.
PieceTag PieceTagOf(const TCueObject& cue, int number, int count, const SourceTags& source);

// Tags MP3 pieces (a ".wav" or ".m3q" target gets none), reading each source's tags once.
class PieceTagger : public PieceTagWriter {
  public:
    void TagPiece(const std::string& target, const TCueObject& cue, int number, int count,
                  PieceTagKinds kinds) override;

  private:
    std::map<std::string, SourceTags> sources_;
};

}  // namespace sw
