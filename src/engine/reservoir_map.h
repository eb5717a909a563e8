#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/layer3_side_info.h"

namespace sw {

// Layer III frames in stream order as a decoder sees the bit reservoir: their main-data areas
// back to back, one stream of bytes (headers, CRC words, side information and any bytes between
// frames left out). Positions below are in that stream, 0 at the first frame's area. A frame's
// main data starts mainDataBegin bytes before its own area, possibly in frames before it; one
// that starts before position 0 reads bytes this map (or the file) does not hold.
class ReservoirMap {
  public:
    // Appends the next frame (length bytes, header included); false, and nothing appended, when
    // it is no Layer III frame that holds its side information.
    bool Append(const uint8_t* frame, int32_t length);

    size_t Count() const { return frames_.size(); }
    int64_t AreaStart(size_t frame) const { return frames_[frame].areaStart; }
    int64_t MainDataStart(size_t frame) const {
        return frames_[frame].areaStart - frames_[frame].side.mainDataBegin;
    }
    int64_t MainDataEnd(size_t frame) const {
        return MainDataStart(frame) + frames_[frame].side.MainDataBytes();
    }

    // How many bytes before frame `from`'s area the frames from `from` on read: what must stand
    // in front of them for all of their main data to be there.
    int32_t BytesNeededBefore(size_t from) const;

    // The stream's bytes begin..end-1 (within 0..the last area's end).
    std::vector<uint8_t> Bytes(int64_t begin, int64_t end) const;
    // The main data of a frame, when the map holds all of it.
    bool MainData(size_t frame, std::vector<uint8_t>& data) const;

  private:
    struct Frame {
        int64_t areaStart;
        Layer3SideInfo side;
    };
    std::vector<Frame> frames_;
    std::vector<uint8_t> area_;
};

}  // namespace sw
