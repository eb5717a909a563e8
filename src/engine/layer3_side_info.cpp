#include "engine/layer3_side_info.h"

#include "engine/crc16.h"

namespace sw {
namespace {

// Reads the side information's fields, most significant bit first.
class BitReader {
  public:
    explicit BitReader(const uint8_t* bytes) : bytes_(bytes) {}
    uint32_t Take(int bits) {
        uint32_t value = 0;
        for (int i = 0; i < bits; ++i, ++at_) {
            value = (value << 1) | ((bytes_[at_ >> 3] >> (7 - (at_ & 7))) & 1u);
        }
        return value;
    }
    void Skip(int bits) { at_ += bits; }

  private:
    const uint8_t* bytes_;
    int at_ = 0;
};

bool Mpeg1(const TFrameInfo& info) {
    return info.Version == 1;
}
bool Mono(const TFrameInfo& info) {
    return info.ChannelMode == 3;
}

}  // namespace

int32_t SideInfoSize(const TFrameInfo& info) {
    if (Mpeg1(info)) {
        return Mono(info) ? 17 : 32;
    }
    return Mono(info) ? 9 : 17;
}

int32_t SideInfoOffset(const TFrameInfo& info) {
    return info.Crc ? 6 : 4;
}

int32_t MainDataAreaOffset(const TFrameInfo& info) {
    return SideInfoOffset(info) + SideInfoSize(info);
}

int32_t MaxMainDataBegin(const TFrameInfo& info) {
    return Mpeg1(info) ? 511 : 255;
}

bool ReadLayer3SideInfo(const uint8_t* frame, int32_t length, const TFrameInfo& info,
                        Layer3SideInfo& side) {
    if (info.Layer != 3 || length < MainDataAreaOffset(info)) {
        return false;
    }
    BitReader bits(frame + SideInfoOffset(info));
    const int channels = Mono(info) ? 1 : 2;
    int granules;
    if (Mpeg1(info)) {
        side.mainDataBegin = static_cast<int32_t>(bits.Take(9));
        bits.Skip(channels == 1 ? 5 : 3);  // private bits
        bits.Skip(4 * channels);           // scale factor selection
        granules = 2;
    } else {
        side.mainDataBegin = static_cast<int32_t>(bits.Take(8));
        bits.Skip(channels == 1 ? 1 : 2);
        granules = 1;
    }
    side.mainDataBits = 0;
    for (int granule = 0; granule < granules; ++granule) {
        for (int channel = 0; channel < channels; ++channel) {
            side.mainDataBits += static_cast<int32_t>(bits.Take(12));  // part2_3_length
            bits.Skip(9 + 8);                                          // big values, global gain
            bits.Skip(Mpeg1(info) ? 4 : 9);                            // scale factor compression
            if (bits.Take(1)) {  // window switching: block type, mixed, 2 tables, 3 gains
                bits.Skip(2 + 1 + 2 * 5 + 3 * 3);
            } else {  // 3 tables, two region counts
                bits.Skip(3 * 5 + 4 + 3);
            }
            bits.Skip(Mpeg1(info) ? 3 : 2);  // (preflag,) scale factor scale, count1 table
        }
    }
    return true;
}

uint16_t Layer3FrameCrc(const uint8_t* frame, const TFrameInfo& info) {
    const uint16_t crc = FrameCrc16(frame + 2, 2);
    return FrameCrc16(frame + SideInfoOffset(info), static_cast<size_t>(SideInfoSize(info)), crc);
}

void StoreLayer3FrameCrc(uint8_t* frame, const TFrameInfo& info) {
    const uint16_t crc = Layer3FrameCrc(frame, info);
    frame[4] = static_cast<uint8_t>(crc >> 8);
    frame[5] = static_cast<uint8_t>(crc & 0xFF);
}

uint32_t WithBitrateIndex(uint32_t word, int index) {
    return (word & ~(0xFu << 20)) | (static_cast<uint32_t>(index & 15) << 20);
}

int BitrateIndexOf(uint32_t word) {
    return static_cast<int>((word >> 20) & 15);
}

uint32_t WithoutPadding(uint32_t word) {
    return word & ~(1u << 17);
}

uint32_t WithoutProtection(uint32_t word) {
    return word | (1u << 8);
}

void StoreHeaderWord(uint8_t* frame, uint32_t word) {
    for (int i = 0; i < 4; ++i) {
        frame[i] = static_cast<uint8_t>(word >> (8 * i));
    }
}

}  // namespace sw
