#include "engine/stream_window.h"

namespace sw {

StreamWindow::StreamWindow(ByteStream& stream, int64_t blockSize)
    : stream_(stream),
      buffer_(std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(blockSize))),
      capacity_(blockSize) {}

const uint8_t* StreamWindow::Refill(int64_t offset, int64_t count) {
    if (offset < 0 || count > capacity_) {
        return nullptr;
    }
    base_ = offset;
    length_ = 0;
    stream_.Seek(offset, SeekOrigin::Begin);
    while (length_ < capacity_) {
        const int64_t got = stream_.Read(buffer_.get() + length_, capacity_ - length_);
        if (got <= 0) {
            break;
        }
        length_ += got;
    }
    return count <= length_ ? buffer_.get() : nullptr;
}

}  // namespace sw
