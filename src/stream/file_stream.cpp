#include "stream/file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "stream/file_errors.h"

namespace sw {
namespace {

// Large enough that a scan refills about once per 150 frames, small enough to stay cheap in
// memory while many sources are open.
constexpr int64_t kBufferSize = 128 * 1024;

using FileId = FileIdentity;

// Files that cut objects hold open as sources, with how many streams hold each.
class HeldSources {
  public:
    static HeldSources& Instance() {
        static HeldSources instance;
        return instance;
    }
    void Add(FileId id) {
        std::lock_guard lock(mutex_);
        ++held_[id];
    }
    void Remove(FileId id) {
        std::lock_guard lock(mutex_);
        auto it = held_.find(id);
        if (it != held_.end() && --it->second == 0) {
            held_.erase(it);
        }
    }
    bool Contains(FileId id) {
        std::lock_guard lock(mutex_);
        return held_.count(id) != 0;
    }

  private:
    std::mutex mutex_;
    std::map<FileId, int> held_;
};

bool StatId(const std::string& fileName, FileId& id) {
    struct stat st;
    if (::stat(fileName.c_str(), &st) != 0) {
        return false;
    }
    id = {st.st_dev, st.st_ino};
    return true;
}

}  // namespace

SourceHold::SourceHold(FileIdentity file) : file_(file) {
    HeldSources::Instance().Add(file_);
}

SourceHold::~SourceHold() {
    HeldSources::Instance().Remove(file_);
}

bool IsHeldSource(const std::string& fileName) {
    FileId id;
    return StatId(fileName, id) && HeldSources::Instance().Contains(id);
}

// One window of the file is cached: bytes [bufferStart, bufferStart + bufferLength) mirror the
// file as the program sees it, with [dirtyBegin, dirtyEnd) not yet written to the file.
struct FileStream::Impl {
    int fd = -1;
    bool writable = false;
    bool held = false;
    FileId id{};
    int64_t fileSize = 0;  // size of the file on disk, not counting unflushed data
    int64_t position = 0;
    // Allocated on first use and left uninitialised: every byte is written before it is read.
    std::unique_ptr<uint8_t[]> buffer;
    int64_t bufferStart = 0;
    int64_t bufferLength = 0;
    int64_t dirtyBegin = 0;
    int64_t dirtyEnd = 0;

    bool Dirty() const { return dirtyEnd > dirtyBegin; }

    void WriteOut(const uint8_t* data, int64_t count, int64_t at) {
        while (count > 0) {
            const ssize_t n = ::pwrite(fd, data, static_cast<size_t>(count), at);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                throw StreamWriteError();
            }
            data += n;
            count -= n;
            at += n;
            fileSize = std::max(fileSize, at);
        }
    }

    void FlushBuffer() {
        if (!Dirty()) {
            return;
        }
        const int64_t begin = dirtyBegin;
        const int64_t end = dirtyEnd;
        dirtyBegin = dirtyEnd = 0;
        WriteOut(buffer.get() + begin, end - begin, bufferStart + begin);
    }

    void Invalidate() {
        FlushBuffer();
        bufferLength = 0;
        bufferStart = position;
    }

    int64_t ReadIn(uint8_t* data, int64_t count, int64_t at) {
        int64_t total = 0;
        while (count > 0) {
            const ssize_t n = ::pread(fd, data, static_cast<size_t>(count), at);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                throw StreamReadError();
            }
            if (n == 0) {
                break;
            }
            data += n;
            count -= n;
            at += n;
            total += n;
        }
        return total;
    }

    void Refill() {
        FlushBuffer();
        if (!buffer) {
            buffer = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);
        }
        bufferStart = position;
        bufferLength = ReadIn(buffer.get(), kBufferSize, position);
    }

    // An empty window says nothing about the size: it may sit past the end after a read there
    // or after SetSize cut the file below it.
    int64_t LogicalSize() const {
        return bufferLength > 0 ? std::max(fileSize, bufferStart + bufferLength) : fileSize;
    }
};

FileStream::FileStream(const std::string& fileName, FileMode mode, bool denyWrite)
    : impl_(new Impl), fileName_(fileName) {
    if (mode != FileMode::Create) {
        // A FIFO or device must never be opened the blocking way, and only a regular file
        // holds bytes a reader can seek in.
        const ReadOpenResult opened =
            OpenRegularFile(fileName, mode == FileMode::OpenReadWrite, impl_->fd);
        if (opened != ReadOpenResult::Opened) {
            delete impl_;
            if (opened == ReadOpenResult::Folder || opened == ReadOpenResult::NotRegular) {
                throw FileRefusedError(opened, fileName);
            }
            throw FileOpenError(fileName);
        }
    } else {
        if (IsHeldSource(fileName)) {
            delete impl_;
            throw FileCreateError(fileName);
        }
        impl_->fd = ::open(fileName.c_str(), O_CLOEXEC | O_RDWR | O_CREAT | O_TRUNC, 0666);
    }
    struct stat st;
    if (impl_->fd < 0 || ::fstat(impl_->fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        if (impl_->fd >= 0) {
            ::close(impl_->fd);
        }
        delete impl_;
        if (mode == FileMode::Create) {
            throw FileCreateError(fileName);
        }
        throw FileOpenError(fileName);
    }
    impl_->writable = mode != FileMode::OpenRead;
    impl_->fileSize = st.st_size;
    impl_->id = {st.st_dev, st.st_ino};
    if (denyWrite) {
        impl_->held = true;
        HeldSources::Instance().Add(impl_->id);
    }
}

FileStream::~FileStream() {
    try {
        impl_->FlushBuffer();
    } catch (const FileError&) {
        // Nothing can report it here; writers that care call Flush before they finish.
    }
    ::close(impl_->fd);
    if (impl_->held) {
        HeldSources::Instance().Remove(impl_->id);
    }
    delete impl_;
}

int64_t FileStream::Read(void* buffer, int64_t count) {
    Impl& f = *impl_;
    auto* out = static_cast<uint8_t*>(buffer);
    // A large read bypasses the cache, also for what is left after the cached part: going through
    // the cache would copy every byte twice, and a reader that moves in large steps (the scan's
    // window) would otherwise keep landing inside the last cache fill and never leave it.
    const bool large = count >= kBufferSize;
    int64_t total = 0;
    while (count > 0) {
        const int64_t offset = f.position - f.bufferStart;
        if (offset >= 0 && offset < f.bufferLength) {
            const int64_t n = std::min(count, f.bufferLength - offset);
            std::memcpy(out, f.buffer.get() + offset, static_cast<size_t>(n));
            out += n;
            count -= n;
            total += n;
            f.position += n;
            continue;
        }
        if (large) {
            // Unflushed data must reach the file first.
            f.FlushBuffer();
            const int64_t n = f.ReadIn(out, count, f.position);
            f.position += n;
            total += n;
            break;
        }
        f.Refill();
        if (f.bufferLength == 0) {
            break;
        }
    }
    return total;
}

int64_t FileStream::Write(const void* buffer, int64_t count) {
    Impl& f = *impl_;
    if (!f.writable || count <= 0) {
        return 0;
    }
    const auto* in = static_cast<const uint8_t*>(buffer);
    if (count >= kBufferSize) {
        f.FlushBuffer();
        f.WriteOut(in, count, f.position);
        // The cached window may now be stale where it overlaps what was written.
        if (f.position < f.bufferStart + f.bufferLength && f.position + count > f.bufferStart) {
            f.bufferLength = 0;
        }
        f.position += count;
        return count;
    }
    int64_t total = 0;
    while (count > 0) {
        if (!f.buffer) {
            f.buffer = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);
        }
        int64_t offset = f.position - f.bufferStart;
        // Writing is allowed inside the valid window or right at its end (appending).
        if (offset < 0 || offset > f.bufferLength || offset >= kBufferSize) {
            f.FlushBuffer();
            f.bufferStart = f.position;
            f.bufferLength = 0;
            // Keep the cache a true mirror: load what follows unless we are at the end anyway.
            if (f.position < f.fileSize) {
                f.bufferLength = f.ReadIn(f.buffer.get(), kBufferSize, f.position);
            }
            offset = 0;
        }
        const int64_t n = std::min(count, kBufferSize - offset);
        std::memcpy(f.buffer.get() + offset, in, static_cast<size_t>(n));
        if (f.Dirty()) {
            f.dirtyBegin = std::min(f.dirtyBegin, offset);
            f.dirtyEnd = std::max(f.dirtyEnd, offset + n);
        } else {
            f.dirtyBegin = offset;
            f.dirtyEnd = offset + n;
        }
        f.bufferLength = std::max(f.bufferLength, offset + n);
        in += n;
        count -= n;
        total += n;
        f.position += n;
    }
    return total;
}

int64_t FileStream::Seek(int64_t offset, SeekOrigin origin) {
    Impl& f = *impl_;
    int64_t base = 0;
    if (origin == SeekOrigin::Current) {
        base = f.position;
    } else if (origin == SeekOrigin::End) {
        base = f.LogicalSize();
    }
    f.position = std::max<int64_t>(0, base + offset);
    return f.position;
}

int64_t FileStream::Size() {
    return impl_->LogicalSize();
}

void FileStream::SetSize(int64_t size) {
    Impl& f = *impl_;
    if (!f.writable) {
        throw StreamWriteError();
    }
    f.FlushBuffer();
    f.bufferLength = 0;
    size = std::max<int64_t>(0, size);
    if (::ftruncate(f.fd, size) != 0) {
        throw StreamWriteError();
    }
    f.fileSize = size;
    f.position = std::min(f.position, size);
}

void FileStream::Flush() {
    impl_->FlushBuffer();
}

FileIdentity FileStream::Identity() const {
    return impl_->id;
}

}  // namespace sw
