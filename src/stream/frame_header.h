#pragma once

#include <array>
#include <cstdint>

#include "stream/byte_stream.h"

namespace sw {

#pragma pack(push, 1)
// The decoded frame header. These 25 packed bytes are also stored verbatim in index files, so
// the layout is a file format: do not reorder, widen or pad.
struct TFrameInfo {
    uint8_t Version;  // 0 reserved, 1 MPEG-1, 2 MPEG-2, 3 MPEG-2.5
    uint8_t Layer;    // 0 reserved, 1..3
    int32_t Bitrate;  // kbit/s, 0 when free format, bad or reserved
    int32_t SampleRate;
    uint8_t ChannelMode;    // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    int32_t ModeExtension;  // (Layer - 1) * 4 + mode extension bits
    uint8_t Padding;
    uint8_t Crc;  // 1 when a CRC follows the header
    uint8_t Private;
    uint8_t Copyright;
    uint8_t Original;
    uint8_t Emphasis;
    int32_t FrameLength;  // whole frame in bytes, header and padding included
};
#pragma pack(pop)
static_assert(sizeof(TFrameInfo) == 25, "TFrameInfo is a 25-byte file record");

inline constexpr TFrameInfo kNoFrame{};

// Field-wise comparison (the record has no padding, so this equals a byte comparison).
bool operator==(const TFrameInfo& a, const TFrameInfo& b);

// The 30-byte MPEGLAYER3WAVEFORMAT structure (WAVEFORMATEX plus the MPEG Layer-3 fields).
struct MpegLayer3WaveFormat {
    uint16_t wFormatTag;
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
    uint16_t cbSize;
    uint16_t wID;
    uint32_t fdwFlags;
    uint16_t nBlockSize;
    uint16_t nFramesPerBlock;
    uint16_t nCodecDelay;

    // The structure's little-endian, packed file form.
    std::array<uint8_t, 30> Bytes() const;
};

inline constexpr uint16_t kWaveFormatMpegLayer3 = 0x0055;

TFrameInfo DecodeFrameHeader(uint32_t word);
bool IsValidFrameHeader(uint32_t word);
uint32_t EncodeFrameHeader(const TFrameInfo& info);
// True when info is exactly what DecodeFrameHeader gives for some valid header word: every field
// in range, the bitrate and sample rate in their tables, the frame length the one they give.
// Records read from files are checked with this before any arithmetic trusts them.
bool IsValidFrameInfo(const TFrameInfo& info);

MpegLayer3WaveFormat BuildWaveFormat(const TFrameInfo& info);

// Display names, indexed by the field value (0..3).
extern const char* const kVersionNames[4];
extern const char* const kLayerNames[4];
extern const char* const kChannelModeNames[4];
extern const char* const kEmphasisNames[4];  // entry 1 holds the Windows-1252 micro sign 0xB5

// Reads a little-endian 32-bit word from four bytes.
inline uint32_t HeaderWordFromBytes(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

}  // namespace sw
