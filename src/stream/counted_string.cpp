#include "stream/counted_string.h"

#include <cstdint>
#include <stdexcept>

namespace sw {

std::string ReadCountedString(ByteStream& stream) {
    uint8_t count[2];
    stream.ReadBuffer(count, 2);
    std::string text(size_t(count[0]) | size_t(count[1]) << 8, '\0');
    stream.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));
    return text;
}

void WriteCountedString(ByteStream& stream, const std::string& text) {
    if (text.size() > 0xFFFF) {
        throw std::length_error("A text of more than 65535 bytes cannot be stored");
    }
    const uint8_t count[2] = {uint8_t(text.size() & 0xFF), uint8_t(text.size() >> 8)};
    stream.WriteBuffer(count, 2);
    stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

}  // namespace sw
