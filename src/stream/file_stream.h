#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream/byte_stream.h"

namespace sw {

enum class FileMode {
    OpenRead,       // existing file, read only
    OpenReadWrite,  // existing file, read and write
    Create,         // create or truncate, read and write
};

// A buffered file stream. The scan makes one 4-byte read and one short forward seek per frame
// (about 140,000 of each for an hour of audio); the buffer serves those without a system call.
//
// A stream opened with denyWrite registers the file (device and inode) as a held source: while
// it stays open, creating or truncating that file through any FileStream fails with
// FileCreateError, whatever name it is reached by.
//
// Open failures throw FileOpenError / FileCreateError with the file name. The two open modes take
// regular files only (see OpenRegularFile): a folder, FIFO, socket or device throws
// FileRefusedError, which says which it was, without waiting on it.
class FileStream : public ByteStream {
  public:
    FileStream(const std::string& fileName, FileMode mode, bool denyWrite = false);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t size) override;

    void Flush() override;
    const std::string& FileName() const { return fileName_; }

  private:
    // Defined in file_stream.cpp.
    struct Impl;
    Impl* impl_;
    std::string fileName_;
};

// True when a FileStream opened with denyWrite currently holds this file open.
bool IsHeldSource(const std::string& fileName);

}  // namespace sw
