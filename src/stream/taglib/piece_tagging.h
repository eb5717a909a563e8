#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream/piece_tag.h"

namespace sw {

// The piece's ID3v2.4 tag as TagLib renders it, texts in UTF-8 (bytes that are not UTF-8 read as
// Latin-1): TIT2 title, TPE1 artist, TALB album, TDRC year, TCON genre, TRCK "n/N", APIC the
// picture; empty values are left out.
std::vector<uint8_t> RenderId3v24Tag(const PieceTag& tag);

// Gives a finished piece its tags: the ID3v2.4 tag before its first byte and/or the ID3v1.1 tag
// after its last (always appended, never over the last 128 bytes of audio). The tagged file is
// written beside the piece and renamed over it, so a failure leaves the piece as it was; a piece
// that a rename would change the meaning of (a link, a file with other names) is rewritten in
// place from that copy. Nothing happens for PieceTagKinds::None. Throws the stream errors
// (FileOpenError, FileCreateError, StreamReadError, StreamWriteError).
void WritePieceTags(const std::string& fileName, const PieceTag& tag, PieceTagKinds kinds);

}  // namespace sw
