#include "engine/header_frame.h"

#include <algorithm>
#include <cstring>

#include "engine/crc16.h"
#include "engine/layer3_side_info.h"
#include "stream/frame_header.h"

namespace sw {
namespace {

constexpr uint32_t kFramesFlag = 1;
constexpr uint32_t kBytesFlag = 2;
constexpr uint32_t kTocFlag = 4;
constexpr uint32_t kQualityFlag = 8;
constexpr int32_t kXingBytes = 4 + 4 + 4 + 4 + 100 + 4;
constexpr int32_t kLameBytes = 36;

// Offsets inside the LAME extension.
constexpr int kRevisionMethod = 9;
constexpr int kPeak = 11;  // and the two replay gains, up to kFlags
constexpr int kFlags = 19;
constexpr int kGapless = 21;
constexpr int kMusicLength = 28;
constexpr int kMusicCrc = 32;
constexpr int kTagCrc = 34;

uint32_t BigEndian32(const uint8_t* b) {
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

void PutBigEndian32(uint8_t* b, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        b[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

bool Marker(const uint8_t* at, const char* text) {
    return std::memcmp(at, text, 4) == 0;
}

// The smallest bitrate whose frame holds need bytes (frames without padding).
uint32_t SmallestHolding(uint32_t word, int32_t need) {
    for (int index = 1; index <= 14; ++index) {
        const uint32_t candidate = WithoutPadding(WithBitrateIndex(word, index));
        if (DecodeFrameHeader(candidate).FrameLength >= need) {
            return candidate;
        }
    }
    return WithoutPadding(WithBitrateIndex(word, 14));
}

uint32_t HeaderWordOf(uint32_t streamWord) {
    const TFrameInfo info = DecodeFrameHeader(WithoutProtection(streamWord));
    return SmallestHolding(WithoutProtection(streamWord),
                           4 + SideInfoSize(info) + kXingBytes + kLameBytes);
}

}  // namespace

SourceTag ReadSourceTag(const uint8_t* frame, int32_t length) {
    SourceTag tag;
    const uint32_t word = length >= 4 ? HeaderWordFromBytes(frame) : 0;
    if (!IsValidFrameHeader(word)) {
        return tag;
    }
    const TFrameInfo info = DecodeFrameHeader(word);
    if (info.Layer != 3) {
        return tag;
    }
    if (length >= 40 && Marker(frame + 36, "VBRI")) {
        tag.tagFrame = true;
        return tag;
    }
    // LAME puts its record right after the side information even in a protected frame, where
    // the CRC word would push it two bytes on; either place counts.
    int32_t at = -1;
    for (const int32_t candidate : {4 + SideInfoSize(info), 6 + SideInfoSize(info)}) {
        if (candidate + 8 <= length &&
            (Marker(frame + candidate, "Info") || Marker(frame + candidate, "Xing"))) {
            at = candidate;
            break;
        }
    }
    if (at < 0) {
        return tag;
    }
    tag.tagFrame = true;
    const uint32_t flags = BigEndian32(frame + at + 4);
    int32_t next = at + 8;
    next += (flags & kFramesFlag) ? 4 : 0;
    next += (flags & kBytesFlag) ? 4 : 0;
    next += (flags & kTocFlag) ? 100 : 0;
    if (flags & kQualityFlag) {
        if (next + 4 > length) {
            return tag;
        }
        tag.hasQuality = true;
        tag.quality = BigEndian32(frame + next);
        next += 4;
    }
    if (next + kLameBytes > length) {
        return tag;
    }
    const uint8_t* lame = frame + next;
    if (!Marker(lame, "LAME") && !Marker(lame, "Lavf") && !Marker(lame, "Lavc")) {
        return tag;
    }
    tag.gapless = true;
    std::copy(lame, lame + kLameBytes, tag.lame.begin());
    const uint32_t gapless =
        uint32_t(lame[kGapless]) << 16 | uint32_t(lame[kGapless + 1]) << 8 | lame[kGapless + 2];
    tag.delay = static_cast<int32_t>(gapless >> 12);
    tag.padding = static_cast<int32_t>(gapless & 0xFFF);
    return tag;
}

int32_t HeaderFrameLength(uint32_t streamWord) {
    return DecodeFrameHeader(HeaderWordOf(streamWord)).FrameLength;
}

std::vector<uint8_t> BuildHeaderFrame(const HeaderFrameFields& fields) {
    const uint32_t word = HeaderWordOf(fields.streamWord);
    const TFrameInfo info = DecodeFrameHeader(word);
    std::vector<uint8_t> frame(static_cast<size_t>(info.FrameLength), 0);
    StoreHeaderWord(frame.data(), word);

    uint8_t* xing = frame.data() + 4 + SideInfoSize(info);
    std::memcpy(xing, fields.constantBitrate ? "Info" : "Xing", 4);
    PutBigEndian32(xing + 4, kFramesFlag | kBytesFlag | kTocFlag | kQualityFlag);
    PutBigEndian32(xing + 8, fields.frames);
    PutBigEndian32(xing + 12, fields.bytes);
    std::copy(fields.seekTable.begin(), fields.seekTable.end(), xing + 16);
    const bool kept = fields.source != nullptr && fields.source->gapless;
    PutBigEndian32(xing + 116, fields.source != nullptr && fields.source->hasQuality
                                   ? fields.source->quality
                                   : 0);

    uint8_t* lame = xing + kXingBytes;
    if (kept) {
        std::copy(fields.source->lame.begin(), fields.source->lame.end(), lame);
        std::fill(lame + kPeak, lame + kFlags, 0);
    } else {
        std::memcpy(lame, "LAME", 4);
        lame[kRevisionMethod] = fields.constantBitrate ? 1 : 0;
    }
    const uint32_t gapless = uint32_t(std::clamp(fields.delay, 0, kMaxGaplessField)) << 12 |
                             uint32_t(std::clamp(fields.padding, 0, kMaxGaplessField));
    lame[kGapless] = static_cast<uint8_t>(gapless >> 16);
    lame[kGapless + 1] = static_cast<uint8_t>(gapless >> 8);
    lame[kGapless + 2] = static_cast<uint8_t>(gapless);
    PutBigEndian32(lame + kMusicLength, fields.bytes);
    lame[kMusicCrc] = static_cast<uint8_t>(fields.musicCrc >> 8);
    lame[kMusicCrc + 1] = static_cast<uint8_t>(fields.musicCrc);
    const size_t covered = static_cast<size_t>(lame + kTagCrc - frame.data());
    const uint16_t tagCrc = TagCrc16(frame.data(), covered);
    lame[kTagCrc] = static_cast<uint8_t>(tagCrc >> 8);
    lame[kTagCrc + 1] = static_cast<uint8_t>(tagCrc);
    return frame;
}

std::array<uint8_t, 100> SeekTable(const std::vector<int64_t>& frameStarts, int64_t totalBytes) {
    std::array<uint8_t, 100> table{};
    if (frameStarts.empty() || totalBytes <= 0) {
        return table;
    }
    const size_t count = frameStarts.size();
    for (size_t i = 1; i < 100; ++i) {
        const int64_t at = frameStarts[i * count / 100];
        table[i] = static_cast<uint8_t>(std::min<int64_t>(255, 256 * at / totalBytes));
    }
    return table;
}

}  // namespace sw
