#include "engine/join_repair.h"

#include <algorithm>

#include "engine/layer3_side_info.h"

namespace sw {

bool SameStreamFormat(const TFrameInfo& a, const TFrameInfo& b) {
    return a.Version == b.Version && a.Layer == b.Layer && a.SampleRate == b.SampleRate &&
           a.ChannelMode == b.ChannelMode;
}

bool MakeRoomForReservoir(std::vector<uint8_t>& frame, const std::vector<uint8_t>& reservoir) {
    if (reservoir.empty()) {
        return true;
    }
    if (frame.size() < 4) {
        return false;
    }
    uint32_t word = HeaderWordFromBytes(frame.data());
    TFrameInfo info = DecodeFrameHeader(word);
    Layer3SideInfo side;
    if (info.FrameLength != int32_t(frame.size()) ||
        !ReadLayer3SideInfo(frame.data(), info.FrameLength, info, side)) {
        return false;
    }
    // Where this frame's own main data ends, counted from the start of its area; it may end
    // before the area when all of it lies in earlier frames.
    const int32_t ownEnd = std::max(0, side.MainDataBytes() - side.mainDataBegin);
    const int32_t need = MainDataAreaOffset(info) + ownEnd + static_cast<int32_t>(reservoir.size());
    if (info.FrameLength < need) {
        int index = BitrateIndexOf(word);
        do {
            if (++index > 14) {
                return false;
            }
            word = WithoutPadding(WithBitrateIndex(word, index));
            info = DecodeFrameHeader(word);
        } while (info.FrameLength < need);
        frame.resize(static_cast<size_t>(info.FrameLength), 0);
        StoreHeaderWord(frame.data(), word);
        if (info.Crc) {
            StoreLayer3FrameCrc(frame.data(), info);
        }
    }
    std::copy(reservoir.begin(), reservoir.end(), frame.end() - int64_t(reservoir.size()));
    return true;
}

}  // namespace sw
