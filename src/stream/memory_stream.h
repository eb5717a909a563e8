#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "stream/byte_stream.h"

namespace sw {

// A growable in-memory stream: the default home of a frame index and the fixture of most tests.
//
// Its bytes can be shared with other memory streams (Share): entries of one file scanned once
// then hold one index between them, not a copy each. Sharing is copy on write: the first change
// through any of the streams copies the bytes first, so each still behaves as its own.
class MemoryStream : public ByteStream {
  public:
    MemoryStream() : bytes_(std::make_shared<std::vector<uint8_t>>()) {}
    explicit MemoryStream(std::vector<uint8_t> bytes)
        : bytes_(std::make_shared<std::vector<uint8_t>>(std::move(bytes))) {}
    // A stream over bytes another stream shared; it starts at position 0.
    explicit MemoryStream(std::shared_ptr<const std::vector<uint8_t>> shared)
        : bytes_(std::const_pointer_cast<std::vector<uint8_t>>(std::move(shared))) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_->size()); }
    void SetSize(int64_t size) override;

    const std::vector<uint8_t>& Bytes() const { return *bytes_; }
    // The bytes as they are now, for another MemoryStream to read without a copy.
    std::shared_ptr<const std::vector<uint8_t>> Share() const { return bytes_; }
    // Room for size bytes without moving the contents again. Untouched room costs address space,
    // not memory; a writer that knows roughly how much is coming saves the copies of every
    // doubling on the way there.
    void Reserve(int64_t size) {
        if (size > 0) {
            Own().reserve(static_cast<size_t>(size));
        }
    }

  private:
    // The bytes for a change: copied first while another stream shares them. Only this stream
    // can add a sharer, so a count of one stays one while it writes.
    std::vector<uint8_t>& Own() {
        if (bytes_.use_count() > 1) {
            bytes_ = std::make_shared<std::vector<uint8_t>>(*bytes_);
        }
        return *bytes_;
    }

    std::shared_ptr<std::vector<uint8_t>> bytes_;
    int64_t position_ = 0;
};

}  // namespace sw
