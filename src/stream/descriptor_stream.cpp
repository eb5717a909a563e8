#include "stream/descriptor_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "stream/file_errors.h"

namespace sw {

namespace {

// Writes this large go to the system at once, and are started on their way to the disk.
constexpr int64_t kLargeWrite = 64 * 1024;

}  // namespace

void DescriptorStream::Fail(int error) {
    if (firstError_ == 0) {
        firstError_ = error;
    }
    throw FileWriteError(fileName_, error);
}

void DescriptorStream::WriteOut(const uint8_t* bytes, int64_t count, int64_t at) {
    for (int64_t done = 0; done < count;) {
        const ssize_t n = ::pwrite(fd_, bytes + done, static_cast<size_t>(count - done), at + done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A write that took nothing without an error is a full device all the same.
            Fail(n < 0 ? errno : ENOSPC);
        }
        done += n;
    }
    if (count >= kLargeWrite) {
        ::sync_file_range(fd_, at, count, SYNC_FILE_RANGE_WRITE);
    }
}

void DescriptorStream::Flush() {
    if (pending_.empty()) {
        return;
    }
    const std::vector<uint8_t> bytes = std::move(pending_);
    pending_.clear();
    WriteOut(bytes.data(), int64_t(bytes.size()), pendingAt_);
}

// A regular file hands over all it holds at once; short only at its end.
int64_t DescriptorStream::Read(void* buffer, int64_t count) {
    Flush();
    ssize_t n;
    do {
        n = ::pread(fd_, buffer, static_cast<size_t>(std::max<int64_t>(count, 0)), position_);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        throw StreamReadError();
    }
    position_ += n;
    return n;
}

int64_t DescriptorStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) {
        return 0;
    }
    const auto* in = static_cast<const uint8_t*>(buffer);
    if (!pending_.empty() && position_ != pendingAt_ + int64_t(pending_.size())) {
        Flush();
    }
    if (count >= kLargeWrite) {
        Flush();
        WriteOut(in, count, position_);
    } else {
        if (pending_.empty()) {
            pendingAt_ = position_;
        }
        pending_.insert(pending_.end(), in, in + count);
        if (int64_t(pending_.size()) >= kLargeWrite) {
            Flush();
        }
    }
    position_ += count;
    return count;
}

int64_t DescriptorStream::Seek(int64_t offset, SeekOrigin origin) {
    position_ = SeekedPosition(offset, origin, position_, origin == SeekOrigin::End ? Size() : 0);
    return position_;
}

int64_t DescriptorStream::Size() {
    Flush();
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        Fail(errno);
    }
    return st.st_size;
}

void DescriptorStream::SetSize(int64_t size) {
    Flush();
    size = std::max<int64_t>(0, size);
    if (::ftruncate(fd_, size) != 0) {
        Fail(errno);
    }
    position_ = std::min(position_, size);
}

}  // namespace sw
