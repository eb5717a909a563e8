#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "stream/byte_stream.h"
#include "stream/file_stream.h"

namespace sw {

// At most this many lazy file streams keep their file open at once; opening one more closes the
// one used longest ago. Two files per cut object in use (source and a file-based index) for a
// handful at a time, far below the descriptor limit, and 4 MiB of buffers.
inline constexpr int kMaxOpenLazyStreams = 32;

// A file stream that holds a descriptor and a buffer only while it is being used.
//
// A cut object keeps its source, and a file-based index, for as long as it lives, and a project
// may have thousands of them: a descriptor and a 128 KiB buffer each took a bin of about a
// thousand entries past the descriptor limit. This stream opens its file by name on the first
// read, write, size query or seek from the end, and closes it again, buffer and all, on Release
// (which owners call when a piece of work ends: an import, a playback) or when it is the open
// lazy stream used longest ago, no thread is using it, and another must open. Its position
// survives the close, so a reader never notices.
//
// A source stream holds its file as a source (SourceHold) for its whole life, open or not. Opened
// again, the name may lead to another file (the old one was replaced): the hold moves to it, since
// that is the file read from then on.
//
// Writes are handed to the system at once (each Write flushes), so a stream can be closed at any
// moment without a write left to fail unreported. Every call locks the stream, so a close from
// another thread never meets a read half way; as with any stream, one thread uses it at a time.
class LazyFileStream : public ByteStream {
  public:
    enum class Use {
        Source,     // read only, the file held as a source
        ReadWrite,  // an existing file of our own, read and written
    };

    // Takes over a stream just opened on the file (the caller's checks opened it), which counts
    // as in use until the first release. File errors of a later open are thrown from the call
    // that needed the file.
    LazyFileStream(std::unique_ptr<FileStream> opened, Use use);
    ~LazyFileStream() override;
    LazyFileStream(const LazyFileStream&) = delete;
    LazyFileStream& operator=(const LazyFileStream&) = delete;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, SeekOrigin origin) override;
    // A read-write stream knows its size while closed (nothing else writes the file); a source is
    // opened to ask, since the file may have changed.
    int64_t Size() override;
    void SetSize(int64_t size) override;
    void Flush() override;

    // Closes the file and frees the buffer until the next use.
    void Release();
    bool IsOpen();
    const std::string& FileName() const { return fileName_; }

  private:
    friend class OpenLazyStreams;

    FileStream& Opened();  // the mutex held
    void Close();          // the mutex held
    int64_t SizeLocked();  // the mutex held

    const std::string fileName_;
    const Use use_;
    std::mutex mutex_;
    std::unique_ptr<FileStream> file_;
    std::optional<SourceHold> hold_;
    int64_t position_ = 0;
    int64_t size_ = 0;  // as of the last use
    std::atomic<uint64_t> lastUse_{0};
};

// How many lazy file streams have their file open now.
int OpenLazyStreamCount();

// Closes the stream's file until its next use when it is a lazy file stream; any other stream
// (a memory index, a test's stream) is left as it is.
void ReleaseFile(ByteStream* stream);

}  // namespace sw
