#include "stream/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace sw {

int64_t MemoryStream::Read(void* buffer, int64_t count) {
    const int64_t available = Size() - position_;
    if (count <= 0 || available <= 0) {
        return 0;
    }
    const int64_t n = std::min(count, available);
    std::memcpy(buffer, bytes_->data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t MemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) {
        return 0;
    }
    const int64_t end = position_ + count;
    std::vector<uint8_t>& bytes = Own();
    if (position_ == Size()) {
        // Appending, as an index being built does for every batch: the bytes arrive without being
        // zeroed first, and the vector still grows by doubling.
        const auto* in = static_cast<const uint8_t*>(buffer);
        bytes.insert(bytes.end(), in, in + count);
        position_ = end;
        return count;
    }
    if (end > Size()) {
        bytes.resize(static_cast<size_t>(end));
    }
    std::memcpy(bytes.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t MemoryStream::Seek(int64_t offset, SeekOrigin origin) {
    position_ = SeekedPosition(offset, origin, position_, Size());
    return position_;
}

void MemoryStream::SetSize(int64_t size) {
    Own().resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    position_ = std::min(position_, Size());
}

}  // namespace sw
