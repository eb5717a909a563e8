#include "app/double_bytes.h"

#include <bit>
#include <limits>

namespace sw {

static_assert(sizeof(double) == 8 && std::numeric_limits<double>::is_iec559,
              "the stored date-time is an IEEE double");

std::array<uint8_t, 8> DoubleToBytes(double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    std::array<uint8_t, 8> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    }
    return bytes;
}

std::optional<double> BytesToDouble(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size != 8) {
        return std::nullopt;
    }
    uint64_t bits = 0;
    for (size_t i = 0; i < size; ++i) {
        bits |= static_cast<uint64_t>(bytes[i]) << (8 * i);
    }
    return std::bit_cast<double>(bits);
}

}  // namespace sw
