#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stream/byte_stream.h"

namespace sw {

// A growable in-memory stream: the default home of a frame index and the fixture of most tests.
class MemoryStream : public ByteStream {
  public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    void SetSize(int64_t size) override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    // Room for size bytes without moving the contents again. Untouched room costs address space,
    // not memory; a writer that knows roughly how much is coming saves the copies of every
    // doubling on the way there.
    void Reserve(int64_t size) {
        if (size > 0) {
            bytes_.reserve(static_cast<size_t>(size));
        }
    }

  private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

}  // namespace sw
