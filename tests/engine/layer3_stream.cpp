#include "layer3_stream.h"

#include <algorithm>
#include <random>

#include "engine/crc16.h"
#include "stream/frame_header.h"

namespace sw::test {
namespace {

class BitWriter {
  public:
    explicit BitWriter(uint8_t* bytes) : bytes_(bytes) {}
    void Put(uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i, ++at_) {
            if ((value >> i) & 1) {
                bytes_[at_ >> 3] |= static_cast<uint8_t>(0x80 >> (at_ & 7));
            }
        }
    }

  private:
    uint8_t* bytes_;
    int at_ = 0;
};

bool Mpeg1(const TFrameInfo& info) {
    return info.Version == 1;
}

int Channels(const TFrameInfo& info) {
    return info.ChannelMode == 3 ? 1 : 2;
}

int SideBytes(const TFrameInfo& info) {
    if (Mpeg1(info)) {
        return Channels(info) == 1 ? 17 : 32;
    }
    return Channels(info) == 1 ? 9 : 17;
}

// The reservoir's bytes by their place in it: never 0xFF, and rarely the same twice in a row.
uint8_t ReservoirByte(int64_t position) {
    return static_cast<uint8_t>((position * 37 + 11) % 251);
}

}  // namespace

std::vector<uint8_t> MakeLayer3Frame(const HeaderSpec& spec, const SideInfoSpec& side,
                                     const std::vector<uint8_t>& area) {
    std::vector<uint8_t> frame = MakeFrame(spec, 0);
    const TFrameInfo info = DecodeFrameHeader(MakeHeaderWord(spec));
    const int sideAt = info.Crc ? 6 : 4;
    std::fill(frame.begin() + 4, frame.end(), 0);
    BitWriter bits(frame.data() + sideAt);
    const int channels = Channels(info);
    const int granules = Mpeg1(info) ? 2 : 1;
    bits.Put(static_cast<uint32_t>(side.mainDataBegin), Mpeg1(info) ? 9 : 8);
    bits.Put(0, Mpeg1(info) ? (channels == 1 ? 5 : 3) + 4 * channels : (channels == 1 ? 1 : 2));
    for (int granule = 0, n = 0; granule < granules; ++granule) {
        for (int channel = 0; channel < channels; ++channel, ++n) {
            const int part =
                n < int(side.partLengths.size()) ? side.partLengths[static_cast<size_t>(n)] : 0;
            bits.Put(static_cast<uint32_t>(part), 12);
            bits.Put(0, 9 + 8 + (Mpeg1(info) ? 4 : 9));
            const bool switching = granule == granules - 1;
            bits.Put(switching ? 1 : 0, 1);
            bits.Put(switching ? 0x2AAAAA : 0x155555, 22);
            bits.Put(0, Mpeg1(info) ? 3 : 2);
        }
    }
    const size_t areaAt = static_cast<size_t>(sideAt + SideBytes(info));
    for (size_t i = 0; i < area.size() && areaAt + i < frame.size(); ++i) {
        frame[areaAt + i] = area[i];
    }
    if (info.Crc) {
        // The engine's checksum, held to its published check value by the Crc16 test.
        const uint16_t crc = FrameCrc16(frame.data() + sideAt, static_cast<size_t>(SideBytes(info)),
                                        FrameCrc16(&frame[2], 2));
        frame[4] = static_cast<uint8_t>(crc >> 8);
        frame[5] = static_cast<uint8_t>(crc);
    }
    return frame;
}

Layer3Stream MakeLayer3Stream(int count, const HeaderSpec& spec, const std::vector<int>& bitrates,
                              uint32_t seed, bool deep) {
    Layer3Stream stream;
    std::mt19937 random(seed);
    int64_t areaStart = 0;  // where the next frame's area begins in the reservoir
    int64_t free = 0;       // bytes before it that no main data uses
    for (int k = 0; k < count; ++k) {
        HeaderSpec frameSpec = spec;
        frameSpec.bitrateIndex = bitrates[static_cast<size_t>(k) % bitrates.size()];
        const TFrameInfo info = DecodeFrameHeader(MakeHeaderWord(frameSpec));
        const int area = info.FrameLength - (info.Crc ? 6 : 4) - SideBytes(info);
        const int64_t reach = std::min<int64_t>(free, Mpeg1(info) ? 511 : 255);
        SideInfoSpec side;
        side.mainDataBegin =
            static_cast<int>(deep ? reach : int64_t(random() % uint32_t(reach + 1)));
        // Some frames leave most of their area free for the ones after them, others fill it.
        const int parts = (Mpeg1(info) ? 2 : 1) * (info.ChannelMode == 3 ? 1 : 2);
        // What the 12-bit lengths can say caps a frame's main data.
        const int most = std::min(area + side.mainDataBegin, parts * 4095 / 8);
        const int bytes = (k % 3 == 0) ? int(random() % uint32_t(most / 4 + 1))
                                       : most - int(random() % uint32_t(most / 8 + 1));
        const int bits = bytes == 0 ? 0 : bytes * 8 - int(random() % 8);
        for (int part = 0; part < parts; ++part) {
            side.partLengths.push_back(bits / parts + (part == 0 ? bits % parts : 0));
        }
        std::vector<uint8_t> areaBytes(static_cast<size_t>(area));
        for (int i = 0; i < area; ++i) {
            areaBytes[static_cast<size_t>(i)] = ReservoirByte(areaStart + i);
        }
        std::vector<uint8_t> mainData(static_cast<size_t>(bytes));
        for (int i = 0; i < bytes; ++i) {
            mainData[static_cast<size_t>(i)] = ReservoirByte(areaStart - side.mainDataBegin + i);
        }
        stream.frames.push_back(MakeLayer3Frame(frameSpec, side, areaBytes));
        stream.mainData.push_back(std::move(mainData));
        free = area + side.mainDataBegin - bytes;
        areaStart += area;
    }
    return stream;
}

}  // namespace sw::test
