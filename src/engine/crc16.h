#pragma once

#include <cstddef>
#include <cstdint>

namespace sw {

// The two 16-bit checksums an MPEG audio stream carries, both over the polynomial 0x8005.

// The frame CRC a protected frame stores after its header: most significant bit first, started
// at 0xFFFF, over header bytes 2 and 3 and (for Layer III) the side information.
uint16_t FrameCrc16(const uint8_t* bytes, size_t count, uint16_t crc = 0xFFFF);

// The checksum of the LAME extension (its "music CRC" over the audio frames and its tag CRC):
// least significant bit first, started at 0, nothing XORed at the end. crc continues an earlier
// call over the bytes before these. A whole export's audio passes through here, so the bulk runs
// on the processor's carry-less multiply where it has one (eight times the speed of a table).
uint16_t TagCrc16(const uint8_t* bytes, size_t count, uint16_t crc = 0);

// The same, a byte at a time through one table: the reference the fast path is tested against.
uint16_t TagCrc16Bytewise(const uint8_t* bytes, size_t count, uint16_t crc = 0);

}  // namespace sw
