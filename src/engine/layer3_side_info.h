#pragma once

#include <cstdint>

#include "stream/frame_header.h"

namespace sw {

// A Layer III frame is its header, the CRC word when it is protected, the side information, and
// then its main-data area: the stretch of the bit reservoir this frame adds. Its own audio data
// (the main data) may start up to 511 bytes (MPEG-1) or 255 bytes (MPEG-2 and 2.5) earlier, in
// the areas of the frames before it.
int32_t SideInfoSize(const TFrameInfo& info);        // 17 or 32 (MPEG-1), 9 or 17 (MPEG-2, 2.5)
int32_t SideInfoOffset(const TFrameInfo& info);      // 4, or 6 after the CRC word
int32_t MainDataAreaOffset(const TFrameInfo& info);  // where the area begins in the frame
int32_t MaxMainDataBegin(const TFrameInfo& info);    // 511 or 255

struct Layer3SideInfo {
    int32_t mainDataBegin = 0;  // bytes before this frame's area where its main data starts
    int32_t mainDataBits = 0;   // part2_3_length summed over granules and channels
    int32_t MainDataBytes() const { return (mainDataBits + 7) / 8; }
};

// The side information of the Layer III frame whose bytes are frame (length bytes, header
// included, info its decoded header); false when the frame is too short to hold it.
bool ReadLayer3SideInfo(const uint8_t* frame, int32_t length, const TFrameInfo& info,
                        Layer3SideInfo& side);

// The CRC word a protected Layer III frame carries, over header bytes 2 and 3 and the side
// information; Store writes it after the header. Needed wherever we change a protected frame's
// header (its bitrate, its flags) or make one.
uint16_t Layer3FrameCrc(const uint8_t* frame, const TFrameInfo& info);
void StoreLayer3FrameCrc(uint8_t* frame, const TFrameInfo& info);

// A header word with another bitrate index (1..14), padding bit and protection; Decode gives the
// new frame's length.
uint32_t WithBitrateIndex(uint32_t word, int index);
int BitrateIndexOf(uint32_t word);
uint32_t WithoutPadding(uint32_t word);
uint32_t WithoutProtection(uint32_t word);
void StoreHeaderWord(uint8_t* frame, uint32_t word);

}  // namespace sw
