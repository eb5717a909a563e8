#include "project/regular_file_bytes.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "stream/regular_file.h"

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
    int fd = -1;
    int64_t size = 0;
    switch (OpenRegularFile(fileName, /*readWrite=*/false, fd, &size)) {
        case ReadOpenResult::Opened:
            break;
        case ReadOpenResult::NotFound:
            return RegularFileRead::NotFound;
        case ReadOpenResult::Folder:
        case ReadOpenResult::NotRegular:
            return RegularFileRead::NotRegular;
        default:
            return RegularFileRead::Failed;
    }
    FdCloser closer{fd};
    if (size > limit && !prefixOnly) {
        return RegularFileRead::TooLarge;
    }
    // The size is only a hint (the file can change while it is read): read until the end or
    // the limit, whichever comes first.
    bytes.resize(static_cast<size_t>(std::clamp<int64_t>(size, 0, limit)));
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
