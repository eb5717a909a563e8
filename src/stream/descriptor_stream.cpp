#include "stream/descriptor_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "stream/file_errors.h"

namespace sw {

namespace {

constexpr int64_t kWritebackBytes = 128 * 1024;

}  // namespace

void DescriptorStream::Fail(int error) {
    if (firstError_ == 0) {
        firstError_ = error;
    }
    throw FileWriteError(fileName_, error);
}

// A regular file hands over all it holds at once; short only at its end.
int64_t DescriptorStream::Read(void* buffer, int64_t count) {
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
    const auto* in = static_cast<const uint8_t*>(buffer);
    const int64_t start = position_;
    int64_t total = 0;
    while (total < count) {
        const ssize_t n = ::pwrite(fd_, in + total, static_cast<size_t>(count - total), position_);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A write that took nothing without an error is a full device all the same.
            Fail(n < 0 ? errno : ENOSPC);
        }
        total += n;
        position_ += n;
    }
    // The writer waits for the whole file to reach the disk at its end; a large block set on its
    // way now is one that wait no longer includes.
    if (count >= kWritebackBytes) {
        ::sync_file_range(fd_, start, count, SYNC_FILE_RANGE_WRITE);
    }
    return total;
}

int64_t DescriptorStream::Seek(int64_t offset, SeekOrigin origin) {
    position_ = SeekedPosition(offset, origin, position_, origin == SeekOrigin::End ? Size() : 0);
    return position_;
}

int64_t DescriptorStream::Size() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        Fail(errno);
    }
    return st.st_size;
}

void DescriptorStream::SetSize(int64_t size) {
    size = std::max<int64_t>(0, size);
    if (::ftruncate(fd_, size) != 0) {
        Fail(errno);
    }
    position_ = std::min(position_, size);
}

}  // namespace sw
