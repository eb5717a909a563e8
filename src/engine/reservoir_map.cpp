#include "engine/reservoir_map.h"

#include <algorithm>

namespace sw {

bool ReservoirMap::Append(const uint8_t* frame, int32_t length) {
    const uint32_t word = HeaderWordFromBytes(frame);
    if (length < 4 || !IsValidFrameHeader(word)) {
        return false;
    }
    const TFrameInfo info = DecodeFrameHeader(word);
    Layer3SideInfo side;
    if (length > info.FrameLength || !ReadLayer3SideInfo(frame, length, info, side)) {
        return false;
    }
    frames_.push_back(Frame{int64_t(area_.size()), side});
    const int32_t offset = MainDataAreaOffset(info);
    area_.insert(area_.end(), frame + offset, frame + length);
    return true;
}

int32_t ReservoirMap::BytesNeededBefore(size_t from) const {
    int64_t needed = 0;
    for (size_t k = from; k < frames_.size(); ++k) {
        needed = std::max(needed, frames_[from].areaStart - MainDataStart(k));
    }
    return static_cast<int32_t>(needed);
}

std::vector<uint8_t> ReservoirMap::Bytes(int64_t begin, int64_t end) const {
    begin = std::clamp<int64_t>(begin, 0, int64_t(area_.size()));
    end = std::clamp<int64_t>(end, begin, int64_t(area_.size()));
    return std::vector<uint8_t>(area_.begin() + begin, area_.begin() + end);
}

bool ReservoirMap::MainData(size_t frame, std::vector<uint8_t>& data) const {
    const int64_t start = MainDataStart(frame);
    const int64_t end = MainDataEnd(frame);
    if (start < 0 || end > int64_t(area_.size())) {
        return false;
    }
    data = Bytes(start, end);
    return true;
}

}  // namespace sw
