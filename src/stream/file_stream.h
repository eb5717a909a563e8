#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stream/byte_stream.h"

namespace sw {

// A file as the system knows it, whatever name reaches it (hard links, symbolic links).
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    auto operator<=>(const FileIdentity&) const = default;
};

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
// FileCreateError, whatever name it is reached by. A SourceHold does the same without a stream.
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
    FileIdentity Identity() const;

  private:
    // Defined in file_stream.cpp.
    struct Impl;
    Impl* impl_;
    std::string fileName_;
};

// Holds a file as a source for as long as it lives, by identity: a cut object keeps its source
// held whether or not its stream is open at the moment. Holds of one file add up; the file is
// free again when the last ends.
class SourceHold {
  public:
    explicit SourceHold(FileIdentity file);
    ~SourceHold();
    SourceHold(const SourceHold&) = delete;
    SourceHold& operator=(const SourceHold&) = delete;

    FileIdentity File() const { return file_; }

  private:
    FileIdentity file_;
};

// True when a SourceHold or a FileStream opened with denyWrite holds the file this name leads to
// (links followed).
bool IsHeldSource(const std::string& fileName);

}  // namespace sw
