#include "engine/crc16.h"

#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace sw {
namespace {

constexpr uint32_t kPolynomial = 0x18005;  // x^16 + x^15 + x^2 + 1
constexpr uint16_t kReflected = 0xA001;    // its low 16 bits, bit-reversed

constexpr std::array<uint16_t, 256> MakeTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        uint16_t c = static_cast<uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? static_cast<uint16_t>((c >> 1) ^ kReflected)
                        : static_cast<uint16_t>(c >> 1);
        }
        table[i] = c;
    }
    return table;
}
constexpr std::array<uint16_t, 256> kTable = MakeTable();

#if defined(__x86_64__)

// x^power mod P, as a plain polynomial (bit d holds the coefficient of x^d).
constexpr uint32_t PowerModP(int power) {
    uint32_t r = 1;
    for (int i = 0; i < power; ++i) {
        r <<= 1;
        if (r & 0x10000) {
            r ^= kPolynomial;
        }
    }
    return r;
}

// The fold constant for x^power: the data arrive bit-reflected (the first bit of the stream is
// the highest power), and a carry-less product of two reflected 64-bit values comes out one
// power short, so the constant is x^(power - 1) mod P, reflected into 64 bits.
constexpr uint64_t FoldConstant(int power) {
    const uint32_t r = PowerModP(power - 1);
    uint64_t reflected = 0;
    for (int d = 0; d < 17; ++d) {
        if (r & (1u << d)) {
            reflected |= uint64_t{1} << (63 - d);
        }
    }
    return reflected;
}

// Folding keeps a 128-bit block congruent, modulo P, with everything read so far: the block's
// first half is carried over the distance times x^64 more than its second half.
__attribute__((target("pclmul,sse2"))) inline __m128i Fold(__m128i block, __m128i constants) {
    return _mm_xor_si128(_mm_clmulepi64_si128(block, constants, 0x00),
                         _mm_clmulepi64_si128(block, constants, 0x11));
}

// Reduces the bulk of the bytes (a multiple of 16, at least 64) to 16 bytes with the same CRC.
__attribute__((target("pclmul,sse2"))) uint16_t FoldedCrc(const uint8_t* bytes, size_t count,
                                                          uint16_t crc) {
    const __m128i by512 = _mm_set_epi64x(static_cast<int64_t>(FoldConstant(512)),
                                         static_cast<int64_t>(FoldConstant(512 + 64)));
    const __m128i by128 = _mm_set_epi64x(static_cast<int64_t>(FoldConstant(128)),
                                         static_cast<int64_t>(FoldConstant(128 + 64)));
    const auto load = [](const uint8_t* at) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    };
    // A starting value enters as if XORed into the first two bytes.
    __m128i a0 = _mm_xor_si128(load(bytes), _mm_cvtsi32_si128(crc));
    __m128i a1 = load(bytes + 16);
    __m128i a2 = load(bytes + 32);
    __m128i a3 = load(bytes + 48);
    size_t at = 64;
    for (; at + 64 <= count; at += 64) {
        a0 = _mm_xor_si128(Fold(a0, by512), load(bytes + at));
        a1 = _mm_xor_si128(Fold(a1, by512), load(bytes + at + 16));
        a2 = _mm_xor_si128(Fold(a2, by512), load(bytes + at + 32));
        a3 = _mm_xor_si128(Fold(a3, by512), load(bytes + at + 48));
    }
    __m128i a = _mm_xor_si128(Fold(a0, by128), a1);
    a = _mm_xor_si128(Fold(a, by128), a2);
    a = _mm_xor_si128(Fold(a, by128), a3);
    for (; at + 16 <= count; at += 16) {
        a = _mm_xor_si128(Fold(a, by128), load(bytes + at));
    }
    uint8_t last[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(last), a);
    return TagCrc16Bytewise(last, 16, 0);
}

bool HasCarrylessMultiply() {
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return has;
}

#endif

}  // namespace

uint16_t FrameCrc16(const uint8_t* bytes, size_t count, uint16_t crc) {
    for (size_t i = 0; i < count; ++i) {
        for (int bit = 7; bit >= 0; --bit) {
            const bool top = (crc & 0x8000) != 0;
            crc = static_cast<uint16_t>(crc << 1);
            if (top != (((bytes[i] >> bit) & 1) != 0)) {
                crc ^= 0x8005;
            }
        }
    }
    return crc;
}

uint16_t TagCrc16Bytewise(const uint8_t* bytes, size_t count, uint16_t crc) {
    for (size_t i = 0; i < count; ++i) {
        crc = static_cast<uint16_t>((crc >> 8) ^ kTable[(crc ^ bytes[i]) & 0xFF]);
    }
    return crc;
}

uint16_t TagCrc16(const uint8_t* bytes, size_t count, uint16_t crc) {
#if defined(__x86_64__)
    if (count >= 64 && HasCarrylessMultiply()) {
        const size_t bulk = count & ~size_t{15};
        crc = FoldedCrc(bytes, bulk, crc);
        return TagCrc16Bytewise(bytes + bulk, count - bulk, crc);
    }
#endif
    return TagCrc16Bytewise(bytes, count, crc);
}

}  // namespace sw
