#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sw {

// Texts are kept as bytes; these convert between the encodings that files we read carry: UTF-8
// (the file system's and most sheets'), Latin-1 (ID3v1 tags, older sheets) and UTF-16 (sheets
// some Windows tools write).

// The length of the well-formed UTF-8 sequence that starts at text[at] (1 for an ASCII byte), or
// 0 when the bytes there are none.
size_t Utf8SequenceLength(std::string_view text, size_t at);
// True when the bytes are well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view text);
// Cuts text to at most maxBytes, back to the start of a character, so that no UTF-8 sequence is
// cut in two.
void TruncateUtf8(std::string& text, size_t maxBytes);
// Latin-1 bytes as UTF-8.
std::string Latin1ToUtf8(std::string_view text);
// True when well-formed UTF-8 text holds no character above U+00FF (Latin-1 has them all).
bool FitsLatin1(std::string_view utf8);
// UTF-8 as Latin-1: every character Latin-1 lacks, and every byte that is not well-formed UTF-8,
// becomes "?".
std::string Utf8ToLatin1(std::string_view text);
// Appends one code point in UTF-8 (U+FFFD for a surrogate or anything above U+10FFFF).
void AppendUtf8(std::string& out, uint32_t codePoint);
// UTF-16 bytes (without their byte order mark) as UTF-8; an unpaired surrogate becomes U+FFFD
// and an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

}  // namespace sw
