#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace sw {

// The 8-byte binary form of a date-time in the settings store: the IEEE double's bytes,
// little-endian, whatever the byte order of the machine that wrote them.
std::array<uint8_t, 8> DoubleToBytes(double value);

// The double held in exactly 8 bytes; nothing for any other length.
std::optional<double> BytesToDouble(const uint8_t* bytes, size_t size);

}  // namespace sw
