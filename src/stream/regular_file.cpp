#include "stream/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "stream/file_names.h"

namespace sw {

ReadOpenResult OpenRegularFile(const std::string& fileName, bool readWrite, int& fd,
                               int64_t* size) {
    fd = -1;
    if (fileName.empty()) {
        return ReadOpenResult::NotFound;
    }
    // O_NOCTTY: a terminal named by mistake must not become our controlling terminal.
    const int flags = (readWrite ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    int opened = ::open(fileName.c_str(), flags);
    if (opened < 0 && errno == EISDIR) {
        return ReadOpenResult::Folder;
    }
    if (opened < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            return ReadOpenResult::NotFound;
        }
        // A FIFO opened for writing without a reader fails with ENXIO instead of blocking; a
        // folder opened for reading and writing fails with EISDIR above. Say what it is where we
        // can tell.
        struct stat st {};
        if (::stat(fileName.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            return S_ISDIR(st.st_mode) ? ReadOpenResult::Folder : ReadOpenResult::NotRegular;
        }
        return ReadOpenResult::Failed;
    }
    struct stat st {};
    if (::fstat(opened, &st) != 0) {
        ::close(opened);
        return ReadOpenResult::Failed;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(opened);
        return S_ISDIR(st.st_mode) ? ReadOpenResult::Folder : ReadOpenResult::NotRegular;
    }
    // Regular files never block anyway, but later reads should not see EAGAIN from a lease or a
    // mandatory lock: the descriptor behaves like one opened the ordinary way.
    const int status = ::fcntl(opened, F_GETFL);
    if (status < 0 || ::fcntl(opened, F_SETFL, status & ~O_NONBLOCK) != 0) {
        ::close(opened);
        return ReadOpenResult::Failed;
    }
    fd = opened;
    if (size != nullptr) {
        *size = st.st_size;
    }
    return ReadOpenResult::Opened;
}

ReadOpenResult ProbeRegularFile(const std::string& fileName) {
    int fd = -1;
    const ReadOpenResult result = OpenRegularFile(fileName, false, fd);
    if (fd >= 0) {
        ::close(fd);
    }
    return result;
}

std::string OpenRefusalReason(const std::string& fileName) {
    // Callers open the absolute form of what the user named; a relative name that opens may
    // still be too long once the working folder is put before it.
    for (const std::string& name : {fileName, AbsolutePath(fileName)}) {
        const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd >= 0) {
            ::close(fd);
            continue;
        }
        switch (errno) {
            case ELOOP:
                return "its symbolic links lead round in a loop";
            case ENAMETOOLONG:
                return "its full path is longer than the system takes (" +
                       std::to_string(PATH_MAX) + " bytes)";
            default:
                return std::strerror(errno);
        }
    }
    return "";
}

std::string ReadOpenFailureText(ReadOpenResult result, const std::string& fileName) {
    switch (result) {
        case ReadOpenResult::Opened:
            return "";
        case ReadOpenResult::NotFound:
            return "File not found: " + fileName;
        case ReadOpenResult::Folder:
            return fileName + " is a folder, not a file";
        case ReadOpenResult::NotRegular:
            return fileName + " is not a regular file (a pipe, socket or device)";
        case ReadOpenResult::Failed: {
            const std::string why = OpenRefusalReason(fileName);
            return "Cannot open file " + fileName + (why.empty() ? "" : ": " + why);
        }
    }
    return "";
}

}  // namespace sw
