#pragma once

#include <string>
#include <vector>

#include "stream/byte_stream.h"

namespace sw {

// A stream over a descriptor it does not own, for the files we write for the user (exports and
// documents, through ReplacementFile's descriptor), which must learn why the system refused a
// write: the first failure is kept with its reason, and every failure throws FileWriteError
// with it. fileName is what the user knows the file as, for the error's text.
//
// Small writes wait in a buffer until it fills, the stream seeks elsewhere to write, or Flush;
// what is still in it when the stream goes is lost, so writers call Flush when done. Large
// blocks (an export's) go to the system at once, and are sent on their way to the disk as soon
// as they are written: such writers wait for their whole file to reach the disk at the end.
class DescriptorStream : public ByteStream {
  public:
    DescriptorStream(int fd, const std::string& fileName) : fd_(fd), fileName_(fileName) {}

    int64_t Read(void* buffer, int64_t count) override;
    // Takes all count bytes, or throws FileWriteError with the system's reason.
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t size) override;
    void Flush() override;

    // The errno of the first write, cut or size query that failed; 0 while none did.
    int FirstError() const { return firstError_; }

  private:
    void WriteOut(const uint8_t* bytes, int64_t count, int64_t at);
    [[noreturn]] void Fail(int error);

    int fd_;
    std::string fileName_;
    int64_t position_ = 0;
    std::vector<uint8_t> pending_;  // written at pendingAt_, not handed to the system yet
    int64_t pendingAt_ = 0;
    int firstError_ = 0;
};

}  // namespace sw
