#pragma once

#include <cstdint>
#include <vector>

#include "frame_builder.h"

namespace sw::test {

// The side information fields a clean cut reads, for one Layer III frame: where its main data
// starts (bytes before its own area) and the part2_3_length of each granule and channel (two
// granules in MPEG-1, one in MPEG-2 and 2.5). The second granule uses window switching, so that
// both layouts of the side information are read.
struct SideInfoSpec {
    int mainDataBegin = 0;
    std::vector<int> partLengths;  // granule by granule, channel by channel
};

// A frame with that side information (and its CRC word when the header asks for one), and area
// as the bytes after the side information (padded with zeros or cut to the frame).
std::vector<uint8_t> MakeLayer3Frame(const HeaderSpec& spec, const SideInfoSpec& side,
                                     const std::vector<uint8_t>& area);

// A stream whose frames share one bit reservoir as an encoder fills it: each frame's main data
// starts somewhere in the free bytes the frames before it left, and every byte of the reservoir
// is known. mainData[k] is what frame k's decoder must read; it is the truth a clean cut is held
// against, worked out here and not by the engine.
struct Layer3Stream {
    std::vector<std::vector<uint8_t>> frames;
    std::vector<std::vector<uint8_t>> mainData;
};

// frames with bitrate indexes from bitrates (cycled); seed varies the sizes. With deep, the main
// data reaches as far back as it may wherever it can.
Layer3Stream MakeLayer3Stream(int count, const HeaderSpec& spec, const std::vector<int>& bitrates,
                              uint32_t seed, bool deep = false);

}  // namespace sw::test
