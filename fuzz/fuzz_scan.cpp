// The scan's walk over arbitrary bytes: sync search, then frame-length steps, resynchronising
// with the search whenever a step misses. Every header reported must lie inside the stream, be
// valid, be the bytes the stream stands on, and come after the previous one.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "stream/frame_header.h"
#include "stream/memory_stream.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    sw::MemoryStream stream(bytes);
    const auto streamSize = static_cast<int64_t>(size);

    stream.Seek(3, sw::SeekOrigin::Begin);
    uint32_t word = sw::FindFrameHeader(stream);
    int64_t previous = -1;
    while (word != 0) {
        const int64_t at = stream.Position();
        Check(at > previous);
        Check(at >= 0 && at + 4 <= streamSize);
        Check(sw::IsValidFrameHeader(word));
        Check(sw::HeaderWordFromBytes(bytes.data() + at) == word);
        const sw::TFrameInfo info = sw::DecodeFrameHeader(word);
        Check(info.FrameLength > 4);
        Check(sw::EncodeFrameHeader(info) == word);
        previous = at;

        const uint32_t next = sw::NextFrameHeader(stream, info.FrameLength);
        if (next != 0) {
            Check(stream.Position() == at + info.FrameLength);
            word = next;
        } else {
            Check(stream.Position() == at + info.FrameLength + 4);
            word = sw::FindFrameHeader(stream);
        }
    }
    return 0;
}
