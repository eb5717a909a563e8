#pragma once

#include "stream/byte_stream.h"

namespace sw {

// Another stream's bytes under a second owner: every call goes to the stream lent, which must
// outlive this one and is never closed by it. A working copy of a cut object reads its entry's
// open streams this way.
class BorrowedStream : public ByteStream {
  public:
    explicit BorrowedStream(ByteStream& lent) : lent_(lent) {}

    int64_t Read(void* buffer, int64_t count) override { return lent_.Read(buffer, count); }
    int64_t Write(const void* buffer, int64_t count) override { return lent_.Write(buffer, count); }
    int64_t Seek(int64_t offset, SeekOrigin origin) override { return lent_.Seek(offset, origin); }
    int64_t Size() override { return lent_.Size(); }
    void SetSize(int64_t size) override { lent_.SetSize(size); }
    void Flush() override { lent_.Flush(); }

  private:
    ByteStream& lent_;
};

}  // namespace sw
