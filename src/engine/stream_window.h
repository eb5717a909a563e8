#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "stream/byte_stream.h"

namespace sw {

// A read-only view of a stream through one large buffer. The scan looks at 4 bytes per frame
// and skips the body; reading those through the stream interface would cost a virtual seek and
// read per frame, so the workers fetch big blocks and look at the bytes in place instead. The
// stream's contents must not change while the window is in use.
class StreamWindow {
  public:
    StreamWindow(ByteStream& stream, int64_t blockSize);

    // The bytes offset..offset+count-1, or nullptr when the stream ends before them. The pointer
    // stays good until the next call that has to refill the buffer (one for bytes that Holds
    // says are not there).
    const uint8_t* Bytes(int64_t offset, int64_t count) {
        if (Holds(offset, count)) {
            return buffer_.get() + (offset - base_);
        }
        return Refill(offset, count);
    }
    // True when the buffer already holds offset..offset+count-1: Bytes then reads nothing.
    bool Holds(int64_t offset, int64_t count) const {
        return offset >= base_ && offset + count <= base_ + length_;
    }
    // One past the last offset the buffer holds.
    int64_t End() const { return base_ + length_; }

  private:
    const uint8_t* Refill(int64_t offset, int64_t count);

    ByteStream& stream_;
    // Left uninitialised: only bytes a read has filled are ever handed out.
    std::unique_ptr<uint8_t[]> buffer_;
    int64_t capacity_;
    int64_t base_ = 0;
    int64_t length_ = 0;
};

}  // namespace sw
