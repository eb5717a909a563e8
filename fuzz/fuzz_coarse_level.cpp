// CoarseFrameLevel over arbitrary bytes taken as one frame: it must read nothing past them (the
// copy is exactly their size, so the sanitizer sees any read beyond) and give a level on the
// 16-bit scale, 0 for anything without a valid header.
#include <cstdint>
#include <vector>

#include "cutter/coarse_level.h"
#include "fuzz_check.h"
#include "stream/frame_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> frame(data, data + size);
    const uint16_t level = sw::CoarseFrameLevel(frame.data(), frame.size());
    sw::fuzz::Check(level <= sw::kFullScaleLevel);
    sw::fuzz::Check(level == 0 ||
                    (size >= 4 && sw::IsValidFrameHeader(sw::HeaderWordFromBytes(data))));
    return 0;
}
