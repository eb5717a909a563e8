#include "engine/stream_window.h"

namespace sw {

StreamWindow::StreamWindow(ByteStream& stream, int64_t blockSize)
    : stream_(stream), buffer_(static_cast<size_t>(blockSize)) {}

const uint8_t* StreamWindow::Refill(int64_t offset, int64_t count) {
    if (offset < 0 || count > static_cast<int64_t>(buffer_.size())) {
        return nullptr;
    }
    base_ = offset;
    length_ = 0;
    stream_.Seek(offset, SeekOrigin::Begin);
    const int64_t capacity = static_cast<int64_t>(buffer_.size());
    while (length_ < capacity) {
        const int64_t got = stream_.Read(buffer_.data() + length_, capacity - length_);
        if (got <= 0) {
            break;
        }
        length_ += got;
    }
    return count <= length_ ? buffer_.data() : nullptr;
}

}  // namespace sw
