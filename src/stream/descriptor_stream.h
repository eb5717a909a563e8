#pragma once

#include <string>

#include "stream/byte_stream.h"

namespace sw {

// An unbuffered stream over a descriptor it does not own, for writers that move large blocks
// (exports) and must learn why the system refused one: the first failed write is kept with its
// reason. fileName is what the user knows the file as, for the error's text. A large block is
// sent on its way to the disk as soon as it is written, since such writers wait for their whole
// file to reach the disk at the end.
class DescriptorStream : public ByteStream {
  public:
    DescriptorStream(int fd, const std::string& fileName) : fd_(fd), fileName_(fileName) {}

    int64_t Read(void* buffer, int64_t count) override;
    // Writes all count bytes or throws FileWriteError with the system's reason.
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t size) override;

    // The errno of the first write, cut or size query that failed; 0 while none did.
    int FirstError() const { return firstError_; }

  private:
    [[noreturn]] void Fail(int error);

    int fd_;
    std::string fileName_;
    int64_t position_ = 0;
    int firstError_ = 0;
};

}  // namespace sw
