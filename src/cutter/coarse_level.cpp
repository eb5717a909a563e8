#include "cutter/coarse_level.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <utility>
#include <vector>

#include "stream/frame_header.h"

namespace sw {
namespace {

// Offsets (log2 of the level) that put the estimates on the decoder's scale: the median
// difference to the decoded peaks of the measured files.
constexpr double kLayer3Offset = 15.67;
constexpr double kScaleFactorOffset = 14.84;

// Reads bits from the front of a byte range, most significant first; a read past the end fails
// and leaves the reader failed.
class BitReader {
  public:
    BitReader(const uint8_t* data, size_t size, size_t startByte)
        : data_(data), bits_(size * 8), position_(startByte * 8) {}

    uint32_t Read(int count) {
        if (failed_ || position_ + size_t(count) > bits_) {
            failed_ = true;
            return 0;
        }
        // Up to five bytes hold any field of up to 32 bits, wherever it starts.
        const size_t first = position_ >> 3;
        const size_t last = (position_ + size_t(count) - 1) >> 3;
        uint64_t window = 0;
        for (size_t byte = first; byte <= last; ++byte) {
            window = window << 8 | data_[byte];
        }
        const size_t unused = (last + 1) * 8 - (position_ + size_t(count));
        position_ += size_t(count);
        return uint32_t((window >> unused) & ((uint64_t(1) << count) - 1));
    }
    void Skip(int count) { Read(count); }
    bool Failed() const { return failed_; }

  private:
    const uint8_t* data_;
    size_t bits_;
    size_t position_;
    bool failed_ = false;
};

// For each Layer III Huffman table: log2 of the typical largest quantised value of a region
// coded with it, raised to 4/3 as the dequantiser does. An encoder picks the cheapest table that
// holds a region's largest value, so that value lies between the largest the table holds and the
// largest the next smaller table would have held; the geometric middle of the two stands for it.
// Table 0 codes zeros only; tables 4 and 14 do not exist.
const std::array<double, 32>& HuffmanTableLevels() {
    static const std::array<double, 32> levels = [] {
        constexpr int kLargest[16] = {0, 1, 2, 2, 1, 3, 3, 5, 5, 5, 7, 7, 7, 15, 1, 15};
        constexpr int kSmallest[16] = {0, 1, 2, 2, 1, 3, 3, 4, 4, 4, 6, 6, 6, 8, 1, 8};
        constexpr int kLinbits[32] = {0, 0, 0, 0, 0, 0, 0,  0,  0, 0, 0, 0, 0, 0, 0,  0,
                                      1, 2, 3, 4, 6, 8, 10, 13, 4, 5, 6, 7, 8, 9, 11, 13};
        std::array<double, 32> result{};
        for (int t = 0; t < 32; ++t) {
            double largest = 0;
            double smallest = 0;
            if (t < 16) {
                largest = kLargest[t];
                smallest = kSmallest[t];
            } else {
                largest = 15 + (1 << kLinbits[t]) - 1;
                const bool firstOfGroup = t == 16 || t == 24;
                smallest = 15 + (1 << (firstOfGroup ? 0 : kLinbits[t - 1]));
            }
            result[t] = t == 0 ? -1e9 : 4.0 / 3.0 * std::log2(std::sqrt(largest * smallest));
        }
        return result;
    }();
    return levels;
}

uint16_t LevelFromLog2(double log2Level) {
    if (log2Level < 0) {
        return 0;
    }
    return uint16_t(std::min(std::exp2(log2Level), double(kFullScaleLevel)));
}

uint16_t Layer3Level(const TFrameInfo& info, const uint8_t* frame, size_t size) {
    const bool mpeg1 = info.Version == 1;
    const int channels = info.ChannelMode == 3 ? 1 : 2;
    BitReader bits(frame, size, 4 + (info.Crc ? 2 : 0));
    if (mpeg1) {
        bits.Skip(9 + (channels == 1 ? 5 : 3) + 4 * channels);
    } else {
        bits.Skip(8 + channels);
    }
    const int granules = mpeg1 ? 2 : 1;
    const auto& tableLevels = HuffmanTableLevels();
    double loudest = -1e9;
    for (int granule = 0; granule < granules; ++granule) {
        for (int channel = 0; channel < channels; ++channel) {
            const uint32_t mainDataBits = bits.Read(12);
            const uint32_t bigValues = bits.Read(9);
            const uint32_t globalGain = bits.Read(8);
            bits.Skip(mpeg1 ? 4 : 9);
            uint32_t tables[3] = {0, 0, 0};
            double shortBlockGain = 0;
            if (bits.Read(1) != 0) {
                const uint32_t blockType = bits.Read(2);
                bits.Skip(1);
                tables[0] = bits.Read(5);
                tables[1] = bits.Read(5);
                uint32_t smallestGain = 7;
                for (int window = 0; window < 3; ++window) {
                    smallestGain = std::min(smallestGain, bits.Read(3));
                }
                // Each short window is lowered by its subblock gain; the loudest is the one
                // lowered least.
                if (blockType == 2) {
                    shortBlockGain = 2.0 * smallestGain;
                }
            } else {
                for (uint32_t& table : tables) {
                    table = bits.Read(5);
                }
                bits.Skip(7);
            }
            bits.Skip(mpeg1 ? 3 : 2);
            if (bits.Failed()) {
                return 0;
            }
            if (mainDataBits == 0) {
                continue;
            }
            // Without big values only the count1 region holds values, each at most 1.
            double largest = 0;
            if (bigValues > 0) {
                largest = std::max(
                    {tableLevels[tables[0]], tableLevels[tables[1]], tableLevels[tables[2]], 0.0});
            }
            const double level =
                (double(globalGain) - 210.0) / 4.0 + largest - shortBlockGain + kLayer3Offset;
            loudest = std::max(loudest, level);
        }
    }
    return LevelFromLog2(loudest);
}

// Layer II's bit allocation table for the frame: how many bits each subband's allocation takes,
// subband by subband up to the table's limit.
const std::vector<int>& Layer2AllocationBits(const TFrameInfo& info, int channels) {
    auto table = [](std::initializer_list<std::pair<int, int>> runs) {
        std::vector<int> bits;
        for (const auto& [count, width] : runs) {
            bits.insert(bits.end(), size_t(count), width);
        }
        return bits;
    };
    static const std::vector<int> k27 = table({{11, 4}, {12, 3}, {4, 2}});
    static const std::vector<int> k30 = table({{11, 4}, {12, 3}, {7, 2}});
    static const std::vector<int> k8 = table({{2, 4}, {6, 3}});
    static const std::vector<int> k12 = table({{2, 4}, {10, 3}});
    static const std::vector<int> kLowRates = table({{4, 4}, {7, 3}, {19, 2}});
    if (info.Version != 1) {
        return kLowRates;
    }
    const int perChannel = info.Bitrate / channels;
    const int rate = info.SampleRate;
    if ((rate == 48000 && perChannel >= 80) || (perChannel >= 56 && perChannel <= 80)) {
        return k27;
    }
    if (rate != 48000 && perChannel >= 96) {
        return k30;
    }
    if (rate != 32000 && perChannel <= 48) {
        return k8;
    }
    return k12;
}

uint16_t ScaleFactorLevel(const TFrameInfo& info, uint32_t word, const uint8_t* frame,
                          size_t size) {
    const int channels = info.ChannelMode == 3 ? 1 : 2;
    const bool layer1 = info.Layer == 1;
    static const std::vector<int> kLayer1 = std::vector<int>(32, 4);
    const std::vector<int>& allocationBits =
        layer1 ? kLayer1 : Layer2AllocationBits(info, channels);
    const int subbands = int(allocationBits.size());
    // In joint stereo the subbands from the bound up share one allocation.
    const int bound =
        info.ChannelMode == 1 ? std::min(subbands, int((word >> 28) & 3) * 4 + 4) : subbands;
    BitReader bits(frame, size, 4 + (info.Crc ? 2 : 0));
    bool allocated[2][32] = {};
    for (int subband = 0; subband < subbands; ++subband) {
        const int width = allocationBits[size_t(subband)];
        for (int channel = 0; channel < channels; ++channel) {
            const uint32_t value = subband < bound || channel == 0
                                       ? bits.Read(width)
                                       : uint32_t(allocated[0][subband]);
            // Layer I's allocation 15 is forbidden: no samples follow for it.
            allocated[channel][subband] = value != 0 && !(layer1 && value == 15);
        }
    }
    int scaleFactors[2][32] = {};
    for (int subband = 0; !layer1 && subband < subbands; ++subband) {
        for (int channel = 0; channel < channels; ++channel) {
            if (allocated[channel][subband]) {
                scaleFactors[channel][subband] = int(bits.Read(2));
            }
        }
    }
    uint32_t smallest = 63;
    for (int subband = 0; subband < subbands; ++subband) {
        for (int channel = 0; channel < channels; ++channel) {
            if (!allocated[channel][subband]) {
                continue;
            }
            // Layer II sends three, two or one scale factors per subband by its selection info.
            constexpr int kCount[4] = {3, 2, 1, 2};
            const int count = layer1 ? 1 : kCount[scaleFactors[channel][subband]];
            for (int i = 0; i < count; ++i) {
                smallest = std::min(smallest, bits.Read(6));
            }
        }
    }
    // Index 63 is not a scale factor: a frame that names only it, or none, is silent.
    if (bits.Failed() || smallest >= 63) {
        return 0;
    }
    // Scale factor i is 2^(1 - i/3) of full scale.
    return LevelFromLog2(1.0 - double(smallest) / 3.0 + kScaleFactorOffset);
}

}  // namespace

const TFrameInfo& DecodedHeader(uint32_t word) {
    struct Entry {
        uint32_t word = 0;
        TFrameInfo info{};
    };
    // Padding and bitrate are what change from frame to frame; they pick the slot.
    thread_local Entry cache[8];
    Entry& entry = cache[((word >> 17) ^ (word >> 20)) & 7];
    if (entry.word != word || word == 0) {
        entry.word = word;
        entry.info = DecodeFrameHeader(word);
    }
    return entry.info;
}

uint16_t CoarseFrameLevel(const uint8_t* frame, size_t size) {
    if (frame == nullptr || size < 4) {
        return 0;
    }
    const uint32_t word = HeaderWordFromBytes(frame);
    const TFrameInfo& info = DecodedHeader(word);
    // What IsValidFrameHeader tests, from the decoded fields.
    if ((word & 0xE0FF) != 0xE0FF || info.Version == 0 || info.Layer == 0 || info.Bitrate == 0 ||
        info.SampleRate == 0 || info.Emphasis == 2) {
        return 0;
    }
    if (info.Layer == 3) {
        return Layer3Level(info, frame, size);
    }
    return ScaleFactorLevel(info, word, frame, size);
}

}  // namespace sw
