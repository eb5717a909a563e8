#pragma once

#include <string>

#include "stream/byte_stream.h"

namespace sw {

// A 16-bit little-endian byte count followed by the bytes, no terminator. Texts longer than
// 65535 bytes are not representable: WriteCountedString throws std::length_error for them
// rather than writing a count that would not match.
std::string ReadCountedString(ByteStream& stream);
void WriteCountedString(ByteStream& stream, const std::string& text);

}  // namespace sw
