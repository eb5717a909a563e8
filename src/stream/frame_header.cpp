#include "stream/frame_header.h"

#include <algorithm>
#include <cstring>

namespace sw {
namespace {

constexpr uint8_t kVersionFromBits[4] = {3, 0, 2, 1};
constexpr uint8_t kLayerFromBits[4] = {0, 3, 2, 1};
constexpr uint32_t kVersionToBits[4] = {0, 3, 2, 0};
constexpr uint32_t kLayerToBits[4] = {0, 3, 2, 1};

// [row][bitrate index]; rows: MPEG-1 L1, L2, L3, MPEG-2/2.5 L1, MPEG-2/2.5 L2 and L3.
constexpr int32_t kBitrates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
};

constexpr int32_t kSampleRates[4][3] = {
    {0, 0, 0},
    {44100, 48000, 32000},
    {22050, 24000, 16000},
    {11025, 12000, 8000},
};

const int32_t* BitrateRow(uint8_t version, uint8_t layer) {
    if (version < 1 || version > 3 || layer < 1 || layer > 3) {
        return nullptr;
    }
    if (version == 1) {
        return kBitrates[layer - 1];
    }
    return layer == 1 ? kBitrates[3] : kBitrates[4];
}

}  // namespace

const char* const kVersionNames[4] = {"Invalid", "1.0", "2.0", "2.5"};
const char* const kLayerNames[4] = {"Invalid", "I", "II", "III"};
const char* const kChannelModeNames[4] = {"Stereo", "Joint-Stereo", "Dual Channel", "Mono"};
const char* const kEmphasisNames[4] = {"None", "50/15\xB5s", "Reserved", "CITT j.17"};

bool operator==(const TFrameInfo& a, const TFrameInfo& b) {
    return std::memcmp(&a, &b, sizeof(TFrameInfo)) == 0;
}

TFrameInfo DecodeFrameHeader(uint32_t word) {
    TFrameInfo info{};
    info.Version = kVersionFromBits[(word >> 11) & 3];
    info.Layer = kLayerFromBits[(word >> 9) & 3];
    if (const int32_t* row = BitrateRow(info.Version, info.Layer)) {
        info.Bitrate = row[(word >> 20) & 15];
    }
    const uint32_t rateIndex = (word >> 18) & 3;
    if (info.Version != 0 && rateIndex != 3) {
        info.SampleRate = kSampleRates[info.Version][rateIndex];
    }
    info.ChannelMode = static_cast<uint8_t>((word >> 30) & 3);
    info.ModeExtension = (int32_t(info.Layer) - 1) * 4 + int32_t((word >> 28) & 3);
    info.Padding = (word >> 17) & 1;
    info.Crc = ((word >> 8) & 1) ^ 1;
    info.Private = (word >> 16) & 1;
    info.Copyright = (word >> 27) & 1;
    info.Original = (word >> 26) & 1;
    info.Emphasis = static_cast<uint8_t>((word >> 24) & 3);
    if (info.SampleRate != 0) {
        switch (info.Layer) {
            case 1:
                info.FrameLength = (12000 * info.Bitrate / info.SampleRate + info.Padding) * 4;
                break;
            case 2:
                info.FrameLength = 144000 * info.Bitrate / info.SampleRate + info.Padding;
                break;
            case 3:
                info.FrameLength =
                    info.Version == 1
                        ? 144000 * info.Bitrate / info.SampleRate + info.Padding
                        : (144000 * info.Bitrate / info.SampleRate) / 2 + info.Padding;
                break;
            default:
                break;
        }
    }
    return info;
}

bool IsValidFrameHeader(uint32_t word) {
    if ((word & 0xE0FF) != 0xE0FF) {
        return false;
    }
    const TFrameInfo info = DecodeFrameHeader(word);
    return info.Version != 0 && info.Layer != 0 && info.Bitrate != 0 && info.SampleRate != 0 &&
           info.Emphasis != 2;
}

uint32_t EncodeFrameHeader(const TFrameInfo& info) {
    uint32_t word = 0xE0FF;
    word |= kVersionToBits[info.Version & 3] << 11;
    word |= kLayerToBits[info.Layer & 3] << 9;
    word |= uint32_t(info.ChannelMode & 3) << 30;
    // Unsigned: a damaged record may hold any ModeExtension, and the result is masked anyway.
    word |= ((uint32_t(info.ModeExtension) - (uint32_t(info.Layer) - 1) * 4) & 3) << 28;
    word |= uint32_t(info.Padding & 1) << 17;
    word |= uint32_t((info.Crc ^ 1) & 1) << 8;
    word |= uint32_t(info.Private & 1) << 16;
    word |= uint32_t(info.Copyright & 1) << 27;
    word |= uint32_t(info.Original & 1) << 26;
    word |= uint32_t(info.Emphasis & 3) << 24;
    if (const int32_t* row = BitrateRow(info.Version, info.Layer)) {
        for (uint32_t index = 0; index < 16; ++index) {
            if (row[index] == info.Bitrate) {
                word |= index << 20;
            }
        }
    }
    if (info.Version >= 1 && info.Version <= 3) {
        for (uint32_t index = 0; index < 3; ++index) {
            if (kSampleRates[info.Version][index] == info.SampleRate) {
                word |= index << 18;
            }
        }
    }
    return word;
}

bool IsValidFrameInfo(const TFrameInfo& info) {
    // The encoder masks each field to its bits and leaves the bitrate and sample-rate indexes at
    // 0 for values not in their tables, so a record that strays anywhere decodes differently.
    const uint32_t word = EncodeFrameHeader(info);
    return IsValidFrameHeader(word) && DecodeFrameHeader(word) == info;
}

MpegLayer3WaveFormat BuildWaveFormat(const TFrameInfo& info) {
    MpegLayer3WaveFormat format{};
    format.wFormatTag = kWaveFormatMpegLayer3;
    format.nChannels = info.ChannelMode == 3 ? 1 : 2;
    format.nSamplesPerSec = static_cast<uint32_t>(info.SampleRate);
    // 64-bit and clamped: a damaged record's bitrate must not overflow the multiplication.
    format.nAvgBytesPerSec =
        static_cast<uint32_t>(std::clamp<int64_t>(int64_t(info.Bitrate) * 1000 / 8, 0, 0xFFFFFFFF));
    format.nBlockAlign = 1;
    format.wBitsPerSample = 0;
    format.cbSize = 12;
    format.wID = 1;
    format.fdwFlags = 2;
    format.nBlockSize = static_cast<uint16_t>(info.FrameLength & 0xFFFF);
    format.nFramesPerBlock = 1;
    format.nCodecDelay = 1393;
    return format;
}

std::array<uint8_t, 30> MpegLayer3WaveFormat::Bytes() const {
    std::array<uint8_t, 30> out{};
    size_t at = 0;
    auto put16 = [&](uint16_t v) {
        out[at++] = v & 0xFF;
        out[at++] = v >> 8;
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put16(wFormatTag);
    put16(nChannels);
    put32(nSamplesPerSec);
    put32(nAvgBytesPerSec);
    put16(nBlockAlign);
    put16(wBitsPerSample);
    put16(cbSize);
    put16(wID);
    put32(fdwFlags);
    put16(nBlockSize);
    put16(nFramesPerBlock);
    put16(nCodecDelay);
    return out;
}

}  // namespace sw
