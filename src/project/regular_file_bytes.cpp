#include "project/regular_file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace sw {

namespace {

struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

}  // namespace

RegularFileRead ReadRegularFile(const std::string& fileName, std::string& bytes, int64_t limit,
                                bool prefixOnly) {
    bytes.clear();
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return errno == ENOENT || errno == ENOTDIR ? RegularFileRead::NotFound
                                                   : RegularFileRead::Failed;
    }
    FdCloser closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        return RegularFileRead::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        return RegularFileRead::NotRegular;
    }
    if (info.st_size > limit && !prefixOnly) {
        return RegularFileRead::TooLarge;
    }
    // The size is only a hint (the file can change while it is read): read until the end or
    // the limit, whichever comes first.
    bytes.resize(static_cast<size_t>(std::clamp<int64_t>(info.st_size, 0, limit)));
    size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (static_cast<int64_t>(done) >= limit) {
                char probe;
                if (!prefixOnly && ::read(fd, &probe, 1) > 0) {
                    bytes.clear();
                    return RegularFileRead::TooLarge;
                }
                break;
            }
            bytes.resize(static_cast<size_t>(std::min<int64_t>(limit, int64_t(done) + 4096)));
        }
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            bytes.clear();
            return RegularFileRead::Failed;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return RegularFileRead::Ok;
}

}  // namespace sw
